# The x86 Windows build (preset mingw32): the add-on for 32-bit HMI runtimes. Its tests run under
# Wine's 32-bit support (Debian's wine32) in a WoW64 prefix.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(VEXA_MINGW_TRIPLET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
