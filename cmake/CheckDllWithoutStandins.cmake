# Checks the GNU linker's map of VW_Vexa.dll: no object built from a file of src/standins/ (the
# stand-ins of Windows functions that vexa-host and the tests use) may be linked into the DLL.
# Run with cmake -DMAP=<map file> -DSTANDINS_DIR=<src/standins> -P CheckDllWithoutStandins.cmake.
if(NOT EXISTS "${MAP}")
  message(FATAL_ERROR "No linker map at ${MAP}")
endif()
file(READ "${MAP}" map)

# The map names every archive member it linked as "lib<name>.a(<source>.obj)"; without a member of
# the platform library the map is not what this check expects to read.
if(NOT map MATCHES "libvexa_platform\\.a\\([a-z0-9_]+\\.cpp\\.obj\\)")
  message(FATAL_ERROR "${MAP} lists no member of libvexa_platform.a: not a map of the DLL's link")
endif()

set(found)
if(map MATCHES "libvexa_standins\\.a")
  list(APPEND found "libvexa_standins.a")
endif()
file(GLOB_RECURSE sources RELATIVE "${STANDINS_DIR}" "${STANDINS_DIR}/*.cpp")
foreach(source IN LISTS sources)
  get_filename_component(name "${source}" NAME)
  string(REPLACE "." "\\." pattern "(${name}.obj)")
  if(map MATCHES "${pattern}")
    list(APPEND found "${name}")
  endif()
endforeach()
if(found)
  message(FATAL_ERROR "VW_Vexa.dll links stand-ins: ${found}")
endif()
list(LENGTH sources count)
message(STATUS "VW_Vexa.dll links none of the ${count} stand-in sources")
