# Builds the DLL's resource script from resources/: the message list (UTF-8) is
# turned into a Russian string table in code page 1251.
enable_language(RC)
set(TIVORN_RC_FILE ${CMAKE_BINARY_DIR}/generated/tivorn.rc)
set(_rc_utf8 ${CMAKE_BINARY_DIR}/generated/tivorn.rc.utf8)
file(STRINGS ${CMAKE_SOURCE_DIR}/resources/messages.inc _lines ENCODING UTF-8 REGEX "^TVN_MESSAGE")
set(_rc "#pragma code_page(1251)\nLANGUAGE 0x19, 0x01\nSTRINGTABLE\nBEGIN\n")
foreach(_line ${_lines})
  string(REGEX REPLACE "^TVN_MESSAGE\\(([0-9]+), [A-Za-z]+, (\".*\")\\)$" "  \\1, \\2\n" _entry "${_line}")
  string(APPEND _rc "${_entry}")
endforeach()
file(STRINGS ${CMAKE_SOURCE_DIR}/resources/cache_messages.inc _lines ENCODING UTF-8 REGEX "^TVN_CACHE_MESSAGE")
foreach(_line ${_lines})
  string(REGEX REPLACE "^TVN_CACHE_MESSAGE\\(([0-9]+), [A-Za-z]+, \"[^\"]*\", (\".*\")\\)$" "  \\1, \\2\n" _entry "${_line}")
  string(APPEND _rc "${_entry}")
endforeach()
string(APPEND _rc "END\n")
if(EXISTS ${CMAKE_SOURCE_DIR}/resources/dialogs.rc)
  file(READ ${CMAKE_SOURCE_DIR}/resources/dialogs.rc _dialogs)
  string(APPEND _rc "${_dialogs}")
endif()
file(WRITE ${_rc_utf8} "${_rc}")
execute_process(COMMAND iconv -f UTF-8 -t CP1251 ${_rc_utf8} OUTPUT_FILE ${TIVORN_RC_FILE}
  RESULT_VARIABLE _iconv_result)
if(NOT _iconv_result EQUAL 0)
  message(FATAL_ERROR "iconv could not convert the resource script to code page 1251")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/messages.inc
  ${CMAKE_SOURCE_DIR}/resources/cache_messages.inc
  ${CMAKE_SOURCE_DIR}/resources/dialogs.rc)
# The dialog template includes resources/dialog_ids.h from the source tree.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 1251 -I${CMAKE_SOURCE_DIR}")
