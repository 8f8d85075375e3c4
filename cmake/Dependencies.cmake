# Libraries from Debian 12 packages: libnspr4-dev, libssl-dev, uuid-dev,
# libdb5.3-dev (see scripts/install-deps.sh).
find_package(PkgConfig REQUIRED)
pkg_check_modules(NSPR REQUIRED IMPORTED_TARGET nspr)
pkg_check_modules(UUID REQUIRED IMPORTED_TARGET uuid)
find_package(OpenSSL REQUIRED COMPONENTS Crypto)

# Berkeley DB 5.3 ships no CMake or pkg-config file.
find_path(BDB_INCLUDE_DIR db.h REQUIRED)
find_library(BDB_LIBRARY NAMES db-5.3 REQUIRED)
add_library(qel2::bdb UNKNOWN IMPORTED)
set_target_properties(qel2::bdb PROPERTIES
  IMPORTED_LOCATION "${BDB_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${BDB_INCLUDE_DIR}")

# The command's and the tools' JSON, and libical for the export.
find_package(nlohmann_json 3 REQUIRED)
pkg_check_modules(LIBICAL REQUIRED IMPORTED_TARGET libical)
if(QEL2_BUILD_TESTS)
  find_package(GTest REQUIRED)
endif()
if(QEL2_BUILD_BENCHMARKS)
  find_package(benchmark REQUIRED)
endif()
