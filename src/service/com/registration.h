#pragma once

#include <windows.h>

#include <string>

// Writes the class's entries under the classes root and registers the embedded type library: the
// class in the registry view of the DLL's bitness, the library for its system (win32 or win64),
// so that the x86 and the x64 DLL stand side by side. Neither this nor unregistering changes the
// HMI runtime's entries of its own interfaces.
HRESULT RegisterZorbel(const std::wstring& p_strModulePath);

// Removes the class's entries of this view and the type library's registration for this system;
// the ProgIDs only when the other build has no class registered. HKCR\CLSID itself stays.
HRESULT UnregisterZorbel(const std::wstring& p_strModulePath);
