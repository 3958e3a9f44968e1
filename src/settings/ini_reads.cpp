#include <cstdint>

#include "platform/profile.h"
#include "platform/profile_integer.h"
#include "platform/seam.h"
#include "settings/settings.h"

namespace {
// A buffer of 260 characters: at most 259 of the value.
constexpr std::size_t kTextBufferChars = 260;
// The system's integer read looks at the first 29 characters of a value.
constexpr std::size_t kIntegerBufferChars = 30;
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

std::int64_t ReadIniSignedInt(const std::wstring& section, const std::wstring& key,
                              std::int64_t defaultValue, const std::wstring& file)
{
    const std::wstring text =
        platform::Use<platform::Profile>().GetString(section, key, L"", kIntegerBufferChars, file);
    if (text.empty()) {
        return defaultValue;
    }
    const platform::ProfileInteger number = platform::ParseProfileInteger(text);
    const auto magnitude = static_cast<std::int64_t>(number.magnitude);
    return number.negative ? -magnitude : magnitude;
}
