# End-to-end tests of the tivorn program (cli_test, cli_demo_test, cli_cache_test, cli_play_test). They run the
# program of this build, so only in the native Linux build: not under wine, not
# in the sanitizer build (which makes no program). Elsewhere they skip themselves.
if(NOT WIN32 AND NOT TIVORN_SANITIZE AND TARGET tivorn_cli)
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND)
    pkg_check_modules(TIVORN_CLI_TEST_PNG IMPORTED_TARGET libpng)
  endif()
  get_property(TIVORN_CLI_SDL2 GLOBAL PROPERTY TIVORN_TOOLS_HAVE_SDL2)
  set(cli_environment
    "TIVORN_CLI=$<TARGET_FILE:tivorn_cli>"
    "TIVORN_DEMO_PICTURES=${CMAKE_SOURCE_DIR}/tools/demo-pictures"
    "TIVORN_CLI_WORK=${CMAKE_BINARY_DIR}/cli-test"
    "TIVORN_CMAKE=${CMAKE_COMMAND}"
    "TIVORN_BUILD_DIR=${CMAKE_BINARY_DIR}"
    "TIVORN_CLI_SDL2=$<BOOL:${TIVORN_CLI_SDL2}>")
  foreach(test cli_test cli_demo_test cli_cache_test cli_play_test)
    add_dependencies(${test} tivorn_cli)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT ${cli_environment})
    # PNG output is read back with libpng to compare pixels.
    if(TIVORN_CLI_TEST_PNG_FOUND AND test STREQUAL "cli_test")
      target_link_libraries(${test} PRIVATE PkgConfig::TIVORN_CLI_TEST_PNG)
      target_compile_definitions(${test} PRIVATE TIVORN_CLI_TEST_PNG=1)
    endif()
  endforeach()
  # tivorn play --window on a virtual X display; the screenshot is left in
  # artifacts/play-window.png. Skipped without SDL2 in the program or without Xvfb.
  if(TIVORN_CLI_SDL2)
    add_test(NAME cli_play_window_test COMMAND bash ${CMAKE_SOURCE_DIR}/.ci/with-xvfb.sh
             $<TARGET_FILE:cli_play_test> --gtest_filter=*PlayWindow*)
  else()
    add_test(NAME cli_play_window_test COMMAND sh -c "echo 'tivorn built without SDL2: skipped'; exit 77")
  endif()
  # Its own work folder: cli_play_test, which may run at the same time, makes
  # and clears a folder of the same test name under the shared one.
  set_tests_properties(cli_play_window_test PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 120
    ENVIRONMENT "${cli_environment};TIVORN_PLAY_WINDOW=1;TIVORN_CLI_WORK=${CMAKE_BINARY_DIR}/cli-test-window")
endif()
