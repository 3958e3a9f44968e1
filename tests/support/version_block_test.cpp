#include "support/version_block.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/byte_order.h"
#include "platform/utf16.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void PadTo32(Bytes& bytes)
{
    while (bytes.size() % 4 != 0) {
        bytes.push_back(0);
    }
}

// One node as a resource compiler lays it out: wLength, wValueLength (characters for text,
// bytes for binary), wType, the key, padding, the value, padding, the children.
Bytes Node(const std::wstring& key, const Bytes& value, bool text,
           const std::vector<Bytes>& children)
{
    Bytes bytes(6, 0);
    platform::AppendUtf16Le(bytes, key);
    PadTo32(bytes);
    bytes.insert(bytes.end(), value.begin(), value.end());
    for (const Bytes& child : children) {
        PadTo32(bytes);
        bytes.insert(bytes.end(), child.begin(), child.end());
    }
    platform::le::Store16(bytes.data(), static_cast<std::uint16_t>(bytes.size()));
    platform::le::Store16(bytes.data() + 2,
                          static_cast<std::uint16_t>(text ? value.size() / 2 : value.size()));
    platform::le::Store16(bytes.data() + 4, text ? 1 : 0);
    return bytes;
}

Bytes Text(const std::wstring& key, const std::wstring& value)
{
    Bytes text;
    platform::AppendUtf16Le(text, value);
    return Node(key, text, true, {});
}

Bytes Resource(const std::vector<Bytes>& strings)
{
    const Bytes fixed(52, 0xFE);  // VS_FIXEDFILEINFO, not read
    return Node(
        L"VS_VERSION_INFO", fixed, false,
        {Node(L"StringFileInfo", {}, true, {Node(L"000004b0", {}, true, strings)}),
         Node(L"VarFileInfo", {}, true, {Node(L"Translation", {0, 0, 0xB0, 4}, false, {})})});
}

TEST(VersionBlock, TextsAreFoundByTheirPath)
{
    const Bytes block =
        Resource({Text(L"CompanyName", L"x"), Text(L"FileDescription", L"Vexa monitor"),
                  Text(L"FileVersion", L"4,0,11,0")});
    Bytes cut = block;
    cut.resize(cut.size() - 20);  // the nodes run past the end of the bytes
    const std::vector<std::wstring> description{L"StringFileInfo", L"000004b0", L"FileDescription"};
    const std::vector<std::wstring> version{L"StringFileInfo", L"000004b0", L"FileVersion"};
    const struct {
        const char* label;
        const Bytes* block;
        std::vector<std::wstring> path;
        std::optional<std::wstring> expected;
    } cases[] = {
        {"description", &block, description, L"Vexa monitor"},
        {"version", &block, version, L"4,0,11,0"},
        {"keys without case",
         &block,
         {L"stringfileinfo", L"000004B0", L"FILEVERSION"},
         L"4,0,11,0"},
        {"missing text", &block, {L"StringFileInfo", L"000004b0", L"ProductName"}, std::nullopt},
        {"other block", &block, {L"StringFileInfo", L"040904b0", L"FileVersion"}, std::nullopt},
        {"cut block", &cut, version, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(FindVersionText(c.block->data(), c.block->size(), c.path), c.expected);
    }
    const Bytes empty(4, 0);
    EXPECT_EQ(FindVersionText(empty.data(), empty.size(), version), std::nullopt);
}

}  // namespace
