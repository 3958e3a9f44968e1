#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Private-profile (INI) functions with the results of GetPrivateProfileStringW,
// GetPrivateProfileIntW and WritePrivateProfileStringW.
class Profile {
public:
    virtual ~Profile() = default;

    // The value, or `defaultValue` when the file, section or key is missing, cut to
    // bufferChars - 1 characters (a buffer of bufferChars including the terminator).
    virtual std::wstring GetString(const std::wstring& section, const std::wstring& key,
                                   const std::wstring& defaultValue, std::size_t bufferChars,
                                   const std::wstring& file) = 0;

    // The value's leading number (decimal, or hexadecimal after "0x"; "-5" wraps to unsigned),
    // 0 for a value without one, `defaultValue` when the file, section or key is missing.
    virtual unsigned int GetInt(const std::wstring& section, const std::wstring& key,
                                int defaultValue, const std::wstring& file) = 0;

    // Writes key = value, keeping the rest of the file and creating a missing file or section.
    // False on failure, with the reason in GetLastErrorCode() (3 for a missing folder).
    virtual bool WriteString(const std::wstring& section, const std::wstring& key,
                             const std::wstring& value, const std::wstring& file) = 0;

    static Profile& System();
};

}  // namespace platform
