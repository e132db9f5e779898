# Install rules: headers, the library, a CMake package with a version file,
# and a pkg-config module. Components: `library` (the shared library alone)
# and `development` (everything to build against it); the tool installs its
# own, `tool` (tools/CMakeLists.txt).
include(CMakePackageConfigHelpers)

set(KESTRINE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Kestrine)

install(TARGETS kestrine
  EXPORT KestrineTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT library)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/kestrine
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT development)
install(FILES ${PROJECT_BINARY_DIR}/include/kestrine/version.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/kestrine COMPONENT development)

install(EXPORT KestrineTargets
  NAMESPACE Kestrine::
  DESTINATION ${KESTRINE_CMAKE_DIR}
  COMPONENT development)

configure_package_config_file(
  ${PROJECT_SOURCE_DIR}/cmake/KestrineConfig.cmake.in
  ${PROJECT_BINARY_DIR}/KestrineConfig.cmake
  INSTALL_DESTINATION ${KESTRINE_CMAKE_DIR})
write_basic_package_version_file(
  ${PROJECT_BINARY_DIR}/KestrineConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/KestrineConfig.cmake
  ${PROJECT_BINARY_DIR}/KestrineConfigVersion.cmake
  DESTINATION ${KESTRINE_CMAKE_DIR} COMPONENT development)

# The pkg-config module is written when it is installed, with the prefix it
# is installed to (see InstallPkgConfig.cmake.in).
file(RELATIVE_PATH KESTRINE_PC_TO_PREFIX "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
string(REGEX REPLACE "/$" "" KESTRINE_PC_TO_PREFIX "${KESTRINE_PC_TO_PREFIX}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/InstallPkgConfig.cmake.in
  ${PROJECT_BINARY_DIR}/InstallPkgConfig.cmake @ONLY)
install(SCRIPT ${PROJECT_BINARY_DIR}/InstallPkgConfig.cmake COMPONENT development)
