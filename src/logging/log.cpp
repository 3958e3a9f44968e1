#include "logging/log.h"

#include "logging/log_stream_access.h"
#include "support/local_time.h"

namespace dbg {

namespace {

bool LevelEnabled(std::uint32_t level)
{
    return level <= LogStreamAccess::Instance().GetLevel();
}

// Builds the whole entry in memory and hands it over in one piece. Logging never throws into
// its caller: it runs inside error handlers and exception constructors.
void WriteEntry(const wchar_t* separator, const std::wstring& location, const std::wstring& text)
{
    try {
        std::wstring entry = utils::CurrentTimeStamp();
        entry.reserve(entry.size() + location.size() + text.size() + 8);
        entry += separator;
        entry += location;
        entry += L"\t\t";
        entry += text;
        entry += L"\r\n";
        LogStreamAccess::Instance().Write(entry);
    } catch (...) {
    }
}

// The value is formatted only after the level test passed.
template <class FormatValue>
void WriteValueEntry(const std::wstring& location, std::uint32_t level, const std::wstring& label,
                     FormatValue formatValue)
{
    if (!LevelEnabled(level)) {
        return;
    }
    try {
        WriteEntry(L"\t", location, label + L"\t" + formatValue());
    } catch (...) {
    }
}

template <class Number>
void WriteNumberEntry(const std::wstring& location, std::uint32_t level, const std::wstring& label,
                      Number value)
{
    WriteValueEntry(location, level, label, [value] { return std::to_wstring(value); });
}

}  // namespace

std::wstring MakeLocation(const std::wstring& name, int line)
{
    try {
        return name + L"  line: " + std::to_wstring(line);
    } catch (...) {
        return std::wstring();
    }
}

void LogLine(const std::wstring& location, std::uint32_t level, const std::wstring& message)
{
    if (LevelEnabled(level)) {
        WriteEntry(L"\t", location, message);
    }
}

void LogErrorLine(const std::wstring& location, const std::wstring& message)
{
    WriteEntry(L" ** ", location, message);
}

void LogValueLine(const std::wstring& location, std::uint32_t level, const std::wstring& label,
                  std::int32_t value)
{
    WriteNumberEntry(location, level, label, value);
}

void LogValueLine(const std::wstring& location, std::uint32_t level, const std::wstring& label,
                  std::uint32_t value)
{
    WriteNumberEntry(location, level, label, value);
}

void LogValueLine(const std::wstring& location, std::uint32_t level, const std::wstring& label,
                  std::uint16_t value)
{
    WriteNumberEntry(location, level, label, static_cast<unsigned int>(value));
}

void LogValueLine(const std::wstring& location, std::uint32_t level, const std::wstring& label,
                  std::uint8_t value)
{
    // A number, not a character.
    WriteNumberEntry(location, level, label, static_cast<unsigned int>(value));
}

void LogValueLine(const std::wstring& location, std::uint32_t level, const std::wstring& label,
                  unsigned long value)
{
    WriteNumberEntry(location, level, label, value);
}

void LogValueLine(const std::wstring& location, std::uint32_t level, const std::wstring& label,
                  const wchar_t* value)
{
    WriteValueEntry(location, level, label,
                    [value] { return std::wstring(value != nullptr ? value : L""); });
}

void LogValueLine(const std::wstring& location, std::uint32_t level, const std::wstring& label,
                  const std::wstring& value)
{
    WriteValueEntry(location, level, label, [&value] { return value; });
}

}  // namespace dbg
