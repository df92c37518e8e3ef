# The C interface used from a host in plain C (built with this build's C compiler:
# gcc here, MinGW's gcc for the DLL), then the same picture steps through the
# classes, whose TGA must match the C host's byte for byte.
add_executable(c_host ${PROJECT_SOURCE_DIR}/examples/c_host.c)
target_link_libraries(c_host PRIVATE tivorn tivorn_flags)
set_target_properties(c_host PROPERTIES C_STANDARD 90 C_EXTENSIONS OFF)
target_compile_options(c_host PRIVATE -pedantic)
add_executable(c_host_classes_twin ${CMAKE_CURRENT_LIST_DIR}/classes_twin.cpp)
target_link_libraries(c_host_classes_twin PRIVATE tivorn tivorn_flags)

set(c_host_dir ${CMAKE_CURRENT_BINARY_DIR}/c_host_work)
file(MAKE_DIRECTORY ${c_host_dir})
if(WIN32)
  set(c_host_dir "Z:${c_host_dir}")
endif()
add_test(NAME c_host COMMAND c_host ${c_host_dir})
add_test(NAME c_host_matches_classes COMMAND c_host_classes_twin ${c_host_dir})
set_tests_properties(c_host PROPERTIES FIXTURES_SETUP c_host_output)
set_tests_properties(c_host_matches_classes PROPERTIES FIXTURES_REQUIRED c_host_output)
