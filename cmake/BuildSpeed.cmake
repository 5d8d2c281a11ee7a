# What keeps a clean build short on a small machine (the test build with sanitizers compiles some
# sixty programs): the LLVM linker where it is installed, and the Qt headers precompiled once per
# family of targets instead of parsed again in every file.
option(VANTREL_PCH "Precompile the Qt headers of the window, the command line and the tests" ON)

include(CheckLinkerFlag)
check_linker_flag(CXX "-fuse-ld=lld" VANTREL_HAVE_LLD)
if(VANTREL_HAVE_LLD AND NOT VANTREL_FUZZ)
    add_link_options(-fuse-ld=lld)
endif()

# Precompiles HEADERS for TARGET (angle-bracket names such as <QString>).
function(vantrel_precompile target)
    if(VANTREL_PCH AND NOT VANTREL_FUZZ)
        target_precompile_headers(${target} PRIVATE ${ARGN})
    endif()
endfunction()

# TARGET uses the headers precompiled for FROM (their compile flags must match).
function(vantrel_precompile_like target from)
    if(VANTREL_PCH AND NOT VANTREL_FUZZ)
        target_precompile_headers(${target} REUSE_FROM ${from})
    endif()
endfunction()
