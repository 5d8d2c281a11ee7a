# What keeps a clean build short on a small machine (the test build with sanitizers compiles some
# sixty programs): the LLVM linker where it is installed, and the Qt headers precompiled once per
# family of targets instead of parsed again in every file.
option(VANTREL_PCH "Precompile the Qt headers of the window, the command line and the tests" ON)

include(CheckLinkerFlag)
check_linker_flag(CXX "-fuse-ld=lld" VANTREL_HAVE_LLD)
if(VANTREL_HAVE_LLD AND NOT VANTREL_FUZZ)
    add_link_options(-fuse-ld=lld)
endif()

# A test's moc output is compiled without its precompiled header: each test includes its own
# .moc, so that file is empty and loading the header would cost more than it holds. A library's
# moc output includes its headers and does use it.
function(vantrel_moc_without_precompiled target)
    get_target_property(binaryDir ${target} BINARY_DIR)
    set_source_files_properties(${binaryDir}/${target}_autogen/mocs_compilation.cpp
        TARGET_DIRECTORY ${target} PROPERTIES SKIP_PRECOMPILE_HEADERS ON)
endfunction()

# Precompiles HEADERS for TARGET (angle-bracket names such as <QString>).
function(vantrel_precompile target)
    if(VANTREL_PCH AND NOT VANTREL_FUZZ)
        target_precompile_headers(${target} PRIVATE ${ARGN})
    endif()
endfunction()

# TARGET uses the headers precompiled for FROM (their compile flags must match; gcc's
# -Winvalid-pch, which CMake adds, says when they do not).
function(vantrel_precompile_like target from)
    if(VANTREL_PCH AND NOT VANTREL_FUZZ)
        target_precompile_headers(${target} REUSE_FROM ${from})
    endif()
endfunction()

# The Qt headers of the layers below the window.
set(VANTREL_CORE_HEADERS <QString> <QStringList> <QByteArray> <QList> <QObject> <QTimer>
    <functional> <optional> <algorithm> <memory> <vector>)

# A test: the headers of its family, its empty moc output without them.
function(vantrel_precompile_test target from)
    if(VANTREL_PCH AND NOT VANTREL_FUZZ)
        target_precompile_headers(${target} REUSE_FROM ${from})
        vantrel_moc_without_precompiled(${target})
    endif()
endfunction()
