#include "errors/exceptions.h"

#include "logging/log.h"

namespace err {

namespace {

// The prefix and the code in decimal, as "Err No: %u" writes it.
std::wstring CodeText(const wchar_t* prefix, std::uint32_t code)
{
    return std::wstring(prefix) + std::to_wstring(code);
}

std::wstring FileErrorMessage(std::uint32_t code)
{
    switch (code) {
    case 1:
        return L"File not Found";
    case 2:
        return L"Zip Error!";
    case 3:
        return L"Invalid Filename!";
    default:
        return L"Unknown error!";
    }
}

// The line numbers the four error lines of a subsystem exception report. Log readers know the
// UPS and HMI exceptions by these numbers, so they are fixed rather than taken from this file.
struct FourLineNumbers {
    int m_nTag;
    int m_nLocation;
    int m_nMessage;
    int m_nCode;
};

// The four error lines of the subsystem exceptions: tag, location, message and code.
void LogFourLines(const wchar_t* name, const FourLineNumbers& lines, const wchar_t* tag,
                  const GException& e, const wchar_t* codePrefix)
{
    dbg::LogErrorLine(dbg::MakeLocation(name, lines.m_nTag), tag);
    dbg::LogErrorLine(dbg::MakeLocation(name, lines.m_nLocation), e.GetLocation());
    dbg::LogErrorLine(dbg::MakeLocation(name, lines.m_nMessage), e.GetMessage());
    dbg::LogErrorLine(dbg::MakeLocation(name, lines.m_nCode), CodeText(codePrefix, e.GetErrNo()));
}

}  // namespace

// Each constructor copies its texts under a guard: a failure object that cannot be built must
// still be thrown, so a failed copy is logged and the object keeps what it has.
GException::GException(const std::wstring& location)
{
    try {
        m_strLocation = location;
    } catch (...) {
        dbg::LogErrorLine(VEXA_LOCATION(L"err::GException::GException"), L"Constructor failed!");
    }
}

GException::GException(std::uint32_t code, const std::wstring& location) : m_nErrNo(code)
{
    try {
        m_strLocation = location;
    } catch (...) {
        dbg::LogErrorLine(VEXA_LOCATION(L"err::GException::GException"), L"Constructor failed!");
    }
}

GException::GException(const std::wstring& message, const std::wstring& location)
{
    try {
        m_strMessage = message;
        m_strLocation = location;
    } catch (...) {
        dbg::LogErrorLine(VEXA_LOCATION(L"err::GException::GException"), L"Constructor failed!");
    }
}

GException::GException(const GException& other) : m_nErrNo(other.m_nErrNo)
{
    try {
        m_strMessage = other.m_strMessage;
        m_strLocation = other.m_strLocation;
    } catch (...) {
        dbg::LogErrorLine(VEXA_LOCATION(L"err::GException::GException"), L"Constructor failed!");
    }
}

UnknownException::UnknownException(const std::wstring& location) : GException(location) {}

void UnknownException::LogExceptionInfo() const
{
    dbg::LogLine(VEXA_LOCATION(L"err::UnknownException::LogExceptionInfo"), 0,
                 L"Unknown Exception!");
}

GFileException::GFileException(std::uint32_t code, const std::wstring& location,
                               const std::wstring& filename)
    : GException(code, location)
{
    try {
        m_strFilename = filename;
        m_strMessage = FileErrorMessage(code);
        LogExceptionInfo();
    } catch (...) {
        dbg::LogErrorLine(VEXA_LOCATION(L"err::GFileException::GFileException"),
                          L"Constructor failed!");
    }
}

// A copy writes nothing to the log: only the original logs itself.
GFileException::GFileException(const GFileException& other) : GException(other)
{
    try {
        m_strFilename = other.m_strFilename;
    } catch (...) {
        dbg::LogErrorLine(VEXA_LOCATION(L"err::GFileException::GFileException"),
                          L"Constructor failed!");
    }
}

void GFileException::LogExceptionInfo() const
{
    const std::wstring location = VEXA_LOCATION(L"err::GFileException::LogExceptionInfo");
    dbg::LogErrorLine(location, m_strMessage);
    dbg::LogValueLine(location, 0, L"m_strFilename", m_strFilename);
    dbg::LogValueLine(location, 0, L"l_strErrNo", CodeText(L"Err No: ", m_nErrNo));
}

DataListException::DataListException(const std::wstring& message, const std::wstring& location,
                                     std::uint32_t code)
    : GException(message, location)
{
    m_nErrNo = code;
}

void DataListException::LogExceptionInfo() const
{
    const int line = __LINE__;
    LogFourLines(L"err::DataListException::LogExceptionInfo", {line, line, line, line},
                 L"DataList-Exception", *this, L"Err No: ");
}

UpsInfoException::UpsInfoException(const std::wstring& message, const std::wstring& location,
                                   std::uint32_t code)
    : GException(message, location)
{
    m_nErrNo = code;
}

void UpsInfoException::LogExceptionInfo() const
{
    LogFourLines(L"err::UpsInfoException::LogExceptionInfo", {76, 77, 78, 86}, L"UpsInfo-Exception",
                 *this, L"Err Type: ");
}

VisiWinException::VisiWinException(const std::wstring& message, const std::wstring& location,
                                   std::uint32_t code)
    : GException(message, location)
{
    m_nErrNo = code;
}

void VisiWinException::LogExceptionInfo() const
{
    LogFourLines(L"err::VisiWinException::LogExceptionInfo", {73, 74, 75, 83}, L"VisiWin-Exception",
                 *this, L"Err No: ");
}

std::wstring FormatForUser(const GException& e)
{
    return L"Error:\r\n" + e.GetMessage() + L"\r\nat:\r\n" + e.GetLocation();
}

}  // namespace err
