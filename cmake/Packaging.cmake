# Packages of the library, its headers, its CMake and pkg-config files and
# the tool: `cpack -G DEB` and `cpack -G TGZ` in a build folder.
set(CPACK_PACKAGE_NAME kestrine)
set(CPACK_PACKAGE_VENDOR "Kestrine")
set(CPACK_PACKAGE_CONTACT "Kestrine developers <kestrine@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
include(CPack)
