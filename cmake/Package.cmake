# The Windows package of both builds: after the x64 build (preset mingw), `cmake --build --preset
# mingw32 --target package` writes VW_Vexa-<version>-windows.zip, and beside it the Windows
# Installer packages VW_Vexa-<version>-x64.msi and -x86.msi (cmake/MsiPackage.cmake). An
# in-process server loads only into a process of its own bitness, so the add-on and its tools
# come twice: for 64-bit HMI
# runtimes in x64/ (from the x64 build VEXA_X64_BUILD_DIR) and for 32-bit ones in x86/ (from this
# build). The example settings file, the alerting rules and the documentation lie once at the top,
# all below one folder of the package's name. Every Windows build installs its files (component
# binaries) and the common ones (component common); only the x86 build makes the package.

# The DLL without its import library: a COM server is loaded by its class, never linked against.
install(TARGETS VW_Vexa vexa-host vexa-scramble vexa-sensor-memory
  RUNTIME DESTINATION . COMPONENT binaries
  ARCHIVE DESTINATION lib COMPONENT development EXCLUDE_FROM_ALL)

# Notepad of older Windows versions shows a file without carriage returns as one line.
configure_file(${PROJECT_SOURCE_DIR}/deploy/VW_Vexa.example.ini
  ${CMAKE_CURRENT_BINARY_DIR}/package/VW_Vexa.example.ini @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/package/VW_Vexa.example.ini DESTINATION .
  COMPONENT common)
install(FILES ${PROJECT_SOURCE_DIR}/deploy/prometheus/vexa-alerts.yml DESTINATION prometheus
  COMPONENT common)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/configuration.md
  DESTINATION docs COMPONENT common)

if(NOT CMAKE_SIZEOF_VOID_P EQUAL 4)
  return()
endif()
# Each entry: build tree, project, component, folder in the package.
set(CPACK_INSTALL_CMAKE_PROJECTS
  "${VEXA_X64_BUILD_DIR};${PROJECT_NAME};binaries;/x64"
  "${CMAKE_BINARY_DIR};${PROJECT_NAME};binaries;/x86"
  "${CMAKE_BINARY_DIR};${PROJECT_NAME};common;/")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME VW_Vexa)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_SYSTEM_NAME windows)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Hardware-health add-on of the HMI runtime")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR ZIP)
# The Windows Installer packages of both builds, made from the zip's files beside it.
include(${CMAKE_CURRENT_LIST_DIR}/MsiPackage.cmake)
set(CPACK_VEXA_WIXL ${VEXA_WIXL})
set(CPACK_VEXA_WXS_DIR ${vexa_wxs_dir})
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/MakeMsiPackages.cmake)
include(CPack)
