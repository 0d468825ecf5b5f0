# End-to-end run of the real binary on Xvfb with real mouse input (Release builds only: the
# sanitizer build is too slow for the fixed waits of an X session).
if(TARGET morvane AND NOT MORVANE_SANITIZE)
  find_program(MORVANE_XVFB_RUN xvfb-run)
  find_program(MORVANE_XDOTOOL xdotool)
  if(MORVANE_XVFB_RUN AND MORVANE_XDOTOOL)
    add_test(NAME app_e2e_exit
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/e2e_exit.sh $<TARGET_FILE:morvane>)
    set_tests_properties(app_e2e_exit PROPERTIES LABELS "app;e2e" TIMEOUT 120)
    find_program(MORVANE_IMPORT import)
    if(MORVANE_IMPORT)
      add_test(NAME app_e2e_paint
               COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/e2e_paint.sh $<TARGET_FILE:morvane>)
      set_tests_properties(app_e2e_paint PROPERTIES LABELS "app;e2e" TIMEOUT 120)
    endif()
  endif()
endif()
