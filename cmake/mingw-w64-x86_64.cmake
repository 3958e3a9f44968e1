# The x64 Windows build (preset mingw).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VEXA_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
