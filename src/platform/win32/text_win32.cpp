#include "platform/text.h"

#include <windows.h>

#include <climits>

namespace platform {
namespace {

int Length(std::size_t size)
{
    return size > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size);
}

// Best-fit mappings ('Ā' written as 'A') would make the two builds differ; an unrepresentable
// character becomes '?' instead. UTF-8 as ANSI code page accepts no flags.
DWORD NoBestFitFlags()
{
    return GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
}

// The text in the code page; `defaultChar` stands for what the code page cannot hold.
std::string FromWide(UINT codePage, DWORD flags, const char* defaultChar, const std::wstring& text)
{
    if (text.empty()) {
        return {};
    }
    const int length = Length(text.size());
    const int bytes =
        WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, defaultChar, nullptr);
    std::string result(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) {
        WideCharToMultiByte(codePage, flags, text.data(), length, result.data(), bytes, defaultChar,
                            nullptr);
    }
    return result;
}

std::wstring ToWide(UINT codePage, const std::string& text)
{
    if (text.empty()) {
        return {};
    }
    const int length = Length(text.size());
    const int chars = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(chars > 0 ? chars : 0), L'\0');
    if (chars > 0) {
        MultiByteToWideChar(codePage, 0, text.data(), length, result.data(), chars);
    }
    return result;
}

}  // namespace

std::string WideToAnsi(const std::wstring& text)
{
    const DWORD flags = NoBestFitFlags();
    return FromWide(CP_ACP, flags, flags != 0 ? "?" : nullptr, text);
}

std::wstring AnsiToWide(const std::string& text)
{
    return ToWide(CP_ACP, text);
}

std::wstring Utf8ToWide(const std::string& bytes)
{
    return ToWide(CP_UTF8, bytes);
}

std::string WideToUtf8(const std::wstring& text)
{
    return FromWide(CP_UTF8, 0, nullptr, text);
}

std::size_t AnsiToWide(const char* text, std::size_t bytes, wchar_t* out)
{
    if (bytes == 0) {
        return 0;
    }
    const int length = Length(bytes);
    const int chars = MultiByteToWideChar(CP_ACP, 0, text, length, out, length);
    return static_cast<std::size_t>(chars > 0 ? chars : 0);
}

bool IsAnsiRepresentable(wchar_t c)
{
    if (GetACP() == CP_UTF8) {
        return c < 0xD800 || c > 0xDFFF;
    }
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int written = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &c, 1, bytes,
                                            sizeof bytes, nullptr, &usedDefault);
    return written > 0 && !usedDefault;
}

std::wstring UpperCase(const std::wstring& text)
{
    std::wstring result(text);
    if (!result.empty()) {
        CharUpperBuffW(result.data(), static_cast<DWORD>(result.size()));
    }
    return result;
}

bool EqualNoCase(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size() && CompareStringOrdinal(a.data(), Length(a.size()), b.data(),
                                                        Length(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace platform
