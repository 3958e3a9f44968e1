# Third-party dependencies: Debian's packages natively; for the MinGW cross build, Boost headers
# through an include root holding only a `boost` link, TinyXML compiled from Debian's source
# package unpacked by scripts/setup, and GoogleTest from /usr/src/googletest.

if(CMAKE_CROSSCOMPILING AND WIN32)
  set(VEXA_BOOST_ROOT "${CMAKE_BINARY_DIR}/boost-include")
  if(NOT EXISTS "${VEXA_BOOST_ROOT}/boost")
    file(MAKE_DIRECTORY "${VEXA_BOOST_ROOT}")
    file(CREATE_LINK /usr/include/boost "${VEXA_BOOST_ROOT}/boost" SYMBOLIC)
  endif()
  add_library(Boost::date_time INTERFACE IMPORTED)
  target_include_directories(Boost::date_time SYSTEM INTERFACE "${VEXA_BOOST_ROOT}")
  target_compile_definitions(Boost::date_time INTERFACE BOOST_DATE_TIME_NO_LIB BOOST_ALL_NO_LIB)

  set(VEXA_TINYXML_SOURCE "${PROJECT_SOURCE_DIR}/.deps/tinyxml" CACHE PATH
      "Debian's TinyXML source, unpacked by scripts/setup")
  if(NOT EXISTS "${VEXA_TINYXML_SOURCE}/tinyxml.cpp")
    message(FATAL_ERROR "TinyXML source not found in ${VEXA_TINYXML_SOURCE}: run scripts/setup")
  endif()
  add_library(vexa_tinyxml STATIC
    ${VEXA_TINYXML_SOURCE}/tinyxml.cpp ${VEXA_TINYXML_SOURCE}/tinyxmlparser.cpp
    ${VEXA_TINYXML_SOURCE}/tinyxmlerror.cpp ${VEXA_TINYXML_SOURCE}/tinystr.cpp)
  target_include_directories(vexa_tinyxml SYSTEM PUBLIC ${VEXA_TINYXML_SOURCE})
  # Debian builds its libtinyxml with STL strings; the cross build must match.
  target_compile_definitions(vexa_tinyxml PUBLIC TIXML_USE_STL)
  target_compile_options(vexa_tinyxml PRIVATE -w)

  add_library(vexa_platform_deps INTERFACE)
  target_link_libraries(vexa_platform_deps INTERFACE ole32 oleaut32 uuid advapi32 user32)
elseif(WIN32)
  # Native Windows: MSVC with the vcpkg manifest (vcpkg.json) and a static triplet such as
  # x64-windows-static, so the DLL needs no runtime DLLs beside it. vcpkg's tinyxml port
  # installs the CMake package "tinyxml" with the target unofficial-tinyxml::unofficial-tinyxml;
  # a plain installation (header and library) is found as well.
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
  if(MSVC)
    add_compile_options(/utf-8 /EHsc)
  endif()
  find_package(Boost REQUIRED COMPONENTS date_time)
  find_package(tinyxml CONFIG QUIET)
  add_library(vexa_tinyxml INTERFACE)
  if(TARGET unofficial-tinyxml::unofficial-tinyxml)
    target_link_libraries(vexa_tinyxml INTERFACE unofficial-tinyxml::unofficial-tinyxml)
  else()
    find_path(TINYXML_INCLUDE_DIR tinyxml.h REQUIRED)
    find_library(TINYXML_LIBRARY tinyxml REQUIRED)
    target_include_directories(vexa_tinyxml INTERFACE ${TINYXML_INCLUDE_DIR})
    target_link_libraries(vexa_tinyxml INTERFACE ${TINYXML_LIBRARY})
  endif()
  # The port compiles TinyXML with STL strings; every user of its header must agree.
  target_compile_definitions(vexa_tinyxml INTERFACE TIXML_USE_STL)
  add_library(vexa_platform_deps INTERFACE)
  target_link_libraries(vexa_platform_deps INTERFACE ole32 oleaut32 uuid advapi32 user32)
else()
  find_package(Boost 1.74 REQUIRED COMPONENTS date_time)
  find_path(TINYXML_INCLUDE_DIR tinyxml.h REQUIRED)
  find_library(TINYXML_LIBRARY tinyxml REQUIRED)
  add_library(vexa_tinyxml INTERFACE)
  target_include_directories(vexa_tinyxml INTERFACE ${TINYXML_INCLUDE_DIR})
  target_link_libraries(vexa_tinyxml INTERFACE ${TINYXML_LIBRARY})
  target_compile_definitions(vexa_tinyxml INTERFACE TIXML_USE_STL)
  find_package(Threads REQUIRED)
  add_library(vexa_platform_deps INTERFACE)
  target_link_libraries(vexa_platform_deps INTERFACE Threads::Threads)
endif()
