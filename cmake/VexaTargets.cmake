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

# vexa_exports(<dll-target> <def> <x86-def>): the module definition that names the DLL's exports.
# x86 symbols of stdcall functions carry their argument bytes (DllGetClassObject@12): the x86
# file names them so, and --kill-at exports the plain names that Windows' loader looks up. A
# linker warning (an export resolved only by a stdcall fix-up, for one) fails the MinGW build.
function(vexa_exports target def x86_def)
  if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4 AND NOT MSVC)
    target_sources(${target} PRIVATE ${x86_def})
    target_link_options(${target} PRIVATE "LINKER:--kill-at")
  else()
    target_sources(${target} PRIVATE ${def})
  endif()
  if(MINGW AND VEXA_WERROR)
    target_link_options(${target} PRIVATE "LINKER:--fatal-warnings")
  endif()
endfunction()
