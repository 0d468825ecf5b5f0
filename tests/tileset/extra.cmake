# The command line run as a user runs it, its files read back by Pillow and Tiled.
if(TARGET morvane-tileset)
  find_program(MORVANE_SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
  if(MORVANE_SYSTEM_PYTHON)
    add_test(NAME tileset_cli
             COMMAND ${MORVANE_SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/tileset/cli_test.py
                     $<TARGET_FILE:morvane-tileset>)
    set_tests_properties(tileset_cli PROPERTIES LABELS tileset TIMEOUT 300
                         ENVIRONMENT MORVANE_VERSION=${PROJECT_VERSION})
  endif()
endif()
