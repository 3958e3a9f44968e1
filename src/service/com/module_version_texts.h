#pragma once

#include <optional>
#include <string>

// The texts of a module's version resource, from the language-neutral Unicode string block.
struct ModuleVersionTexts {
    std::wstring m_strDescription;  // "TestDLL" when the resource has no file description
    std::wstring m_strVersion;      // "?????" when it has no file version
};

// Nothing when the module has no version resource or it cannot be read.
std::optional<ModuleVersionTexts> ReadModuleVersionTexts(const std::wstring& p_strModulePath);
