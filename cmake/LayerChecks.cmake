# Layer boundaries the build enforces at configure time, so that a wrong link or include fails
# the build rather than waiting for a test:
#   - every include points down a layer (tests/layers/check_layers.sh);
#   - no library below the window links QtWidgets, directly or through another library;
#   - the display model links only the protocol and QtCore;
#   - the transports (the QtSerialPort implementation, the dry-run port, the factory) are
#     linked by the programs' mains only: no library links them, and no source of the window's
#     panels or of the command line's library includes them.

# Every library `target` links, directly or through the project's own libraries.
function(vantrel_links_of target result)
    set(found)
    get_target_property(direct ${target} LINK_LIBRARIES)
    foreach(library ${direct})
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.*)>$" "\\1" library "${library}")
        if(library AND NOT library IN_LIST found)
            list(APPEND found ${library})
            if(TARGET ${library} AND library MATCHES "^vantrel_")
                vantrel_links_of(${library} nested)
                list(APPEND found ${nested})
            endif()
        endif()
    endforeach()
    list(REMOVE_DUPLICATES found)
    set(${result} ${found} PARENT_SCOPE)
endfunction()

function(vantrel_check_no_widgets)
    foreach(target ${ARGN})
        vantrel_links_of(${target} links)
        if(links MATCHES "Widgets|vantrel_ui|board_window")
            message(FATAL_ERROR "${target} must not link QtWidgets; it links: ${links}")
        endif()
    endforeach()
endfunction()

function(vantrel_check_layers)
    # Every include points down (the same check CTest runs as the `layers` test).
    execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/tests/layers/check_layers.sh ${CMAKE_SOURCE_DIR}
        RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "An include points up a layer:\n${output}")
    endif()
    vantrel_check_no_widgets(vantrel_protocol vantrel_serial vantrel_transport vantrel_engine
        vantrel_picture vantrel_display vantrel_desktop vantrel_board vantrel_ctl vantrelctl)
    vantrel_links_of(vantrel_display links)
    if(links MATCHES "Qt6::(Gui|Widgets|SerialPort)|vantrel_(serial|engine|picture|board|ui|ctl)")
        message(FATAL_ERROR "vantrel_display must link only the protocol and QtCore; it links: ${links}")
    endif()
    foreach(target vantrel_engine vantrel_ctl vantrel_ui vantrel_picture vantrel_board)
        vantrel_links_of(${target} links)
        if("vantrel_transport" IN_LIST links)
            message(FATAL_ERROR "${target} must not link the transports; only the programs do")
        endif()
    endforeach()
    file(GLOB_RECURSE sources ${CMAKE_SOURCE_DIR}/src/panels/*.cpp ${CMAKE_SOURCE_DIR}/src/panels/*.h
        ${CMAKE_SOURCE_DIR}/src/ctl/*.cpp ${CMAKE_SOURCE_DIR}/src/ctl/*.h
        ${CMAKE_SOURCE_DIR}/src/engine/*.cpp ${CMAKE_SOURCE_DIR}/src/engine/*.h)
    foreach(source ${sources})
        file(STRINGS ${source} includes REGEX "#include [<\"](transport/|QSerialPort>|QtSerialPort/)")
        if(includes)
            message(FATAL_ERROR "${source} includes a serial transport (${includes}); the panels, "
                "the engine and the command line reach the line through the board session only")
        endif()
    endforeach()
endfunction()
