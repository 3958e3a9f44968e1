#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "common/temp_folder.h"

namespace dbg {
class LoggerStream;
}

namespace fakes {

// Opens a log stream "<file name>" with TEMP set to a fresh directory and installs it with the
// given level; restores an empty log (no stream, level 0) when it goes. Entries are flushed as
// they are written, so the file can be read at any time.
class LogCapture {
public:
    explicit LogCapture(std::uint32_t level, const std::wstring& fileName = L"Vexa.log");
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Opens another stream on the same file, the way the worker does at a new start.
    std::shared_ptr<dbg::LoggerStream> OpenStream() const;

    // The file's bytes.
    std::string Contents() const;
    // The file's bytes with every time stamp replaced by "T" (and, if asked, every source line
    // number after "line: " by "N").
    std::string Normalized(bool maskLineNumbers = false) const;

    const testing_support::TempFolder& Directory() const { return m_Directory; }
    std::filesystem::path FilePath() const;

private:
    testing_support::TempFolder m_Directory;
    std::wstring m_strFileName;
};

// Replaces every log time stamp ("2026-Dec-07 04:06:33") by "T".
std::string MaskTimeStamps(const std::string& text);

}  // namespace fakes
