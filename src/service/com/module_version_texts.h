#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The texts of a module's version resource, from the language-neutral Unicode string block.
struct ModuleVersionTexts {
    std::wstring m_strDescription;  // "TestDLL" when the resource has no file description
    std::wstring m_strVersion;      // "?????" when it has no file version
};

// Read from the loaded module's own resource (FindResourceW, LoadResource, LockResource), so the
// module needs no VERSION.dll: a DLL's imports are searched in its own folder first, where
// another user might have put one. Nothing when the module has no version resource.
std::optional<ModuleVersionTexts> ReadModuleVersionTexts(HMODULE p_hModule);
