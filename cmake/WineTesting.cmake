# Runs the Windows test executables under Wine (CMAKE_CROSSCOMPILING_EMULATOR). All tests share
# one Wine prefix inside the build tree and one wineserver, started by a setup fixture and
# stopped by a cleanup fixture: without a running server each test pays about 3 s of Wine
# start-up, and a server started by a test keeps ctest's output pipe open so ctest hangs.

set(VEXA_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix")
set(VEXA_WINE_TIMEOUT 300 CACHE STRING "Timeout in seconds of each test executable under Wine")
set(vexa_wine_script "${PROJECT_SOURCE_DIR}/cmake/wine-prefix.sh")

set(vexa_wine_environment
  "WINEPREFIX=${VEXA_WINE_PREFIX}"
  "WINEDEBUG=-all"
  "WINEDLLOVERRIDES=mscoree,mshtml=")
# Tests see no display: a message box then returns at once instead of waiting for a click.
set(vexa_wine_display "DISPLAY=unset:;WAYLAND_DISPLAY=unset:")

add_test(NAME wine_start COMMAND sh "${vexa_wine_script}" start)
add_test(NAME wine_stop COMMAND sh "${vexa_wine_script}" stop)
set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine TIMEOUT 120)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine TIMEOUT 60)
set_tests_properties(wine_start wine_stop PROPERTIES
  ENVIRONMENT "${vexa_wine_environment}"
  ENVIRONMENT_MODIFICATION "${vexa_wine_display}")

# vexa_add_wine_test(<target>): the whole test executable as one ctest test under Wine.
function(vexa_add_wine_test target)
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES
    FIXTURES_REQUIRED wine
    TIMEOUT ${VEXA_WINE_TIMEOUT}
    ENVIRONMENT "${vexa_wine_environment}"
    ENVIRONMENT_MODIFICATION "${vexa_wine_display}")
endfunction()
