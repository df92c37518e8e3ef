# cmake --install: headers, the library, tivorn.pc and the CMake package tivorn::tivorn.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS tivorn EXPORT tivornTargets
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES include/tivorn.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/tivorn DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# The control ids of the properties dialog, for hosts that show it themselves.
install(FILES resources/dialog_ids.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tivorn)
install(EXPORT tivornTargets NAMESPACE tivorn:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tivorn)

configure_package_config_file(cmake/tivornConfig.cmake.in ${CMAKE_BINARY_DIR}/tivornConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tivorn)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/tivornConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/tivornConfig.cmake ${CMAKE_BINARY_DIR}/tivornConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/tivorn)

configure_file(cmake/tivorn.pc.in ${CMAKE_BINARY_DIR}/tivorn.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/tivorn.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
