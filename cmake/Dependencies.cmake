# System libraries the platform layer needs.
function(tivorn_link_platform target)
  if(WIN32)
    target_link_libraries(${target} PRIVATE comdlg32 ole32 oleaut32 uuid gdi32 user32 shlwapi comctl32)
  else()
    find_package(Threads REQUIRED)
    target_link_libraries(${target} PRIVATE Threads::Threads)
  endif()
endfunction()
