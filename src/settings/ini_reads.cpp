#include "platform/profile.h"
#include "platform/seam.h"
#include "settings/settings.h"

namespace {
// A buffer of 260 characters: at most 259 of the value.
constexpr std::size_t kTextBufferChars = 260;
}  // namespace

std::wstring ReadIniString(const std::wstring& section, const std::wstring& key,
                           const std::wstring& file)
{
    return platform::Use<platform::Profile>().GetString(section, key, L"", kTextBufferChars, file);
}

unsigned int ReadIniInt(const std::wstring& section, const std::wstring& key, int defaultValue,
                        const std::wstring& file)
{
    return platform::Use<platform::Profile>().GetInt(section, key, defaultValue, file);
}
