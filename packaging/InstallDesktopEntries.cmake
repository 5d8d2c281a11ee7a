# Run by `cmake --install`: writes each desktop entry with Exec naming the program in the bin/
# of the prefix this install uses, and installs it (recorded in install_manifest.txt).
#   VANTREL_DESKTOP_ENTRIES  the *.desktop.in templates
#   VANTREL_BINDIR, VANTREL_DATADIR  GNUInstallDirs' bin and data folders
#   VANTREL_STAGING_DIR  where the filled-in entries are written before installing
foreach(folder BINDIR DATADIR)
    if(IS_ABSOLUTE "${VANTREL_${folder}}")
        set(full_${folder} "${VANTREL_${folder}}")
    else()
        set(full_${folder} "${CMAKE_INSTALL_PREFIX}/${VANTREL_${folder}}")
    endif()
endforeach()
set(bindir "${full_BINDIR}")
foreach(entry IN LISTS VANTREL_DESKTOP_ENTRIES)
    get_filename_component(name "${entry}" NAME_WLE)
    configure_file("${entry}" "${VANTREL_STAGING_DIR}/${name}" @ONLY)
    file(INSTALL DESTINATION "${full_DATADIR}/applications"
        TYPE FILE FILES "${VANTREL_STAGING_DIR}/${name}")
endforeach()
