include(CMakePackageConfigHelpers)

install(TARGETS qel2host qel2caldb EXPORT qel2caldbTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY include/qel2 DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(QEL2_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/qel2caldb)
install(EXPORT qel2caldbTargets NAMESPACE qel2:: DESTINATION ${QEL2_CMAKE_DIR})
configure_package_config_file(cmake/qel2caldbConfig.cmake.in
  ${PROJECT_BINARY_DIR}/qel2caldbConfig.cmake INSTALL_DESTINATION ${QEL2_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/qel2caldbConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/qel2caldbConfig.cmake
  ${PROJECT_BINARY_DIR}/qel2caldbConfigVersion.cmake DESTINATION ${QEL2_CMAKE_DIR})

# The pkg-config files find the prefix from their own folder, so an
# installed tree works wherever it is copied or unpacked.
file(RELATIVE_PATH QEL2_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
foreach(pc qel2caldb qel2host)
  configure_file(cmake/${pc}.pc.in ${PROJECT_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()
