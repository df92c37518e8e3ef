# The Python package as users get it: a wheel around this build's libtivorn.so,
# installed into a fresh virtual environment that also sees the system's packages
# (Debian's numpy, Pillow, pytest, distributed), then the tests against it, with
# neither the source tree nor TIVORN_LIBRARY in the way. The system interpreter
# first: those Debian packages are its.
if(NOT WIN32 AND NOT TIVORN_SANITIZE)
  find_program(TIVORN_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
  find_program(TIVORN_PYTHON python3)
  if(TIVORN_PYTHON)
    # The package's ctypes prototypes are what the C interface's list makes of them.
    add_test(NAME python_prototypes_current
      COMMAND ${TIVORN_PYTHON} ${CMAKE_SOURCE_DIR}/python/generate_prototypes.py --check)
    set(venv ${CMAKE_BINARY_DIR}/python-wheel)
    add_test(NAME python_wheel COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/install_wheel.sh
      ${TIVORN_PYTHON} $<TARGET_FILE:tivorn> ${venv} ${CMAKE_SOURCE_DIR})
    set_tests_properties(python_wheel PROPERTIES FIXTURES_SETUP python_wheel TIMEOUT 300)
    foreach(suite package batch)
      add_test(NAME python_${suite} COMMAND env -u TIVORN_LIBRARY -u PYTHONPATH TIVORN_EXPECT_WHEEL=1
        PYTHONDONTWRITEBYTECODE=1 ${venv}/bin/python -m pytest -q -p no:cacheprovider
        ${CMAKE_CURRENT_LIST_DIR}/test_${suite}.py)
      set_tests_properties(python_${suite} PROPERTIES FIXTURES_REQUIRED python_wheel TIMEOUT 600
        WORKING_DIRECTORY ${venv})
    endforeach()
  endif()
endif()
