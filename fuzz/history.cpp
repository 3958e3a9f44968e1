// The probe reader: the history file's bytes in, the readings of its last line out. Also holds
// the number readers of a line's fields against the C library's.
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <string>

#include "acquisition/last_line.h"
#include "acquisition/leading_number.h"
#include "acquisition/mb_probe.h"
#include "fakes/memory_profile.h"
#include "fuzz_support.h"
#include "platform/seam.h"
#include "platform/shared_file.h"
#include "settings/settings.h"

namespace {

constexpr wchar_t kHistoryPath[] = L"c:\\probe\\history.txt";

// The history file, held in memory.
class MemoryFiles final : public platform::SharedFile {
public:
    std::string m_strBytes;

    std::unique_ptr<platform::ReadableFile> OpenForReading(const std::wstring&) override
    {
        return std::make_unique<File>(m_strBytes);
    }

private:
    class File final : public platform::ReadableFile {
    public:
        explicit File(const std::string& bytes) : m_strBytes(bytes) {}
        std::uint64_t Size() override { return m_strBytes.size(); }
        std::size_t ReadAt(std::uint64_t offset, void* buffer, std::size_t size) override
        {
            if (offset >= m_strBytes.size()) {
                return 0;
            }
            const std::size_t count = std::min<std::size_t>(size, m_strBytes.size() - offset);
            std::memcpy(buffer, m_strBytes.data() + offset, count);
            return count;
        }

    private:
        const std::string& m_strBytes;
    };
};

// The last usable line by the plain rule, on the whole file at once.
std::string ExpectedLastLine(std::string text)
{
    bool terminated = false;
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
        terminated = true;
    }
    for (;;) {
        const std::size_t lineBreak = text.rfind('\n');
        std::string line = lineBreak == std::string::npos ? text : text.substr(lineBreak + 1);
        if (terminated && !line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.size() <= MBDataAquisition::kMaxLineChars) {
            return line.substr(0, line.find('\0'));
        }
        if (lineBreak == std::string::npos) {
            return std::string();
        }
        text.resize(lineBreak);
        terminated = true;
    }
}

// atoi as it should be: strtol's number, saturated to 32 bits.
std::int32_t ReferenceInteger(const std::string& text)
{
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

void CheckNumbers(const std::string& text)
{
    const std::string upToNul = text.substr(0, text.find('\0'));
    fuzz::Check(
        MBDataAquisition::LeadingInteger(std::string_view(upToNul)) == ReferenceInteger(upToNul),
        "LeadingInteger reads as atoi, saturated");
    const std::wstring wide(upToNul.begin(), upToNul.end());
    fuzz::Check(MBDataAquisition::LeadingInteger(std::wstring_view(wide)) ==
                    MBDataAquisition::LeadingInteger(std::string_view(upToNul)),
                "LeadingInteger reads wide text as 8-bit text");

    const double decimal = MBDataAquisition::LeadingDecimal(upToNul);
    // The reader takes decimal numbers only: no hexadecimal, infinity or NaN spellings.
    if (upToNul.find_first_of("xXiInN") == std::string::npos) {
        const double expected = std::strtod(upToNul.c_str(), nullptr);
        const bool tiny = std::fabs(expected) < DBL_MIN;
        fuzz::Check(tiny ? std::fabs(decimal) < DBL_MIN : decimal == expected,
                    "LeadingDecimal reads as atof");
    }
    MBDataAquisition::TruncateToInt32(decimal * 100);
    MBDataAquisition::TruncateToInt64(decimal * 100);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static fakes::MemoryProfile s_profile;
    static MemoryFiles s_files;
    static const platform::Substitute<platform::Profile> s_useProfile(s_profile);
    static const platform::Substitute<platform::SharedFile> s_useFiles(s_files);
    static MBDataAquisition::MBProbe s_probe;
    static const bool s_configured = [] {
        const std::wstring ini = s_probe.m_strIniFile;
        s_profile.entries[{ini, s_probe.m_strSection, L"HistoryFile"}] = kHistoryPath;
        s_profile.entries[{ini, s_probe.m_strSection, L"Fan1_CondVar"}] = L"Temp1";
        s_profile.entries[{ini, s_probe.m_strSection, L"Fan1_CondVal"}] = L"45";
        return true;
    }();
    (void)s_configured;

    s_files.m_strBytes.assign(reinterpret_cast<const char*>(data), size);
    const std::string line = MBDataAquisition::ReadLastLine(kHistoryPath);
    fuzz::Check(line == ExpectedLastLine(s_files.m_strBytes), "the last usable line is found");

    s_probe.Update();
    for (const auto& readings : {s_probe.m_mapFan, s_probe.m_mapTemp}) {
        for (const auto& [name, value] : readings) {
            fuzz::Check((value & 1u) != 0, "every reading is odd");
        }
    }
    for (const auto& readings : {s_probe.m_mapVoltage, s_probe.m_mapBattery}) {
        for (const auto& [name, value] : readings) {
            fuzz::Check((value & 1) != 0, "every reading is odd");
        }
    }
    fuzz::Check(s_probe.m_mapFan.size() == 3 && s_probe.m_mapTemp.size() == 4 &&
                    s_probe.m_mapVoltage.size() == 8 && s_probe.m_mapBattery.size() == 1,
                "every sensor has a reading");

    CheckNumbers(line);
    CheckNumbers(s_files.m_strBytes);
    return 0;
}
