# FindBerkeleyDB: the Berkeley DB 5.3 C library and its <db.h>, which
# Debian's libdb5.3-dev installs without a CMake or pkg-config file.
#
#   find_package(BerkeleyDB 5.3 REQUIRED)
#
# Sets BerkeleyDB_FOUND and BerkeleyDB_VERSION (from db.h) and defines the
# imported target BerkeleyDB::BerkeleyDB. The cache entries
# BerkeleyDB_INCLUDE_DIR and BerkeleyDB_LIBRARY may be set to pick another
# copy.
find_path(BerkeleyDB_INCLUDE_DIR db.h)
find_library(BerkeleyDB_LIBRARY NAMES db-5.3)
mark_as_advanced(BerkeleyDB_INCLUDE_DIR BerkeleyDB_LIBRARY)

if(BerkeleyDB_INCLUDE_DIR AND EXISTS "${BerkeleyDB_INCLUDE_DIR}/db.h")
  file(STRINGS "${BerkeleyDB_INCLUDE_DIR}/db.h" _bdb_version_lines
    REGEX "^#define[ \t]+DB_VERSION_(MAJOR|MINOR|PATCH)[ \t]+[0-9]+")
  foreach(_bdb_part MAJOR MINOR PATCH)
    string(REGEX REPLACE ".*#define[ \t]+DB_VERSION_${_bdb_part}[ \t]+([0-9]+).*" "\\1"
      _bdb_${_bdb_part} "${_bdb_version_lines}")
  endforeach()
  set(BerkeleyDB_VERSION "${_bdb_MAJOR}.${_bdb_MINOR}.${_bdb_PATCH}")
  unset(_bdb_version_lines)
  unset(_bdb_part)
endif()

include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(BerkeleyDB
  REQUIRED_VARS BerkeleyDB_LIBRARY BerkeleyDB_INCLUDE_DIR
  VERSION_VAR BerkeleyDB_VERSION)

if(BerkeleyDB_FOUND AND NOT TARGET BerkeleyDB::BerkeleyDB)
  add_library(BerkeleyDB::BerkeleyDB UNKNOWN IMPORTED)
  set_target_properties(BerkeleyDB::BerkeleyDB PROPERTIES
    IMPORTED_LOCATION "${BerkeleyDB_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${BerkeleyDB_INCLUDE_DIR}")
endif()
