#pragma once

#include <cstdint>
#include <string>

namespace err {

// Root of the monitor's failure objects: message, location (see dbg::MakeLocation) and code.
// Thrown by value, caught by const reference. Constructors never throw.
class GException {
public:
    explicit GException(const std::wstring& location);
    GException(std::uint32_t code, const std::wstring& location);
    GException(const std::wstring& message, const std::wstring& location);
    GException(const GException& other);
    GException& operator=(const GException& other) = default;
    virtual ~GException() = default;

    virtual void LogExceptionInfo() const = 0;

    const std::wstring& GetMessage() const { return m_strMessage; }
    const std::wstring& GetLocation() const { return m_strLocation; }
    std::uint32_t GetErrNo() const { return m_nErrNo; }

protected:
    std::wstring m_strMessage;
    std::wstring m_strLocation;
    std::uint32_t m_nErrNo = 0;
};

class UnknownException : public GException {
public:
    explicit UnknownException(const std::wstring& location);
    void LogExceptionInfo() const override;
};

// Logs itself once when constructed.
class GFileException : public GException {
public:
    GFileException(std::uint32_t code, const std::wstring& location, const std::wstring& filename);
    GFileException(const GFileException& other);
    void LogExceptionInfo() const override;
    const std::wstring& GetFilename() const { return m_strFilename; }

private:
    std::wstring m_strFilename;
};

class DataListException : public GException {
public:
    DataListException(const std::wstring& message, const std::wstring& location,
                      std::uint32_t code);
    void LogExceptionInfo() const override;
};

class UpsInfoException : public GException {
public:
    UpsInfoException(const std::wstring& message, const std::wstring& location, std::uint32_t code);
    void LogExceptionInfo() const override;
};

class VisiWinException : public GException {
public:
    VisiWinException(const std::wstring& message, const std::wstring& location, std::uint32_t code);
    void LogExceptionInfo() const override;
};

// "Error:\r\n<message>\r\nat:\r\n<location>", the text of a start-up failure's message box.
std::wstring FormatForUser(const GException& e);

}  // namespace err
