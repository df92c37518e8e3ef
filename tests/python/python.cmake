# The Python package (from the source tree) over this build's libtivorn.so. The
# system interpreter first: Debian's python3-pytest and python3-numpy are its.
if(NOT WIN32 AND NOT TIVORN_SANITIZE)
  find_program(TIVORN_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
  find_program(TIVORN_PYTHON python3)
  if(TIVORN_PYTHON)
    add_test(NAME python_package
      COMMAND ${TIVORN_PYTHON} -m pytest -q -p no:cacheprovider ${CMAKE_CURRENT_LIST_DIR})
    set_tests_properties(python_package PROPERTIES ENVIRONMENT
      "TIVORN_LIBRARY=$<TARGET_FILE:tivorn>;PYTHONPATH=${CMAKE_SOURCE_DIR}/python;PYTHONDONTWRITEBYTECODE=1")
  endif()
endif()
