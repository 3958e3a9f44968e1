# Checks the import table of VW_Vexa.dll: every DLL it names must be one that Windows loads only
# from the system folder (a Known DLL, or ntdll, or an API set), never one searched for in the
# DLL's own folder first, where another user could put a file of that name.
# Run with cmake -DDLL=<VW_Vexa.dll> -DOBJDUMP=<objdump of the target> -P CheckDllImports.cmake.
if(NOT EXISTS "${DLL}")
  message(FATAL_ERROR "No DLL at ${DLL}")
endif()
execute_process(COMMAND "${OBJDUMP}" -p "${DLL}" OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed: ${status}")
endif()
string(REGEX MATCHALL "DLL Name: [^\r\n]+" names "${dump}")
if(NOT names)
  message(FATAL_ERROR "${DLL} names no imported DLL: not the dump this check expects")
endif()

# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs of Windows 10 and 11, and ntdll.
set(known advapi32 clbcatq combase comdlg32 coml2 difxapi gdi32 gdiplus imagehlp imm32 kernel32
  msctf msvcrt normaliz nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi
  user32 wldap32 ws2_32 ntdll)
set(refused)
set(imported)
foreach(entry IN LISTS names)
  string(REGEX REPLACE "^DLL Name: *" "" name "${entry}")
  string(STRIP "${name}" name)
  string(TOLOWER "${name}" lower)
  list(APPEND imported "${name}")
  string(REGEX REPLACE "\\.dll$" "" base "${lower}")
  if(base MATCHES "^(api|ext)-ms-win-")
    continue()
  endif()
  list(FIND known "${base}" index)
  if(index EQUAL -1)
    list(APPEND refused "${name}")
  endif()
endforeach()
if(refused)
  message(FATAL_ERROR "VW_Vexa.dll imports DLLs that are no Known DLLs: ${refused}")
endif()
message(STATUS "VW_Vexa.dll imports only Known DLLs: ${imported}")
