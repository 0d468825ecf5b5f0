# End-to-end run of the real binary on Xvfb with real mouse input (Release builds only: the
# sanitizer build is too slow for the fixed waits of an X session).
if(TARGET morvane AND NOT MORVANE_SANITIZE)
  find_program(MORVANE_XVFB_RUN xvfb-run)
  find_program(MORVANE_XDOTOOL xdotool)
  if(MORVANE_XVFB_RUN AND MORVANE_XDOTOOL)
    add_test(NAME app_e2e_exit
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/e2e_exit.sh $<TARGET_FILE:morvane>)
    set_tests_properties(app_e2e_exit PROPERTIES LABELS "app;e2e" TIMEOUT 120)
  endif()
endif()

# The command line's output is compared with the dialog's.
if(TARGET morvane-tileset)
  target_compile_definitions(morvane_app_tests PRIVATE MORVANE_TILESET_CLI="$<TARGET_FILE:morvane-tileset>")
  add_dependencies(morvane_app_tests morvane-tileset)
endif()
