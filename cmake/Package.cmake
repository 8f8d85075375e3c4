# A Debian package of the installed tree: cpack -G DEB in the build folder.
# It holds the command (with its manual page, bash completion and the
# sample store), both libraries, the headers, the CMake package and the
# pkg-config files, installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qel2caldb)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "qel2caldb developers <qel2caldb@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# The run-time libraries come from dpkg-shlibdeps; tar unpacks the sample,
# and the headers and pkg-config files need NSPR's (Berkeley DB stays
# private to the shared library).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "tar")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libnspr4-dev, pkg-config")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
include(CPack)
