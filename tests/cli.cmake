# End-to-end tests of the tivorn program (cli_test). They run the program of
# this build, so only in the native Linux build: not under wine, not in the
# sanitizer build (which makes no program). Elsewhere cli_test skips itself.
if(NOT WIN32 AND NOT TIVORN_SANITIZE AND TARGET tivorn_cli AND TARGET cli_test)
  add_dependencies(cli_test tivorn_cli)
  set_property(TEST cli_test APPEND PROPERTY ENVIRONMENT
    "TIVORN_CLI=$<TARGET_FILE:tivorn_cli>"
    "TIVORN_DEMO_PICTURES=${CMAKE_SOURCE_DIR}/tools/demo-pictures"
    "TIVORN_CLI_WORK=${CMAKE_BINARY_DIR}/cli-test"
    "TIVORN_CMAKE=${CMAKE_COMMAND}"
    "TIVORN_BUILD_DIR=${CMAKE_BINARY_DIR}")
  # PNG output is read back with libpng to compare pixels.
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND)
    pkg_check_modules(TIVORN_CLI_TEST_PNG IMPORTED_TARGET libpng)
    if(TIVORN_CLI_TEST_PNG_FOUND)
      target_link_libraries(cli_test PRIVATE PkgConfig::TIVORN_CLI_TEST_PNG)
      target_compile_definitions(cli_test PRIVATE TIVORN_CLI_TEST_PNG=1)
    endif()
  endif()
endif()
