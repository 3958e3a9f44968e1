#include "platform/long_path.h"

#include "platform/replaced_file.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A file path under C:\ whose temporary file has `tmpChars` characters.
std::wstring DrivePathWithTemporaryOf(std::size_t tmpChars)
{
    const std::wstring name = L"\\m.prom";
    return L"C:\\" +
           std::wstring(tmpChars - 3 - name.size() - platform::kTemporarySuffixChars, L'd') + name;
}

TEST(LongPath, TheFullPathsLengthDecidesAndEachKindKeepsItsRoot)
{
    const std::wstring deep(300, L'd');
    const std::wstring at259 = DrivePathWithTemporaryOf(259);
    const std::wstring at260 = DrivePathWithTemporaryOf(260);
    const struct {
        const char* label;
        std::wstring path;
        std::wstring full;
        std::wstring expected;
    } cases[] = {
        {"short", L"C:\\vexa\\m.prom", L"C:\\vexa\\m.prom", L"C:\\vexa\\m.prom"},
        {"259 with its temporary", at259, at259, at259},
        {"260 with its temporary", at260, at260, L"\\\\?\\" + at260},
        // A short relative path in a deep current folder.
        {"relative", L"m.prom", L"C:\\" + deep + L"\\m.prom", L"\\\\?\\C:\\" + deep + L"\\m.prom"},
        {"forward slashes", L"C:/" + deep + L"/m.prom", L"C:\\" + deep + L"\\m.prom",
         L"\\\\?\\C:\\" + deep + L"\\m.prom"},
        {"UNC", L"\\\\srv\\share\\" + deep, L"\\\\srv\\share\\" + deep,
         L"\\\\?\\UNC\\srv\\share\\" + deep},
        {"device", L"\\\\.\\C:\\" + deep, L"\\\\.\\C:\\" + deep, L"\\\\?\\C:\\" + deep},
        {"extended", L"\\\\?\\C:\\" + deep, L"\\\\?\\C:\\" + deep, L"\\\\?\\C:\\" + deep},
        {"extended UNC", L"\\\\?\\UNC\\srv\\share\\" + deep, L"\\\\?\\UNC\\srv\\share\\" + deep,
         L"\\\\?\\UNC\\srv\\share\\" + deep},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(platform::LongPathForm(c.path, c.full), c.expected);
    }
}

}  // namespace
