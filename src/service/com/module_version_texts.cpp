#include "service/com/module_version_texts.h"

#include <windows.h>

#include <vector>

namespace {

std::optional<std::wstring> QueryText(std::vector<unsigned char>& p_Resource,
                                      const wchar_t* p_szName)
{
    void* l_pValue = nullptr;
    UINT l_nChars = 0;
    if (!VerQueryValueW(p_Resource.data(), p_szName, &l_pValue, &l_nChars) || l_pValue == nullptr) {
        return std::nullopt;
    }
    // The length counts the terminator when there is one; the text ends at the first zero.
    const wchar_t* l_szText = static_cast<const wchar_t*>(l_pValue);
    std::wstring l_strText(l_szText, l_nChars);
    l_strText.resize(wcsnlen(l_strText.c_str(), l_strText.size()));
    return l_strText;
}

}  // namespace

std::optional<ModuleVersionTexts> ReadModuleVersionTexts(const std::wstring& p_strModulePath)
{
    DWORD l_dwHandle = 0;
    const DWORD l_dwSize = GetFileVersionInfoSizeW(p_strModulePath.c_str(), &l_dwHandle);
    if (l_dwSize == 0) {
        return std::nullopt;
    }
    std::vector<unsigned char> l_Resource(l_dwSize);
    if (!GetFileVersionInfoW(p_strModulePath.c_str(), 0, l_dwSize, l_Resource.data())) {
        return std::nullopt;
    }
    ModuleVersionTexts l_Texts;
    l_Texts.m_strDescription =
        QueryText(l_Resource, L"\\StringFileInfo\\000004b0\\FileDescription").value_or(L"TestDLL");
    l_Texts.m_strVersion =
        QueryText(l_Resource, L"\\StringFileInfo\\000004b0\\FileVersion").value_or(L"?????");
    return l_Texts;
}
