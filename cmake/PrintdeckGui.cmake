# The desktop window: the dialogs of every subsystem (*Dlg.cpp next to their
# .ui layouts), the application shell in src/gui, the icon, and the
# translation catalogues built from translations/*.ts.
include(GNUInstallDirs)

file(GLOB PRINTDECK_GUI_SOURCES CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/src/*/*Dlg.cpp ${PROJECT_SOURCE_DIR}/src/*/*Dlg.h
    ${PROJECT_SOURCE_DIR}/src/*/*Dlg.ui ${PROJECT_SOURCE_DIR}/src/gui/*.cpp
    ${PROJECT_SOURCE_DIR}/src/gui/*.h)
list(FILTER PRINTDECK_GUI_SOURCES EXCLUDE REGEX "/gui/main\\.cpp$")

add_library(printdeck_gui STATIC ${PRINTDECK_GUI_SOURCES})
set_target_properties(printdeck_gui PROPERTIES AUTOMOC ON AUTOUIC ON)
target_include_directories(printdeck_gui PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(printdeck_gui PUBLIC printdeck_core printdeck_imageio printdeck_vp Qt6::Widgets)
target_compile_definitions(printdeck_gui PUBLIC
    PRINTDECK_VERSION="${PROJECT_VERSION}"
    PRINTDECK_TRANSLATIONS_DIR="${CMAKE_INSTALL_FULL_DATADIR}/printdeck/translations")
qt_add_resources(printdeck_gui printdeck_icons
    PREFIX "/" BASE ${PROJECT_SOURCE_DIR}/resources FILES ${PROJECT_SOURCE_DIR}/resources/printdeck.svg)

# Catalogues land beside the program, where it finds them in the build tree.
file(GLOB PRINTDECK_TS_FILES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/translations/*.ts)
qt_add_lrelease(printdeck_gui TS_FILES ${PRINTDECK_TS_FILES} QM_FILES_OUTPUT_VARIABLE PRINTDECK_QM_FILES)

add_executable(printdeck ${PROJECT_SOURCE_DIR}/src/gui/main.cpp)
target_link_libraries(printdeck PRIVATE printdeck_gui)

install(TARGETS printdeck)
add_subdirectory(${PROJECT_SOURCE_DIR}/tools/screenshots ${CMAKE_BINARY_DIR}/tools/screenshots)
install(FILES ${PRINTDECK_QM_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/printdeck/translations)
