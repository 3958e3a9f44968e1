#include <gtest/gtest.h>

#include <string>

#include "errors/exceptions.h"
#include "fakes/log_capture.h"
#include "logging/log.h"

namespace {

const std::wstring kLocation = L"CMain::MyThread  line: 63";

// Lines of a message box text ("\r\n"-separated), an empty line included.
std::vector<std::wstring> Lines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    std::wstring::size_type start = 0;
    for (;;) {
        const auto end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::wstring::npos) {
            return lines;
        }
        start = end + 2;
    }
}

std::string FileExceptionLog(const std::string& message, const std::string& file,
                             const std::string& code)
{
    const std::string location = "err::GFileException::LogExceptionInfo  line: N";
    return "\r\nT ** " + location + "\t\t" + message + "\r\n" + "\r\nT\t" + location +
           "\t\tm_strFilename\t" + file + "\r\n" + "\r\nT\t" + location +
           "\t\tl_strErrNo\tErr No: " + code + "\r\n";
}

TEST(GFileException, MessageFromCode)
{
    fakes::LogCapture log(0);
    EXPECT_EQ(err::GFileException(1, kLocation, L"a").GetMessage(), L"File not Found");
    EXPECT_EQ(err::GFileException(2, kLocation, L"a").GetMessage(), L"Zip Error!");
    EXPECT_EQ(err::GFileException(3, kLocation, L"a").GetMessage(), L"Invalid Filename!");
    EXPECT_EQ(err::GFileException(5, kLocation, L"a").GetMessage(), L"Unknown error!");
    EXPECT_EQ(err::GFileException(0, kLocation, L"a").GetMessage(), L"Unknown error!");
    EXPECT_EQ(err::GFileException(112, kLocation, L"a").GetErrNo(), 112u);
}

TEST(GFileException, LogsItselfOnceWhenMadeAtLevelZero)
{
    fakes::LogCapture log(0);
    try {
        throw err::GFileException(2, kLocation, L"c:\\temp\\VexaValues.ini");
    } catch (const err::GException& e) {
        EXPECT_EQ(e.GetLocation(), kLocation);
        EXPECT_EQ(e.GetErrNo(), 2u);
    }
    EXPECT_EQ(log.Normalized(true),
              FileExceptionLog("Zip Error!", "c:\\temp\\VexaValues.ini", "2"));
}

TEST(GFileException, CopyHasEverythingAndWritesNothing)
{
    fakes::LogCapture log(0);
    const err::GFileException original(4294967295u, kLocation, L"x.ini");
    const std::string logged = log.Contents();
    const err::GFileException copy(original);
    EXPECT_EQ(copy.GetMessage(), original.GetMessage());
    EXPECT_EQ(copy.GetLocation(), kLocation);
    EXPECT_EQ(copy.GetErrNo(), 4294967295u);
    EXPECT_EQ(copy.GetFilename(), L"x.ini");
    EXPECT_EQ(log.Contents(), logged);
    EXPECT_EQ(log.Normalized(true), FileExceptionLog("Unknown error!", "x.ini", "4294967295"));
}

TEST(UnknownException, ShowsFourLinesWithEmptyMessage)
{
    try {
        throw err::UnknownException(L"cfg::ComputerXml::GetPassword  line: 12");
    } catch (const err::GException& e) {
        EXPECT_EQ(e.GetErrNo(), 0u);
        EXPECT_EQ(Lines(err::FormatForUser(e)),
                  (std::vector<std::wstring>{L"Error:", L"", L"at:",
                                             L"cfg::ComputerXml::GetPassword  line: 12"}));
    }
}

TEST(UnknownException, LogsALevelZeroLine)
{
    fakes::LogCapture log(0);
    err::UnknownException(kLocation).LogExceptionInfo();
    EXPECT_EQ(log.Normalized(true),
              "\r\nT\terr::UnknownException::LogExceptionInfo  line: N\t\tUnknown Exception!\r\n");
}

TEST(DataListException, FormatsMessageAndLocationForTheUser)
{
    try {
        throw err::DataListException(L"Ups", kLocation, 1);
    } catch (const err::GException& e) {
        EXPECT_EQ(e.GetErrNo(), 1u);
        EXPECT_EQ(err::FormatForUser(e), L"Error:\r\nUps\r\nat:\r\n" + kLocation);
    }
}

TEST(SubsystemExceptions, LogFourErrorLines)
{
    auto expected = [](const std::string& cls, const std::string& tag, const std::string& message,
                       const std::string& code) {
        const std::string prefix = "\r\nT ** err::" + cls + "::LogExceptionInfo  line: N\t\t";
        return prefix + tag + "\r\n" + prefix + "CMain::MyThread  line: N\r\n" + prefix + message +
               "\r\n" + prefix + code + "\r\n";
    };
    {
        fakes::LogCapture log(0);
        err::DataListException(L"Ups", kLocation, 1).LogExceptionInfo();
        EXPECT_EQ(log.Normalized(true),
                  expected("DataListException", "DataList-Exception", "Ups", "Err No: 1"));
    }
    {
        fakes::LogCapture log(0);
        err::UpsInfoException(L"no status", kLocation, 7).LogExceptionInfo();
        EXPECT_EQ(log.Normalized(true),
                  expected("UpsInfoException", "UpsInfo-Exception", "no status", "Err Type: 7"));
    }
    {
        fakes::LogCapture log(0);
        err::VisiWinException(L"", kLocation, 3).LogExceptionInfo();
        EXPECT_EQ(log.Normalized(true),
                  expected("VisiWinException", "VisiWin-Exception", "", "Err No: 3"));
    }
}

TEST(SubsystemExceptions, UpsAndHmiExceptionsReportTheirFixedLineNumbers)
{
    const auto lineNumbers = [](const std::string& text) {
        std::string numbers;
        for (std::size_t pos = text.find("LogExceptionInfo  line: "); pos != std::string::npos;
             pos = text.find("LogExceptionInfo  line: ", pos + 1)) {
            numbers += text.substr(pos + 24, 2) + " ";
        }
        return numbers;
    };
    {
        fakes::LogCapture log(0);
        err::UpsInfoException(L"no status", kLocation, 1).LogExceptionInfo();
        EXPECT_EQ(lineNumbers(log.Normalized()), "76 77 78 86 ");
    }
    {
        fakes::LogCapture log(0);
        err::VisiWinException(L"", kLocation, 3).LogExceptionInfo();
        EXPECT_EQ(lineNumbers(log.Normalized()), "73 74 75 83 ");
    }
}

TEST(SubsystemExceptions, CopiesKeepMessageLocationAndCode)
{
    const err::VisiWinException original(L"no runtime", kLocation, 9);
    const err::VisiWinException copy(original);
    EXPECT_EQ(copy.GetMessage(), L"no runtime");
    EXPECT_EQ(copy.GetLocation(), kLocation);
    EXPECT_EQ(copy.GetErrNo(), 9u);
}

}  // namespace
