#include "support/version_block.h"

#include <algorithm>

#include "platform/byte_order.h"
#include "platform/text.h"
#include "platform/utf16.h"

namespace {

// One node: wLength, wValueLength, wType, a zero-ended UTF-16 key, padding to 32 bits, the
// value, padding, then the children up to wLength. Offsets count from the block's start, which
// is 32-bit aligned.
struct Node {
    std::size_t m_nEnd = 0;
    std::size_t m_nValue = 0;
    std::size_t m_nValueBytes = 0;
    std::size_t m_nChildren = 0;
    std::wstring m_strKey;
};

constexpr std::size_t AlignedTo32(std::size_t p_nOffset)
{
    return (p_nOffset + 3) & ~static_cast<std::size_t>(3);
}

std::optional<Node> NodeAt(const std::uint8_t* p_pBlock, std::size_t p_nStart, std::size_t p_nLimit)
{
    if (p_nLimit < p_nStart || p_nLimit - p_nStart < 6) {
        return std::nullopt;
    }
    const std::uint8_t* l_pNode = p_pBlock + p_nStart;
    const std::size_t l_nLength = platform::le::Load16(l_pNode);
    const std::size_t l_nValueLength = platform::le::Load16(l_pNode + 2);
    const bool l_bText = platform::le::Load16(l_pNode + 4) == 1;
    if (l_nLength < 6 || l_nLength > p_nLimit - p_nStart) {
        return std::nullopt;
    }
    Node l_Node;
    l_Node.m_nEnd = p_nStart + l_nLength;
    std::size_t l_nAt = p_nStart + 6;
    std::size_t l_nKeyUnits = 0;
    while (l_nAt + 2 * l_nKeyUnits + 2 <= l_Node.m_nEnd &&
           platform::le::Load16(p_pBlock + l_nAt + 2 * l_nKeyUnits) != 0) {
        ++l_nKeyUnits;
    }
    if (l_nAt + 2 * l_nKeyUnits + 2 > l_Node.m_nEnd) {
        return std::nullopt;
    }
    l_Node.m_strKey = platform::FromUtf16Le(p_pBlock + l_nAt, l_nKeyUnits);
    l_Node.m_nValue = std::min(AlignedTo32(l_nAt + 2 * l_nKeyUnits + 2), l_Node.m_nEnd);
    // A text value's length counts characters, a binary one's bytes.
    l_Node.m_nValueBytes =
        std::min(l_bText ? 2 * l_nValueLength : l_nValueLength, l_Node.m_nEnd - l_Node.m_nValue);
    l_Node.m_nChildren =
        std::min(AlignedTo32(l_Node.m_nValue + l_Node.m_nValueBytes), l_Node.m_nEnd);
    return l_Node;
}

}  // namespace

std::optional<std::wstring> FindVersionText(const std::uint8_t* p_pBlock, std::size_t p_nSize,
                                            const std::vector<std::wstring>& p_Path)
{
    std::optional<Node> l_Node = NodeAt(p_pBlock, 0, p_nSize);
    for (const std::wstring& l_strKey : p_Path) {
        if (!l_Node) {
            return std::nullopt;
        }
        std::optional<Node> l_Found;
        for (std::size_t l_nChild = l_Node->m_nChildren; l_nChild < l_Node->m_nEnd;) {
            const std::optional<Node> l_Child = NodeAt(p_pBlock, l_nChild, l_Node->m_nEnd);
            if (!l_Child) {
                break;
            }
            if (platform::EqualNoCase(l_Child->m_strKey, l_strKey)) {
                l_Found = l_Child;
                break;
            }
            l_nChild = AlignedTo32(l_Child->m_nEnd);
        }
        l_Node = l_Found;
    }
    if (!l_Node) {
        return std::nullopt;
    }
    std::wstring l_strText =
        platform::FromUtf16Le(p_pBlock + l_Node->m_nValue, l_Node->m_nValueBytes / 2);
    l_strText.resize(std::min(l_strText.size(), l_strText.find(L'\0')));
    return l_strText;
}
