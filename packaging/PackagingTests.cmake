# Checks of what gets installed: the file list, the man pages, the desktop
# entry and metadata (when their validators are installed), the completion.
set(packaging_tests ${PROJECT_SOURCE_DIR}/tests/packaging)

add_test(NAME packaging_install_tree
         COMMAND ${packaging_tests}/install_tree.sh ${CMAKE_COMMAND} ${CMAKE_BINARY_DIR}
                 ${packaging_tests}/installed-files.txt)

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
    add_test(NAME packaging_desktop_entry
             COMMAND ${DESKTOP_FILE_VALIDATE}
                     ${CMAKE_CURRENT_SOURCE_DIR}/desktop/${PRINTDECK_APP_ID}.desktop)
endif()

find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    add_test(NAME packaging_metainfo
             COMMAND ${APPSTREAMCLI} validate --no-net
                     ${CMAKE_CURRENT_BINARY_DIR}/${PRINTDECK_APP_ID}.metainfo.xml)
endif()

add_test(NAME packaging_completion
         COMMAND bash ${packaging_tests}/completion_test.sh
                 ${CMAKE_CURRENT_SOURCE_DIR}/completion/printdeck-cli.bash
                 $<TARGET_FILE:printdeck-cli>)
set_tests_properties(packaging_completion PROPERTIES
    ENVIRONMENT "PRINTDECK_LOG=${CMAKE_BINARY_DIR}/test-logs/SbinLog.txt;PRINTDECK_STORE=${CMAKE_BINARY_DIR}/test-logs/printdeck.reg")
