# System libraries the platform layer needs.
if(NOT WIN32)
  # The picture decoder of the JPEG reader on POSIX systems.
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(TIVORN_TURBOJPEG REQUIRED IMPORTED_TARGET libturbojpeg)
endif()

function(tivorn_link_platform target)
  if(WIN32)
    target_link_libraries(${target} PRIVATE comdlg32 ole32 oleaut32 uuid gdi32 user32 shlwapi comctl32)
  else()
    find_package(Threads REQUIRED)
    target_link_libraries(${target} PRIVATE Threads::Threads PkgConfig::TIVORN_TURBOJPEG)
  endif()
endfunction()
