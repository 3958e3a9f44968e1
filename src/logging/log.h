#pragma once

#include <cstdint>
#include <string>

namespace dbg {

// "<name>  line: <line>"; the empty text if building it fails.
std::wstring MakeLocation(const std::wstring& name, int line);

// Levelled line, written when `level` <= the current log level.
void LogLine(const std::wstring& location, std::uint32_t level, const std::wstring& message);

// Error line, always written.
void LogErrorLine(const std::wstring& location, const std::wstring& message);

// Labelled-value lines, under the same level test as LogLine.
void LogValueLine(const std::wstring& location, std::uint32_t level, const std::wstring& label,
                  std::int32_t value);
void LogValueLine(const std::wstring& location, std::uint32_t level, const std::wstring& label,
                  std::uint32_t value);
void LogValueLine(const std::wstring& location, std::uint32_t level, const std::wstring& label,
                  std::uint16_t value);
void LogValueLine(const std::wstring& location, std::uint32_t level, const std::wstring& label,
                  std::uint8_t value);
void LogValueLine(const std::wstring& location, std::uint32_t level, const std::wstring& label,
                  unsigned long value);
void LogValueLine(const std::wstring& location, std::uint32_t level, const std::wstring& label,
                  const wchar_t* value);
void LogValueLine(const std::wstring& location, std::uint32_t level, const std::wstring& label,
                  const std::wstring& value);

}  // namespace dbg

// The location of the statement that uses it, for log lines and exceptions.
#define VEXA_LOCATION(name) ::dbg::MakeLocation(name, __LINE__)
