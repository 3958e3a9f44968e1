# The Windows Installer packages VW_Vexa-<version>-x64.msi and -x86.msi, made with wixl beside the
# zip (cmake/MakeMsiPackages.cmake, run by CPack after the zip) from the zip's own files. Their
# descriptions are generated here, when the build is configured, from deploy/msi/VW_Vexa.wxs.in
# and the add-on's list of registry entries (src/service/com/registry_entries.h), with the class
# and library identifiers of the interface definition: the packages write the same entries as
# DllRegisterServer, through the Registry table, without running any of the add-on's code.

set(vexa_registry_list ${PROJECT_SOURCE_DIR}/src/service/com/registry_entries.h)
set(vexa_idl ${PROJECT_SOURCE_DIR}/src/service/com/VW_Zorbel.idl)
set(vexa_wxs_template ${PROJECT_SOURCE_DIR}/deploy/msi/VW_Vexa.wxs.in)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${vexa_registry_list} ${vexa_idl} ${vexa_wxs_template})

# The identifier of the interface definition's item that follows its attribute block: KIND is
# "library" or "coclass".
function(vexa_idl_uuid kind out)
  file(READ ${vexa_idl} idl)
  if(NOT idl MATCHES "uuid\\(([-0-9A-Fa-f]+)\\)[^]]*\\][ \t\r\n]*${kind}[ \t]")
    message(FATAL_ERROR "${vexa_idl} names no ${kind} identifier")
  endif()
  string(TOUPPER "{${CMAKE_MATCH_1}}" uuid)
  set(${out} ${uuid} PARENT_SCOPE)
endfunction()

function(vexa_xml_text text out)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  string(REPLACE "\"" "&quot;" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Writes the description of one build: ARCH x64 or x86.
function(vexa_generate_wxs arch out_file)
  vexa_idl_uuid(coclass clsid)
  vexa_idl_uuid(library libid)
  if(arch STREQUAL x64)
    set(BITS 64)
    set(system win64)
    set(PROGRAM_FILES ProgramFiles64Folder)
    set(WIN64 "Win64=\"yes\"")
    set(UPGRADE_CODE F74A8784-7005-4FF0-92B3-3F0383E7DCC6)
  else()
    set(BITS 32)
    set(system win32)
    set(PROGRAM_FILES ProgramFilesFolder)
    set(WIN64 "")
    set(UPGRADE_CODE 34A649D5-23E6-4453-B8B2-CF9C99D7745A)
  endif()
  # One component of both packages: its code never changes.
  set(SHARED_COMPONENT 641DC2B8-15F7-45F3-882B-995F361E9BF9)
  set(ARCH ${arch})

  file(STRINGS ${vexa_registry_list} rows
    REGEX "^[ \t]*{L\"[^\"]*\", (L\"[^\"]*\"|nullptr), (L\"[^\"]*\"|nullptr), RegistryScope::k(Own|Shared)},")
  if(NOT rows)
    message(FATAL_ERROR "${vexa_registry_list} holds no registry entry in the expected form")
  endif()
  set(OWN_REGISTRY "")
  set(SHARED_REGISTRY "")
  set(key_path " KeyPath=\"yes\"")
  foreach(row IN LISTS rows)
    string(REGEX MATCH
      "{L\"([^\"]*)\", (L\"([^\"]*)\"|nullptr), (L\"([^\"]*)\"|nullptr), RegistryScope::k(Own|Shared)}"
      row "${row}")
    set(key "${CMAKE_MATCH_1}")
    set(name_given "${CMAKE_MATCH_2}")
    set(name "${CMAKE_MATCH_3}")
    set(value "${CMAKE_MATCH_5}")
    set(scope "${CMAKE_MATCH_6}")
    set(texts)
    foreach(text key name value)
      string(REPLACE "\\\\" "\\" filled "${${text}}")
      string(REPLACE "%CLSID%" "${clsid}" filled "${filled}")
      string(REPLACE "%LIBID%" "${libid}" filled "${filled}")
      string(REPLACE "%SYSTEM%" "${system}" filled "${filled}")
      # The installed DLL's full path, in the package's formatted text.
      string(REPLACE "%MODULE%" "[#VW_Vexa.dll]" filled "${filled}")
      vexa_xml_text("${filled}" ${text})
    endforeach()
    if(name_given STREQUAL "nullptr")
      # "*": the key itself, created on install and deleted on uninstall.
      set(attributes "Name=\"*\" Value=\"\"")
    elseif(name STREQUAL "")
      set(attributes "Value=\"${value}\"")
    else()
      set(attributes "Name=\"${name}\" Value=\"${value}\"")
    endif()
    set(line "            <RegistryValue Root=\"HKCR\" Key=\"${key}\" ${attributes} Type=\"string\"")
    if(scope STREQUAL "Shared")
      string(APPEND SHARED_REGISTRY "${line}${key_path}/>\n")
      set(key_path "")
    else()
      string(APPEND OWN_REGISTRY "${line}/>\n")
    endif()
  endforeach()
  string(REGEX REPLACE "\n$" "" OWN_REGISTRY "${OWN_REGISTRY}")
  string(REGEX REPLACE "\n$" "" SHARED_REGISTRY "${SHARED_REGISTRY}")
  configure_file(${vexa_wxs_template} ${out_file} @ONLY)
endfunction()

find_program(VEXA_WIXL wixl)
if(NOT VEXA_WIXL)
  message(WARNING "wixl not found: the package target makes no MSI packages (scripts/setup --mingw32)")
endif()
set(vexa_wxs_dir ${CMAKE_BINARY_DIR}/msi)
foreach(arch x64 x86)
  vexa_generate_wxs(${arch} ${vexa_wxs_dir}/VW_Vexa-${arch}.wxs)
endforeach()
