#pragma once

#include <cstddef>
#include <cwchar>
#include <iterator>
#include <map>
#include <string>
#include <tuple>

#include "platform/last_error.h"
#include "platform/profile.h"

namespace fakes {

// Private-profile files held in memory: exact names, no integer subtleties beyond a decimal or
// negative number. Writes can be made to fail with a chosen system error code.
class MemoryProfile : public platform::Profile {
public:
    using Key = std::tuple<std::wstring, std::wstring, std::wstring>;  // file, section, key

    std::wstring GetString(const std::wstring& section, const std::wstring& key,
                           const std::wstring& defaultValue, std::size_t bufferChars,
                           const std::wstring& file) override
    {
        const auto entry = entries.find(Key(file, section, key));
        std::wstring value = entry != entries.end() ? entry->second : defaultValue;
        if (bufferChars > 0 && value.size() > bufferChars - 1) {
            value.resize(bufferChars - 1);
        }
        return value;
    }

    unsigned int GetInt(const std::wstring& section, const std::wstring& key, int defaultValue,
                        const std::wstring& file) override
    {
        const auto entry = entries.find(Key(file, section, key));
        if (entry == entries.end()) {
            return static_cast<unsigned int>(defaultValue);
        }
        // A value without a leading number reads as 0, as for the system's function.
        return static_cast<unsigned int>(std::wcstol(entry->second.c_str(), nullptr, 10));
    }

    bool WriteString(const std::wstring& section, const std::wstring& key,
                     const std::wstring& value, const std::wstring& file) override
    {
        ++writes;
        if (failWrites) {
            platform::SetLastErrorCode(failureCode);
            return false;
        }
        entries[Key(file, section, key)] = value;
        return true;
    }

    // One write however many entries; the section's earlier keys go.
    bool WriteSection(const std::wstring& section, const Entries& lines,
                      const std::wstring& file) override
    {
        ++writes;
        if (failWrites) {
            platform::SetLastErrorCode(failureCode);
            return false;
        }
        for (auto entry = entries.begin(); entry != entries.end();) {
            const bool inSection =
                std::get<0>(entry->first) == file && std::get<1>(entry->first) == section;
            entry = inSection ? entries.erase(entry) : std::next(entry);
        }
        for (const auto& line : lines) {
            entries[Key(file, section, line.first)] = line.second;
        }
        return true;
    }

    // All writes or none take effect, and nothing is written when nothing changes. A write that
    // takes place counts as one whole write and as many writes as it holds.
    bool WriteWhole(const Writes& whole, const std::wstring& file) override
    {
        if (failWrites) {
            platform::SetLastErrorCode(failureCode);
            return false;
        }
        const std::map<Key, std::wstring> before = entries;
        const std::size_t writesBefore = writes;
        for (const Write& write : whole) {
            if (write.key.empty()) {
                WriteSection(write.section, write.entries, file);
            } else {
                WriteString(write.section, write.key, write.value, file);
            }
        }
        if (entries == before) {
            writes = writesBefore;
        } else {
            ++wholeWrites;
        }
        return true;
    }

    const std::wstring* Find(const std::wstring& file, const std::wstring& section,
                             const std::wstring& key) const
    {
        const auto entry = entries.find(Key(file, section, key));
        return entry != entries.end() ? &entry->second : nullptr;
    }

    std::map<Key, std::wstring> entries;
    std::size_t writes = 0;
    std::size_t wholeWrites = 0;
    bool failWrites = false;
    unsigned long failureCode = platform::kErrorPathNotFound;
};

}  // namespace fakes
