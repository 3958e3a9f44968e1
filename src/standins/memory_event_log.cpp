#include "standins/memory_event_log.h"

#include <cstring>
#include <cwctype>
#include <fstream>
#include <sstream>

#include "platform/event_log_record.h"
#include "platform/last_error.h"
#include "platform/text.h"

namespace platform {

MemoryEventLog::MemoryEventLog(std::uint32_t firstTime) : m_nTime(firstTime) {}

void MemoryEventLog::SetOpenable(bool openable)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bOpenable = openable;
}

void MemoryEventLog::SetCapacity(std::size_t records)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_nCapacity = records;
    DropOverCapacity();
}

void MemoryEventLog::DropOverCapacity()
{
    while (m_nCapacity != 0 && m_Records.size() > m_nCapacity) {
        m_Records.pop_front();
        ++m_nOldest;
    }
}

void MemoryEventLog::Append(std::uint16_t eventType, std::uint32_t eventId,
                            const std::wstring& sourceName)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    EventLogRecordData data;
    data.recordNumber = m_nOldest + static_cast<std::uint32_t>(m_Records.size());
    data.timeGenerated = m_nTime;
    data.timeWritten = m_nTime;
    ++m_nTime;
    data.eventId = eventId;
    data.eventType = eventType;
    data.sourceName = sourceName;
    data.computerName = L"VEXA-IPC";
    m_Records.push_back(BuildEventLogRecord(data));
    DropOverCapacity();
}

void MemoryEventLog::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_Records.clear();
    m_nOldest = 1;
    // Handles opened before the clearing read no more: they must be opened again.
    for (auto& position : m_ReadPositions) {
        position.second = kChangedPosition;
    }
}

std::size_t MemoryEventLog::RecordCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_Records.size();
}

EventLogHandle MemoryEventLog::Open(const std::wstring&)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_bOpenable) {
        SetLastErrorCode(kErrorFileNotFound);
        return 0;
    }
    const EventLogHandle handle = m_nNextHandle;
    m_nNextHandle += 4;
    m_ReadPositions[handle] = m_nOldest;
    return handle;
}

bool MemoryEventLog::Close(EventLogHandle log)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_ReadPositions.erase(log) == 0) {
        SetLastErrorCode(kErrorInvalidHandle);
        return false;
    }
    return true;
}

bool MemoryEventLog::GetOldestRecord(EventLogHandle log, std::uint32_t& recordNumber)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_ReadPositions.count(log) == 0) {
        SetLastErrorCode(kErrorInvalidHandle);
        return false;
    }
    recordNumber = m_Records.empty() ? 0 : m_nOldest;
    return true;
}

bool MemoryEventLog::GetNumberOfRecords(EventLogHandle log, std::uint32_t& count)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_ReadPositions.count(log) == 0) {
        SetLastErrorCode(kErrorInvalidHandle);
        return false;
    }
    count = static_cast<std::uint32_t>(m_Records.size());
    return true;
}

bool MemoryEventLog::Read(EventLogHandle log, std::uint32_t flags, std::uint32_t recordOffset,
                          void* buffer, std::uint32_t bufferBytes, std::uint32_t& bytesRead,
                          std::uint32_t& bytesNeeded)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    bytesRead = 0;
    bytesNeeded = 0;
    auto position = m_ReadPositions.find(log);
    if (position == m_ReadPositions.end()) {
        SetLastErrorCode(kErrorInvalidHandle);
        return false;
    }
    if (position->second == kChangedPosition) {
        SetLastErrorCode(kErrorEventLogFileChanged);
        return false;
    }
    const bool seek = (flags & kEventLogSeekRead) != 0;
    const bool sequential = (flags & kEventLogSequentialRead) != 0;
    if (seek == sequential || (flags & kEventLogForwardsRead) == 0 || buffer == nullptr) {
        // Only forward reads are served: the monitor reads nothing else.
        SetLastErrorCode(kErrorInvalidParameter);
        return false;
    }
    const std::uint32_t newest = m_nOldest + static_cast<std::uint32_t>(m_Records.size());
    std::uint32_t next = seek ? recordOffset : std::max(position->second, m_nOldest);
    if (seek && (next < m_nOldest || next >= newest)) {
        SetLastErrorCode(kErrorInvalidParameter);
        return false;
    }
    if (next >= newest) {
        SetLastErrorCode(kErrorHandleEof);
        return false;
    }
    auto* out = static_cast<std::uint8_t*>(buffer);
    while (next < newest) {
        const std::vector<std::uint8_t>& record = m_Records[next - m_nOldest];
        if (record.size() > bufferBytes - bytesRead) {
            break;
        }
        std::memcpy(out + bytesRead, record.data(), record.size());
        bytesRead += static_cast<std::uint32_t>(record.size());
        ++next;
    }
    position->second = next;
    if (bytesRead == 0) {
        bytesNeeded = static_cast<std::uint32_t>(m_Records[next - m_nOldest].size());
        SetLastErrorCode(kErrorInsufficientBuffer);
        return false;
    }
    return true;
}

namespace {

bool ParseNumber(const std::wstring& text, std::uint32_t& value)
{
    if (text.empty()) {
        return false;
    }
    const bool hex = text.size() > 2 && text[0] == L'0' && (text[1] == L'x' || text[1] == L'X');
    const std::wstring digits = hex ? text.substr(2) : text;
    const wchar_t* allowed = hex ? L"0123456789abcdefABCDEF" : L"0123456789";
    if (digits.empty() || digits.size() > (hex ? 8u : 10u) ||
        digits.find_first_not_of(allowed) != std::wstring::npos) {
        return false;
    }
    const unsigned long long parsed = std::stoull(digits, nullptr, hex ? 16 : 10);
    if (parsed > 0xFFFFFFFFull) {
        return false;
    }
    value = static_cast<std::uint32_t>(parsed);
    return true;
}

bool ParseType(const std::wstring& text, std::uint16_t& type)
{
    std::wstring lower;
    for (wchar_t c : text) {
        lower.push_back(static_cast<wchar_t>(std::towlower(c)));
    }
    if (lower == L"information") {
        type = kEventTypeInformation;
    } else if (lower == L"warning") {
        type = kEventTypeWarning;
    } else if (lower == L"error") {
        type = kEventTypeError;
    } else {
        std::uint32_t number = 0;
        if (!ParseNumber(text, number) || number > 0xFFFF) {
            return false;
        }
        type = static_cast<std::uint16_t>(number);
    }
    return true;
}

}  // namespace

bool LoadEventLogFile(MemoryEventLog& log, const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        log.SetOpenable(false);
        return false;
    }
    bool ok = true;
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::wstring text = AnsiToWide(line);
        if (text.find_first_not_of(L" \t") == std::wstring::npos) {
            continue;
        }
        std::wistringstream fields(text);
        std::wstring typeText;
        std::wstring idText;
        fields >> typeText >> idText;
        std::wstring source;
        std::getline(fields, source);
        const std::size_t start = source.find_first_not_of(L" \t");
        source = start == std::wstring::npos ? std::wstring() : source.substr(start);
        std::uint16_t type = 0;
        std::uint32_t id = 0;
        if (!ParseType(typeText, type) || !ParseNumber(idText, id)) {
            ok = false;
            continue;
        }
        log.Append(type, id, source);
    }
    return ok;
}

}  // namespace platform
