#include "settings/whole_number.h"

#include <algorithm>

std::optional<std::int64_t> ParseWholeNumber(const std::wstring& p_strText, std::int64_t p_nLargest)
{
    const std::size_t l_nBegin = p_strText.find_first_not_of(L" \t");
    if (l_nBegin == std::wstring::npos) {
        return std::nullopt;
    }
    const std::size_t l_nEnd = p_strText.find_last_not_of(L" \t") + 1;
    std::int64_t l_nValue = 0;
    for (std::size_t i = l_nBegin; i < l_nEnd; ++i) {
        const wchar_t c = p_strText[i];
        if (c < L'0' || c > L'9') {
            return std::nullopt;
        }
        l_nValue = std::min(l_nValue * 10 + (c - L'0'), p_nLargest + 1);
    }
    return l_nValue;
}
