# The shell's start-up without a test-made application object: its own executable with the
# plain GoogleTest main.
add_executable(morvane_shell_start_tests ${CMAKE_CURRENT_SOURCE_DIR}/shell/standalone/shell_start_test.cpp)
target_include_directories(morvane_shell_start_tests PRIVATE ${PROJECT_SOURCE_DIR})
target_link_libraries(morvane_shell_start_tests PRIVATE morvane_shell GTest::gtest_main)
gtest_discover_tests(morvane_shell_start_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                     WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR} PROPERTIES LABELS shell)

# The clipboard against xclip on a real X server (Xvfb; Release builds only, like the other
# runs on a real X server).
find_program(MORVANE_XVFB_RUN xvfb-run)
find_program(MORVANE_XCLIP xclip)
if(NOT MORVANE_SANITIZE)
  add_executable(morvane_clipboard_x11_tests ${CMAKE_CURRENT_SOURCE_DIR}/shell/standalone/clipboard_x11_test.cpp)
  target_include_directories(morvane_clipboard_x11_tests PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(morvane_clipboard_x11_tests PRIVATE morvane_shell GTest::gtest)
  if(MORVANE_XVFB_RUN AND MORVANE_XCLIP)
    add_test(NAME shell_clipboard_x11
             COMMAND ${MORVANE_XVFB_RUN} -a -s "-screen 0 640x480x24" $<TARGET_FILE:morvane_clipboard_x11_tests>)
    set_tests_properties(shell_clipboard_x11 PROPERTIES LABELS "shell;e2e" TIMEOUT 120)
  endif()
endif()
