# Packages. Configured with the prefix /usr (the `package` preset: cmake
# --workflow --preset package), `cpack` makes three Debian packages, one per
# install component:
#
#   libkestrine<soversion>  library       the shared library
#   libkestrine-dev         development   headers, CMake package, pkg-config
#                                         module, the libkestrine.so link
#   kestrine                tool          the tool, its man page, its bash
#                                         completion and its manual
#
# With any other prefix it makes one relocatable archive of everything
# instead: the tool finds the library through $ORIGIN wherever it is
# unpacked.
set(CPACK_PACKAGE_NAME kestrine)
set(CPACK_PACKAGE_VENDOR "Kestrine")
set(CPACK_PACKAGE_CONTACT "Kestrine developers <kestrine@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
if(CMAKE_BUILD_TYPE MATCHES "^(Release|MinSizeRel|RelWithDebInfo)$")
  set(CPACK_STRIP_FILES ON)
endif()

get_target_property(KESTRINE_SOVERSION kestrine SOVERSION)
set(KESTRINE_LIBRARY_PACKAGE libkestrine${KESTRINE_SOVERSION})
set(CPACK_COMPONENTS_ALL library development tool)
if(NOT TARGET kestrine_tool)
  list(REMOVE_ITEM CPACK_COMPONENTS_ALL tool)
endif()

# Each package carries the licence as /usr/share/doc/<package>/copyright, in
# Debian's machine-readable form.
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE KESTRINE_LICENSE_LINES)
set(KESTRINE_COPYRIGHT_HOLDERS "")
set(KESTRINE_LICENSE_TEXT "")
set(KESTRINE_LICENSE_BODY OFF)
foreach(line IN LISTS KESTRINE_LICENSE_LINES)
  if(line MATCHES "^Copyright \\(c\\) (.*)$")
    set(KESTRINE_COPYRIGHT_HOLDERS "${CMAKE_MATCH_1}")
    set(KESTRINE_LICENSE_BODY ON)
  elseif(KESTRINE_LICENSE_BODY AND line STREQUAL "")
    string(APPEND KESTRINE_LICENSE_TEXT "\n .")
  elseif(KESTRINE_LICENSE_BODY)
    string(APPEND KESTRINE_LICENSE_TEXT "\n ${line}")
  endif()
endforeach()
string(REGEX REPLACE "^\n \\." "" KESTRINE_LICENSE_TEXT "${KESTRINE_LICENSE_TEXT}")
file(WRITE ${PROJECT_BINARY_DIR}/copyright
  "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
  "Upstream-Name: Kestrine\n"
  "\n"
  "Files: *\n"
  "Copyright: ${KESTRINE_COPYRIGHT_HOLDERS}\n"
  "License: Expat${KESTRINE_LICENSE_TEXT}\n")
set(KESTRINE_PACKAGE_OF_library ${KESTRINE_LIBRARY_PACKAGE})
set(KESTRINE_PACKAGE_OF_development libkestrine-dev)
set(KESTRINE_PACKAGE_OF_tool kestrine)
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
  install(FILES ${PROJECT_BINARY_DIR}/copyright
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${KESTRINE_PACKAGE_OF_${component}}
    COMPONENT ${component})
endforeach()

# Debian. dpkg-shlibdeps works out the dependencies on the C and C++
# runtimes; GENERATE_SHLIBS gives the library's package a shlibs file and
# runs ldconfig when it is installed and removed. The tool's dependency on
# the library, which no installed package provides yet, is stated here.
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/src)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME ${KESTRINE_LIBRARY_PACKAGE})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
# The linker cache is updated through dpkg's trigger, as Debian asks.
file(WRITE ${PROJECT_BINARY_DIR}/debian-library/triggers "activate-noawait ldconfig\n")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian-library/triggers)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_LIBRARY_DESCRIPTION
  "web services list of a script - shared library
Kestrine keeps the list of web services that one script uses, in the file
WSDL/web_services.ini below the script's folder: each service with its WSDL
location, endpoint, UDDI data, credentials, proxy, JMS queues and dates.
.
This package holds the shared library.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libkestrine-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "${KESTRINE_LIBRARY_PACKAGE} (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
  "web services list of a script - development files
Kestrine keeps the list of web services that one script uses, in the file
WSDL/web_services.ini below the script's folder.
.
This package holds the C++17 headers, the CMake package (find_package
Kestrine) and the pkg-config module (kestrine).")

set(CPACK_DEBIAN_TOOL_PACKAGE_NAME kestrine)
set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS "${KESTRINE_LIBRARY_PACKAGE} (>= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_TOOL_DESCRIPTION
  "web services list of a script - command-line tool
Kestrine keeps the list of web services that one script uses, in the file
WSDL/web_services.ini below the script's folder.
.
The kestrine command lists, shows, finds, adds, removes and checks them.")

# Only a tree configured for /usr becomes Debian packages: GNUInstallDirs
# chose the multiarch library folder, and the tool has no run path.
if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(CPACK_GENERATOR DEB)
else()
  set(CPACK_GENERATOR TGZ)
endif()
set(CPACK_PACKAGE_FILE_NAME
  "${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackPerGenerator.cmake)
file(CONFIGURE OUTPUT ${CPACK_PROJECT_CONFIG_FILE} @ONLY CONTENT [=[
if(CPACK_GENERATOR STREQUAL "DEB")
  if(NOT "@CMAKE_INSTALL_PREFIX@" STREQUAL "/usr")
    message(FATAL_ERROR "Debian packages come from a build configured for the prefix /usr: "
      "cmake --workflow --preset package")
  endif()
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  # Each package's description has a summary line of its own.
  unset(CPACK_PACKAGE_DESCRIPTION_SUMMARY)
else()
  set(CPACK_PACKAGING_INSTALL_PREFIX /)
endif()
]=])

set(CPACK_VERBATIM_VARIABLES YES)
set(CPACK_SOURCE_IGNORE_FILES "/\\.git/" "/build/" "/\\.cache/")
include(CPack)
