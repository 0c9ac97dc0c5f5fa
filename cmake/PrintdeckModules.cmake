# printdeck_add_module(NAME [DEPENDENCIES...])
# Builds src/NAME into the static library printdeck_NAME. Files that need Qt
# (dialogs *Dlg.cpp, the main window, Qt* adapters) belong to other targets.
function(printdeck_add_module name)
    file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${name}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "/(Qt[^/]*|[^/]*Dlg|main)\\.cpp$")
    if(sources)
        add_library(printdeck_${name} STATIC ${sources})
        set(scope PUBLIC)
    else()
        add_library(printdeck_${name} INTERFACE)
        set(scope INTERFACE)
    endif()
    target_include_directories(printdeck_${name} ${scope} ${PROJECT_SOURCE_DIR}/src)
    list(TRANSFORM ARGN PREPEND printdeck_ OUTPUT_VARIABLE deps)
    target_link_libraries(printdeck_${name} ${scope} ${deps} Threads::Threads)
endfunction()

# printdeck_add_test_suite(NAME LIBRARIES...)
# Builds tests/NAME/*.cpp into the GoogleTest program test_NAME. Tests that
# forget to isolate their files still never touch the user's store or log.
function(printdeck_add_test_suite name)
    file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/${name}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(test_${name} ${sources})
    target_link_libraries(test_${name} PRIVATE ${ARGN} printdeck_test_support GTest::gtest GTest::gmock GTest::gtest_main)
    gtest_discover_tests(test_${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "PRINTDECK_LOG=${CMAKE_BINARY_DIR}/test-logs/SbinLog.txt;PRINTDECK_STORE=${CMAKE_BINARY_DIR}/test-logs/printdeck.reg;QT_QPA_PLATFORM=offscreen"
                   TIMEOUT 120)
endfunction()
