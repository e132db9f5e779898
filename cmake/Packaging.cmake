# Packages of the library, its headers, its CMake and pkg-config files and
# the tool: `cpack -G DEB` and `cpack -G TGZ` in a build folder. Both hold
# every install component (runtime and development) in one package.
set(CPACK_PACKAGE_NAME kestrine)
set(CPACK_PACKAGE_VENDOR "Kestrine")
set(CPACK_PACKAGE_CONTACT "Kestrine developers <kestrine@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION
  "Kestrine is a C++17 shared library that keeps the list of web services one \
script uses, in the file WSDL/web_services.ini below the script's folder. The \
package holds the library, its headers, CMake package and pkg-config module, \
and the kestrine command-line tool.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_GENERATOR "DEB;TGZ")
if(CMAKE_BUILD_TYPE MATCHES "^(Release|MinSizeRel|RelWithDebInfo)$")
  set(CPACK_STRIP_FILES ON)
endif()

# Debian: installed below /usr. dpkg-shlibdeps works out the dependencies on
# the C and C++ runtimes; GENERATE_SHLIBS adds the shlibs file and runs
# ldconfig on installation and removal.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

# The archive unpacks into one folder with bin/, lib/, include/ and share/,
# wherever it is put: the tool finds the library through $ORIGIN. Only the
# Debian package is rooted at /usr, so the prefix is set per generator.
set(CPACK_PACKAGE_FILE_NAME
  "${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackPerGenerator.cmake)
file(WRITE ${CPACK_PROJECT_CONFIG_FILE} [=[
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
else()
  set(CPACK_PACKAGING_INSTALL_PREFIX /)
endif()
]=])

set(CPACK_VERBATIM_VARIABLES YES)
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build/" "/\\.cache/")
include(CPack)
