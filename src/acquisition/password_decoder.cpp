#include "acquisition/password_decoder.h"

#include <cstddef>
#include <cstdint>

namespace cfg {

namespace {

constexpr std::size_t kGroupDigits = 5;
constexpr std::uint32_t kGroupLimit = 100000;

template <class Text>
void ReplaceAll(Text& p_strText, wchar_t p_cLetter, const std::wstring& p_strZeros)
{
    for (std::size_t l_nPos = p_strText.find(p_cLetter); l_nPos != std::wstring::npos;
         l_nPos = p_strText.find(p_cLetter, l_nPos + p_strZeros.size())) {
        p_strText.replace(l_nPos, 1, p_strZeros);
    }
}

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

}  // namespace

const std::wstring& PasswordDecoder::Key()
{
    // 51 distinct characters: 14 upper-case and 17 lower-case letters, 4 digits, 13 punctuation
    // marks, and the currency sign U+00A3, the section sign U+00A7 and U+00E9. Changing it makes
    // every scrambled password in the field unreadable.
    static const std::wstring s_strKey =
        L"g@zMWxF<Kr*bV-7+ynR>%EkXB&?TH4\u00A7ZQ;wpft9/h=jd\u00A3m\u00E9J#3q";
    return s_strKey;
}

utils::SecretText PasswordDecoder::Decode(const wchar_t* p_pScrambled, std::size_t p_nLength)
{
    utils::SecretText l_Result;
    if (p_nLength == 0) {
        return l_Result;
    }
    // At most four digits a letter: reserved once, so the text never moves while it grows.
    utils::SecretText l_Digits;
    l_Digits.Get().reserve(4 * p_nLength + 9);
    l_Digits.Get().assign(p_pScrambled, p_nLength);
    auto& l_strDigits = l_Digits.Get();
    ReplaceAll(l_strDigits, L'A', L"00");
    ReplaceAll(l_strDigits, L'B', L"000");
    ReplaceAll(l_strDigits, L'C', L"0000");
    for (wchar_t c : l_strDigits) {
        if (!IsDigit(c)) {
            return l_Result;
        }
    }
    const std::size_t l_nLeadingZeros = static_cast<std::size_t>(l_strDigits.back() - L'0');
    l_strDigits.pop_back();
    if (l_nLeadingZeros == 0) {
        return l_Result;
    }
    l_strDigits.insert(0, l_nLeadingZeros, L'0');

    const std::wstring& l_strKey = Key();
    if (l_strDigits.size() % kGroupDigits != 0 ||
        l_strDigits.size() / kGroupDigits > l_strKey.size()) {
        return l_Result;
    }
    auto& l_strPassword = l_Result.Get();
    l_strPassword.reserve(l_strDigits.size() / kGroupDigits);
    for (std::size_t i = 0; i < l_strDigits.size(); i += kGroupDigits) {
        std::uint32_t l_nGroup = 0;
        for (std::size_t j = i; j < i + kGroupDigits; ++j) {
            l_nGroup = l_nGroup * 10 + static_cast<std::uint32_t>(l_strDigits[j] - L'0');
        }
        const auto l_nKey = static_cast<std::uint32_t>(l_strKey[i / kGroupDigits]);
        l_strPassword.push_back(static_cast<wchar_t>((l_nGroup - l_nKey) & 0xFFFFu));
    }
    return l_Result;
}

std::optional<std::wstring> PasswordDecoder::Scramble(const std::wstring& p_strPassword)
{
    const std::wstring& l_strKey = Key();
    if (p_strPassword.empty() || p_strPassword.size() > l_strKey.size()) {
        return std::nullopt;
    }
    std::wstring l_strDigits;
    for (std::size_t i = 0; i < p_strPassword.size(); ++i) {
        const auto l_nChar = static_cast<std::uint32_t>(p_strPassword[i]);
        if (l_nChar > 0xFFFFu) {
            return std::nullopt;
        }
        const std::uint32_t l_nGroup = l_nChar + static_cast<std::uint32_t>(l_strKey[i]);
        const std::wstring l_strGroup = std::to_wstring(l_nGroup + kGroupLimit).substr(1);
        l_strDigits += l_strGroup;
    }
    // The decoder restores between 1 and 9 leading zeros; the first group must have one.
    std::size_t l_nLeadingZeros = 0;
    while (l_nLeadingZeros < 9 && l_nLeadingZeros < l_strDigits.size() &&
           l_strDigits[l_nLeadingZeros] == L'0') {
        ++l_nLeadingZeros;
    }
    if (l_nLeadingZeros == 0) {
        return std::nullopt;
    }
    l_strDigits.erase(0, l_nLeadingZeros);

    std::wstring l_strText;
    std::size_t l_nPos = 0;
    while (l_nPos < l_strDigits.size()) {
        if (l_strDigits[l_nPos] != L'0') {
            l_strText.push_back(l_strDigits[l_nPos++]);
            continue;
        }
        std::size_t l_nRun = 0;
        while (l_nPos + l_nRun < l_strDigits.size() && l_strDigits[l_nPos + l_nRun] == L'0') {
            ++l_nRun;
        }
        l_nPos += l_nRun;
        l_strText.append(l_nRun / 4, L'C');
        switch (l_nRun % 4) {
        case 3:
            l_strText.push_back(L'B');
            break;
        case 2:
            l_strText.push_back(L'A');
            break;
        case 1:
            l_strText.push_back(L'0');
            break;
        default:
            break;
        }
    }
    l_strText.push_back(static_cast<wchar_t>(L'0' + l_nLeadingZeros));
    return l_strText;
}

}  // namespace cfg
