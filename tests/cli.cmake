# End-to-end tests of the tivorn program (cli_test, cli_demo_test, cli_cache_test). They run the
# program of this build, so only in the native Linux build: not under wine, not
# in the sanitizer build (which makes no program). Elsewhere they skip themselves.
if(NOT WIN32 AND NOT TIVORN_SANITIZE AND TARGET tivorn_cli)
  find_package(PkgConfig QUIET)
  if(PkgConfig_FOUND)
    pkg_check_modules(TIVORN_CLI_TEST_PNG IMPORTED_TARGET libpng)
  endif()
  foreach(test cli_test cli_demo_test cli_cache_test)
    if(NOT TARGET ${test})
      continue()
    endif()
    add_dependencies(${test} tivorn_cli)
    set_property(TEST ${test} APPEND PROPERTY ENVIRONMENT
      "TIVORN_CLI=$<TARGET_FILE:tivorn_cli>"
      "TIVORN_DEMO_PICTURES=${CMAKE_SOURCE_DIR}/tools/demo-pictures"
      "TIVORN_CLI_WORK=${CMAKE_BINARY_DIR}/cli-test"
      "TIVORN_CMAKE=${CMAKE_COMMAND}"
      "TIVORN_BUILD_DIR=${CMAKE_BINARY_DIR}")
    # PNG output is read back with libpng to compare pixels.
    if(TIVORN_CLI_TEST_PNG_FOUND AND test STREQUAL "cli_test")
      target_link_libraries(${test} PRIVATE PkgConfig::TIVORN_CLI_TEST_PNG)
      target_compile_definitions(${test} PRIVATE TIVORN_CLI_TEST_PNG=1)
    endif()
  endforeach()
endif()
