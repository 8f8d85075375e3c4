# Every external package the build uses, found once here for all targets.
# Debian 12 packages (see scripts/install-deps.sh): libnspr4-dev,
# libssl-dev, uuid-dev, libdb5.3-dev, nlohmann-json3-dev, libical-dev,
# libcurl4-openssl-dev, libxml2-dev, libgtest-dev, libbenchmark-dev.
list(APPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/cmake)

find_package(PkgConfig REQUIRED)
pkg_check_modules(NSPR REQUIRED IMPORTED_TARGET nspr)
pkg_check_modules(UUID REQUIRED IMPORTED_TARGET uuid)
find_package(OpenSSL REQUIRED COMPONENTS Crypto)

# Berkeley DB 5.3 ships no CMake or pkg-config file: cmake/FindBerkeleyDB.cmake.
find_package(BerkeleyDB 5.3 REQUIRED)

# The command's and the tools' JSON, libical for the export, libcurl and
# libxml2 for push.
find_package(nlohmann_json 3 REQUIRED)
pkg_check_modules(LIBICAL REQUIRED IMPORTED_TARGET libical)
find_package(CURL REQUIRED)
find_package(LibXml2 REQUIRED)

if(QEL2_BUILD_TESTS)
  find_package(GTest REQUIRED)
endif()
if(QEL2_BUILD_BENCHMARKS)
  find_package(benchmark REQUIRED)
endif()
