# Peer libraries measured in the same run as tivorn, when their Debian
# development packages are installed (libstb-dev, libvips-dev, libgif-dev,
# libturbojpeg0-dev). Each found peer defines TIVORN_HAVE_<NAME> for the benches.
find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  foreach(peer stb vips libgif libturbojpeg)
    string(TOUPPER ${peer} upper)
    string(REGEX REPLACE "^LIB" "" upper ${upper})
    pkg_check_modules(PEER_${upper} QUIET IMPORTED_TARGET ${peer})
    if(PEER_${upper}_FOUND)
      target_link_libraries(tivorn_bench PRIVATE PkgConfig::PEER_${upper})
      target_compile_definitions(tivorn_bench PRIVATE TIVORN_HAVE_${upper})
      message(STATUS "Benchmark peer ${peer}: found")
    else()
      message(STATUS "Benchmark peer ${peer}: not found, its cases are skipped")
    endif()
  endforeach()
endif()
