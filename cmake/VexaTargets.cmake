# Helpers that keep the per-folder CMake files short. Sources are globbed per folder so a new
# file joins its library without touching CMake; files ending in _win32 or _posix join only the
# build of that platform.

function(vexa_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${VEXA_WERROR}>:/WX>)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
      $<$<BOOL:${VEXA_WERROR}>:-Werror>)
  endif()
endfunction()

# vexa_glob(<out-var> <dir>...): the .cpp files of the folders, filtered by platform suffix.
function(vexa_glob out)
  set(files)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp)
    list(APPEND files ${found})
  endforeach()
  if(WIN32)
    list(FILTER files EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER files EXCLUDE REGEX "_win32\\.cpp$")
  endif()
  set(${out} ${files} PARENT_SCOPE)
endfunction()

# vexa_library(<name> DIRS <dir>... DEPS <target>...): a static library of the folders.
function(vexa_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS" ${ARGN})
  vexa_glob(sources ${ARG_DIRS})
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    vexa_warnings(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()
