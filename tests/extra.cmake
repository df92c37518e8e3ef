# Checks that need more than a test program.
include(${CMAKE_CURRENT_SOURCE_DIR}/c_host/c_host.cmake)
include(${CMAKE_CURRENT_SOURCE_DIR}/python/python.cmake)
if(NOT WIN32 AND NOT TIVORN_SANITIZE)
  add_test(NAME install_and_consume COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/consumer/check.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(install_and_consume PROPERTIES TIMEOUT 300)
endif()
include(${CMAKE_CURRENT_SOURCE_DIR}/cli.cmake)
# The real properties dialog of tivorn.dll under wine, on a virtual X display;
# its screenshot is left in artifacts/.
if(WIN32)
  add_executable(properties_dialog_test win32/properties_dialog_test.cpp)
  target_link_libraries(properties_dialog_test PRIVATE tivorn ${TIVORN_GTEST} tivorn_flags comctl32 gdi32 gdiplus user32)
  target_include_directories(properties_dialog_test PRIVATE ${CMAKE_SOURCE_DIR})
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/artifacts)
  add_test(NAME properties_dialog_test
    COMMAND bash ${CMAKE_SOURCE_DIR}/.ci/with-display.sh $<TARGET_FILE:properties_dialog_test>
            ${CMAKE_BINARY_DIR}/wine-display Z:${CMAKE_BINARY_DIR}/artifacts/properties_dialog.png)
  set_tests_properties(properties_dialog_test PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
endif()
