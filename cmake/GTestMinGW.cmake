# GoogleTest and GoogleMock for the MinGW cross build, compiled from Debian's sources in
# /usr/src/googletest (package googletest): Debian ships no Windows binaries of them.

set(VEXA_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian package googletest)")
if(NOT EXISTS "${VEXA_GTEST_SOURCE}/googletest/src/gtest-all.cc")
  message(FATAL_ERROR "GoogleTest sources not found in ${VEXA_GTEST_SOURCE}: run scripts/setup --mingw")
endif()

set(gtest_dir "${VEXA_GTEST_SOURCE}/googletest")
set(gmock_dir "${VEXA_GTEST_SOURCE}/googlemock")

# The *-all.cc files include every other source file of the library: one translation unit each.
# -O1: optimising the test framework further only lengthens the build.
add_library(vexa_gtest STATIC "${gtest_dir}/src/gtest-all.cc")
target_include_directories(vexa_gtest PRIVATE "${gtest_dir}")
target_include_directories(vexa_gtest SYSTEM PUBLIC "${gtest_dir}/include")
target_compile_options(vexa_gtest PRIVATE -w -O1)

add_library(vexa_gmock STATIC "${gmock_dir}/src/gmock-all.cc")
target_include_directories(vexa_gmock PRIVATE "${gmock_dir}")
target_include_directories(vexa_gmock SYSTEM PUBLIC "${gmock_dir}/include")
target_link_libraries(vexa_gmock PUBLIC vexa_gtest)
target_compile_options(vexa_gmock PRIVATE -w -O1)

add_library(GTest::gtest ALIAS vexa_gtest)
add_library(GTest::gmock ALIAS vexa_gmock)
