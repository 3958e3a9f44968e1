# The Windows package: `cmake --build --preset mingw --target package` writes
# VW_Vexa-<version>-win64.zip with the add-on, its tools, an example settings file, the alerting
# rules and the documentation, all below one folder of the package's name.

# The package carries the version of the DLL's version resource: both must name one version.
file(STRINGS ${PROJECT_SOURCE_DIR}/src/service/com/VW_Vexa.rc vexa_rc_version
  REGEX "^[ \t]*FILEVERSION[ \t]")
string(REGEX REPLACE "^[ \t]*FILEVERSION[ \t]+" "" vexa_rc_version "${vexa_rc_version}")
string(REPLACE "," "." vexa_rc_version "${vexa_rc_version}")
if(NOT vexa_rc_version STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "The version resource names ${vexa_rc_version}, the project ${PROJECT_VERSION}")
endif()

# The DLL without its import library: a COM server is loaded by its class, never linked against.
install(TARGETS VW_Vexa vexa-host vexa-scramble vexa-sensor-memory RUNTIME DESTINATION .
  ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)

# Notepad of older Windows versions shows a file without carriage returns as one line.
configure_file(${PROJECT_SOURCE_DIR}/deploy/VW_Vexa.example.ini
  ${CMAKE_CURRENT_BINARY_DIR}/package/VW_Vexa.example.ini @ONLY NEWLINE_STYLE CRLF)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/package/VW_Vexa.example.ini DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/deploy/prometheus/vexa-alerts.yml DESTINATION prometheus)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/docs/configuration.md
  DESTINATION docs)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME VW_Vexa)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(CPACK_SYSTEM_NAME win32)
else()
  set(CPACK_SYSTEM_NAME win64)
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Hardware-health add-on of the HMI runtime")
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR ZIP)
include(CPack)
