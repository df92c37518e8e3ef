# Checks that need more than a test program.
if(NOT WIN32 AND NOT TIVORN_SANITIZE)
  add_test(NAME install_and_consume COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/consumer/check.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(install_and_consume PROPERTIES TIMEOUT 300)
endif()
include(${CMAKE_CURRENT_SOURCE_DIR}/cli.cmake)
