# End-to-end run of the real binary on Xvfb with real mouse input (Release builds only: the
# sanitizer build is too slow for the fixed waits of an X session).
if(TARGET morvane AND NOT MORVANE_SANITIZE)
  find_program(MORVANE_XVFB_RUN xvfb-run)
  find_program(MORVANE_XDOTOOL xdotool)
  if(MORVANE_XVFB_RUN AND MORVANE_XDOTOOL)
    add_test(NAME app_e2e_exit
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/e2e_exit.sh $<TARGET_FILE:morvane>)
    set_tests_properties(app_e2e_exit PROPERTIES LABELS "app;e2e" TIMEOUT 120)
    # Under a window manager: dialogs in front of the main window, and display scales.
    find_program(MORVANE_OPENBOX openbox)
    find_program(MORVANE_XPROP xprop)
    if(MORVANE_OPENBOX AND MORVANE_XPROP)
      add_test(NAME app_e2e_front COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/e2e_front.sh $<TARGET_FILE:morvane>)
      add_test(NAME app_e2e_scale COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/e2e_scale.sh $<TARGET_FILE:morvane>)
      set_tests_properties(app_e2e_front app_e2e_scale PROPERTIES LABELS "app;e2e" TIMEOUT 180)
      # The Tile Preview tool window in front of the main window, closed by Escape and Shift+P.
      add_test(NAME app_e2e_preview COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/e2e_preview.sh $<TARGET_FILE:morvane>)
      set_tests_properties(app_e2e_preview PROPERTIES LABELS "app;e2e" TIMEOUT 120)
    endif()
    find_program(MORVANE_CONVERT convert)
    if(MORVANE_CONVERT)
      add_test(NAME app_e2e_open
               COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/e2e_open.sh $<TARGET_FILE:morvane>)
      set_tests_properties(app_e2e_open PROPERTIES LABELS "app;e2e" TIMEOUT 120)
    endif()
    find_program(MORVANE_IMPORT import)
    if(MORVANE_IMPORT)
      add_test(NAME app_e2e_paint
               COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/e2e_paint.sh $<TARGET_FILE:morvane>)
      set_tests_properties(app_e2e_paint PROPERTIES LABELS "app;e2e" TIMEOUT 120)
    endif()
    # Wheel, Ctrl+wheel and the undo, redo and save keys under openbox.
    find_program(MORVANE_XWININFO xwininfo)
    if(MORVANE_OPENBOX AND MORVANE_CONVERT AND MORVANE_IMPORT AND MORVANE_XWININFO)
      add_test(NAME app_e2e_navigate
               COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/e2e_navigate.sh $<TARGET_FILE:morvane>)
      set_tests_properties(app_e2e_navigate PROPERTIES LABELS "app;e2e" TIMEOUT 120)
      # The tool keys: E erases, B after E paints again; the saved pixels are checked.
      add_test(NAME app_e2e_toolkeys
               COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/e2e_toolkeys.sh $<TARGET_FILE:morvane>)
      set_tests_properties(app_e2e_toolkeys PROPERTIES LABELS "app;e2e" TIMEOUT 120)
    endif()
    # Save As with a typed extension other than the chosen pattern's, checked by identify.
    find_program(MORVANE_IDENTIFY identify)
    if(MORVANE_OPENBOX AND MORVANE_CONVERT AND MORVANE_IDENTIFY AND MORVANE_XWININFO)
      add_test(NAME app_e2e_saveas
               COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/e2e_saveas.sh $<TARGET_FILE:morvane>)
      set_tests_properties(app_e2e_saveas PROPERTIES LABELS "app;e2e" TIMEOUT 120)
    endif()
    # Copy to and paste from another program (xclip) through the X clipboard, alpha kept.
    find_program(MORVANE_XCLIP xclip)
    if(MORVANE_OPENBOX AND MORVANE_CONVERT AND MORVANE_IDENTIFY AND MORVANE_XCLIP)
      add_test(NAME app_e2e_clipboard
               COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/e2e_clipboard.sh $<TARGET_FILE:morvane>)
      set_tests_properties(app_e2e_clipboard PROPERTIES LABELS "app;e2e" TIMEOUT 120)
    endif()
    # Escape closes every dialog opened from its menu item or shortcut, under openbox.
    if(MORVANE_OPENBOX AND MORVANE_XPROP AND MORVANE_XWININFO AND MORVANE_CONVERT)
      add_test(NAME app_e2e_dialogs
               COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/e2e_dialogs.sh $<TARGET_FILE:morvane>)
      set_tests_properties(app_e2e_dialogs PROPERTIES LABELS "app;e2e" TIMEOUT 120)
    endif()
  endif()
endif()

# The version of project() in both programs and the configured manual pages.
if(TARGET morvane)
  add_test(NAME app_version COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/version_test.sh ${PROJECT_VERSION}
                                    ${PROJECT_BINARY_DIR} $<TARGET_FILE:morvane>
                                    $<$<TARGET_EXISTS:morvane-tileset>:$<TARGET_FILE:morvane-tileset>>)
  set_tests_properties(app_version PROPERTIES LABELS app TIMEOUT 60)
endif()

# The install tree, the validators and the Debian package of this build.
find_program(MORVANE_DPKG_DEB dpkg-deb)
find_program(MORVANE_DESKTOP_VALIDATE desktop-file-validate)
find_program(MORVANE_APPSTREAMCLI appstreamcli)
if(TARGET morvane AND MORVANE_DPKG_DEB AND MORVANE_DESKTOP_VALIDATE AND MORVANE_APPSTREAMCLI)
  add_test(NAME app_package COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/app/package_test.sh ${PROJECT_BINARY_DIR}
                                    $<TARGET_EXISTS:morvane-tileset> ${PROJECT_VERSION})
  set_tests_properties(app_package PROPERTIES LABELS "app;package" TIMEOUT 300)
endif()

# The command line's output is compared with the dialog's.
if(TARGET morvane-tileset)
  target_compile_definitions(morvane_app_tests PRIVATE MORVANE_TILESET_CLI="$<TARGET_FILE:morvane-tileset>")
  add_dependencies(morvane_app_tests morvane-tileset)
endif()

# The canvas at display scales of 2 and 1.5 (the test skips itself at scale 1).
foreach(scale 2 1.5)
  add_test(NAME app_navigate_scale${scale}
           COMMAND morvane_app_tests --gtest_filter=NavigateTest.ScaledDisplayShowsWholeDevicePixelBlocks)
  set_tests_properties(app_navigate_scale${scale} PROPERTIES LABELS app
                       ENVIRONMENT "QT_SCALE_FACTOR=${scale};QT_QPA_PLATFORM=offscreen"
                       WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endforeach()
