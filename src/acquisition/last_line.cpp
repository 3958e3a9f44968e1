#include "acquisition/last_line.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "platform/seam.h"
#include "platform/shared_file.h"

namespace MBDataAquisition {

namespace {

constexpr std::size_t kFirstTailBytes = 4096;

// A C string ends at its first NUL, as the line did for the buffer it was read into.
std::string UpToNul(std::string p_strLine)
{
    const std::size_t l_nNul = p_strLine.find('\0');
    if (l_nNul != std::string::npos) {
        p_strLine.resize(l_nNul);
    }
    return p_strLine;
}

// The last usable line of `tail`, the final bytes of the file; nothing when the answer lies
// further back than `tail` reaches.
std::optional<std::string> LastUsableLine(const std::string& p_strTail, bool p_bFileStart)
{
    std::size_t l_nEnd = p_strTail.size();
    bool l_bTerminated = false;
    if (l_nEnd > 0 && p_strTail[l_nEnd - 1] == '\n') {
        // The final break closes the last line; nothing follows it.
        --l_nEnd;
        l_bTerminated = true;
    }
    for (;;) {
        const std::size_t l_nBreak =
            l_nEnd == 0 ? std::string::npos : p_strTail.rfind('\n', l_nEnd - 1);
        if (l_nBreak == std::string::npos && !p_bFileStart) {
            return std::nullopt;
        }
        const std::size_t l_nStart = l_nBreak == std::string::npos ? 0 : l_nBreak + 1;
        std::size_t l_nLength = l_nEnd - l_nStart;
        // A text-mode read on Windows turns "\r\n" into "\n"; the carriage return is no part of
        // the line.
        if (l_bTerminated && l_nLength > 0 && p_strTail[l_nEnd - 1] == '\r') {
            --l_nLength;
        }
        if (l_nLength <= kMaxLineChars) {
            return UpToNul(p_strTail.substr(l_nStart, l_nLength));
        }
        if (l_nBreak == std::string::npos) {
            return std::string();
        }
        l_nEnd = l_nBreak;
        l_bTerminated = true;
    }
}

}  // namespace

std::string ReadLastLine(const std::wstring& p_strPath)
{
    const std::unique_ptr<platform::ReadableFile> l_pFile =
        platform::Use<platform::SharedFile>().OpenForReading(p_strPath);
    if (!l_pFile) {
        return std::string();
    }
    const std::uint64_t l_nSize = l_pFile->Size();
    std::size_t l_nWanted = kFirstTailBytes;
    for (;;) {
        const std::size_t l_nTail =
            static_cast<std::size_t>(std::min<std::uint64_t>(l_nSize, l_nWanted));
        std::string l_strTail(l_nTail, '\0');
        // The writer may append meanwhile; whatever was read is the tail as it was.
        l_strTail.resize(l_pFile->ReadAt(l_nSize - l_nTail, l_strTail.data(), l_nTail));
        const bool l_bFileStart = l_nTail == l_nSize;
        if (auto l_strLine = LastUsableLine(l_strTail, l_bFileStart)) {
            return *l_strLine;
        }
        if (l_nWanted >= kMaxTailBytes) {
            return std::string();
        }
        l_nWanted *= 2;
    }
}

}  // namespace MBDataAquisition
