#pragma once

#include <windows.h>

#include <string>

// Writes the class's entries under the classes root and registers the embedded type library.
// Neither this nor unregistering changes the HMI runtime's entries of its own interfaces.
HRESULT RegisterZorbel(const std::wstring& p_strModulePath);

// Removes the class's entries and the type library's registration; HKCR\CLSID itself stays.
HRESULT UnregisterZorbel(const std::wstring& p_strModulePath);
