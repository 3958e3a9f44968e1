#include "support/version_number.h"

#include <charconv>
#include <limits>
#include <system_error>

#include "support/string_list.h"

namespace {

bool IsDecimal(const std::wstring& item)
{
    for (wchar_t c : item) {
        if (c < L'0' || c > L'9') {
            return false;
        }
    }
    return true;
}

// Digits beyond the 32-bit range saturate, so a larger number never compares smaller.
std::uint32_t DecimalValue(const std::wstring& digits)
{
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = 0;
    for (wchar_t c : digits) {
        value = value * 10 + static_cast<std::uint64_t>(c - L'0');
        if (value > kMax) {
            return static_cast<std::uint32_t>(kMax);
        }
    }
    return static_cast<std::uint32_t>(value);
}

// "%f" as the "C" locale writes it (fixed, six decimals, "." whatever locale the host process
// has set), then trailing zeros dropped: 2.800000 becomes "2.8", 3.000000 "3.".
std::wstring NumberText(double number)
{
    char buffer[400];  // the longest double in fixed notation has 309 digits before the point
    const auto result =
        std::to_chars(buffer, buffer + sizeof(buffer), number, std::chars_format::fixed, 6);
    if (result.ec != std::errc()) {
        return L"-";  // parses as invalid, like any negative number
    }
    std::wstring text(buffer, result.ptr);
    while (!text.empty() && text.back() == L'0') {
        text.pop_back();
    }
    return text;
}

}  // namespace

SRVersionInfo::SRVersionInfo(const std::wstring& text)
{
    Parse(text);
}

SRVersionInfo::SRVersionInfo(double number)
{
    Parse(NumberText(number));
}

void SRVersionInfo::Parse(const std::wstring& text)
{
    m_nParts.fill(0);
    SRStringlist items;
    items.SetSeparators(L".");
    items.Split(text);
    if (items.size() > m_nParts.size()) {
        return;
    }
    for (const std::wstring& item : items) {
        if (!IsDecimal(item)) {
            return;
        }
    }
    std::size_t index = 0;
    for (const std::wstring& item : items) {
        m_nParts[index++] = DecimalValue(item);
    }
    m_bValid = true;
}

std::uint32_t SRVersionInfo::GetPart(unsigned int index) const
{
    return index < m_nParts.size() ? m_nParts[index] : 0;
}

bool SRVersionInfo::operator==(const SRVersionInfo& other) const
{
    return m_nParts == other.m_nParts;
}

bool SRVersionInfo::operator<(const SRVersionInfo& other) const
{
    // First differing component decides, compared as unsigned numbers.
    return m_nParts < other.m_nParts;
}

bool SRVersionInfo::operator>(const SRVersionInfo& other) const
{
    return !(*this == other) && !(*this < other);
}

bool SRVersionInfo::operator>=(const SRVersionInfo& other) const
{
    return *this == other || *this > other;
}
