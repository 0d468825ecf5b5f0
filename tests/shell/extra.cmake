# The shell's start-up without a test-made application object: its own executable with the
# plain GoogleTest main.
add_executable(morvane_shell_start_tests ${CMAKE_CURRENT_SOURCE_DIR}/shell/standalone/shell_start_test.cpp)
target_include_directories(morvane_shell_start_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(morvane_shell_start_tests PRIVATE morvane_shell GTest::gtest_main)
gtest_discover_tests(morvane_shell_start_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                     WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} PROPERTIES LABELS shell)
