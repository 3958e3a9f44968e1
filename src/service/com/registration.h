#pragma once

#include <windows.h>

#include <string>

// Writes the add-on's registry entries (service/com/registry_entries.h): the class in the
// registry view of the DLL's bitness, the type library's path for its system (win32 or win64),
// so that the x86 and the x64 DLL stand side by side. The class's key is written anew. The type
// library is loaded, to make sure the module carries one, but not registered: no entry of an
// interface is written, so the HMI runtime's entries of its own interfaces stay untouched.
HRESULT RegisterZorbel(const std::wstring& p_strModulePath);

// Removes the add-on's registry entries of this build: the class's key whole, the other entries'
// values, and each of their keys that is left empty, up to the key the add-on owns whole. The
// entries both views share (the ProgIDs, the type library's key) go only when the other build
// has no class registered. HKCR\CLSID and HKCR\TypeLib themselves stay.
HRESULT UnregisterZorbel(const std::wstring& p_strModulePath);
