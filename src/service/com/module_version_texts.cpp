#include "service/com/module_version_texts.h"

#include <cstdint>
#include <vector>

#include "support/version_block.h"

std::optional<ModuleVersionTexts> ReadModuleVersionTexts(HMODULE p_hModule)
{
    const HRSRC l_hInfo = FindResourceW(p_hModule, MAKEINTRESOURCEW(VS_VERSION_INFO),
                                        MAKEINTRESOURCEW(16) /* RT_VERSION */);
    if (l_hInfo == nullptr) {
        return std::nullopt;
    }
    const DWORD l_dwSize = SizeofResource(p_hModule, l_hInfo);
    const HGLOBAL l_hResource = LoadResource(p_hModule, l_hInfo);
    const void* l_pBlock = l_hResource == nullptr ? nullptr : LockResource(l_hResource);
    if (l_pBlock == nullptr || l_dwSize == 0) {
        return std::nullopt;
    }
    // A resource's memory lives as long as the module and is not freed.
    const auto* l_pBytes = static_cast<const std::uint8_t*>(l_pBlock);
    ModuleVersionTexts l_Texts;
    l_Texts.m_strDescription =
        FindVersionText(l_pBytes, l_dwSize, {L"StringFileInfo", L"000004b0", L"FileDescription"})
            .value_or(L"TestDLL");
    l_Texts.m_strVersion =
        FindVersionText(l_pBytes, l_dwSize, {L"StringFileInfo", L"000004b0", L"FileVersion"})
            .value_or(L"?????");
    return l_Texts;
}
