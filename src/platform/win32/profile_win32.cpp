#include "platform/profile.h"

#include <windows.h>

#include <vector>

namespace platform {
namespace {

class Win32Profile final : public Profile {
public:
    std::wstring GetString(const std::wstring& section, const std::wstring& key,
                           const std::wstring& defaultValue, std::size_t bufferChars,
                           const std::wstring& file) override
    {
        if (bufferChars == 0) {
            return {};
        }
        std::vector<wchar_t> buffer(bufferChars, L'\0');
        const DWORD length =
            GetPrivateProfileStringW(section.c_str(), key.c_str(), defaultValue.c_str(),
                                     buffer.data(), static_cast<DWORD>(bufferChars), file.c_str());
        return std::wstring(buffer.data(), length < bufferChars ? length : bufferChars - 1);
    }

    unsigned int GetInt(const std::wstring& section, const std::wstring& key, int defaultValue,
                        const std::wstring& file) override
    {
        return GetPrivateProfileIntW(section.c_str(), key.c_str(), defaultValue, file.c_str());
    }

    bool WriteString(const std::wstring& section, const std::wstring& key,
                     const std::wstring& value, const std::wstring& file) override
    {
        return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(),
                                          file.c_str()) != FALSE;
    }

    bool WriteSection(const std::wstring& section, const Entries& entries,
                      const std::wstring& file) override
    {
        // "key=value" lines, each ended by a null character, the list by one more.
        std::wstring lines;
        for (const auto& entry : entries) {
            lines += entry.first + L"=" + entry.second;
            lines += L'\0';
        }
        lines += L'\0';
        return WritePrivateProfileSectionW(section.c_str(), lines.c_str(), file.c_str()) != FALSE;
    }

    bool WriteWhole(const Writes& writes, const std::wstring& file) override
    {
        return WriteProfileWhole(writes, file);
    }
};

}  // namespace

Profile& Profile::System()
{
    static Win32Profile s_profile;
    return s_profile;
}

}  // namespace platform
