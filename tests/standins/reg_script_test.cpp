#include "standins/reg_script.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standins/memory_registry.h"
#include "standins/reg_file.h"

namespace {

using platform::ParseRegScript;
using Kind = platform::RegScriptLine::Kind;
using Bytes = std::vector<std::uint8_t>;

std::vector<platform::RegScriptLine> Parse(const std::wstring& body)
{
    const auto script = ParseRegScript(L"Windows Registry Editor Version 5.00\r\n\r\n" + body);
    return script ? *script : std::vector<platform::RegScriptLine>{};
}

TEST(RegScriptTest, KeyLinesNameARootByEitherFormWithoutCase)
{
    const auto lines = Parse(
        L"[hklm\\SOFTWARE\\A]\r\n[HKEY_CURRENT_USER]\r\n[-HKCR\\CLSID\\X]\r\n"
        L"[HKU\\S-1]\r\n[hkey_current_config\\B]\r\n");
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ(Kind::OpenKey, lines[0].kind);
    EXPECT_EQ(platform::kHkeyLocalMachine, lines[0].root);
    EXPECT_EQ(L"SOFTWARE\\A", lines[0].subKey);
    EXPECT_EQ(Kind::OpenKey, lines[1].kind);
    EXPECT_EQ(platform::kHkeyCurrentUser, lines[1].root);
    EXPECT_EQ(L"", lines[1].subKey);
    EXPECT_EQ(Kind::DeleteKey, lines[2].kind);
    EXPECT_EQ(platform::kHkeyClassesRoot, lines[2].root);
    EXPECT_EQ(L"CLSID\\X", lines[2].subKey);
    EXPECT_EQ(platform::kHkeyUsers, lines[3].root);
    EXPECT_EQ(platform::kHkeyCurrentConfig, lines[4].root);
}

TEST(RegScriptTest, KeyLinesThatNameNoScriptRootOrDeleteARootAreBad)
{
    // The performance-data and dyn-data roots have no name in the registry editor's files.
    const auto lines = Parse(
        L"[HKEY_NOWHERE\\A]\n[HKEY_PERFORMANCE_DATA\\A]\n[HKEY_DYN_DATA]\n"
        L"[-HKLM]\n[HKLM\\A\n");
    ASSERT_EQ(5u, lines.size());
    for (const auto& line : lines) {
        EXPECT_EQ(Kind::BadKeyLine, line.kind);
    }
}

TEST(RegScriptTest, ValueLinesCarryTheBytesTheRegistryStores)
{
    const auto lines = Parse(
        L"@=\"a\\\"b\\\\\"\n"
        L"\"Flags\"=dword:0000012A\n"
        L"\"Bytes\"=hex:01,ff,\\\n  7f\n"
        L"\"Expand\"=hex(2):25,00,00,00\n"
        L"\"Gone\" = -\n");
    ASSERT_EQ(5u, lines.size());
    EXPECT_EQ(Kind::SetValue, lines[0].kind);
    EXPECT_EQ(L"", lines[0].name);
    EXPECT_EQ(platform::kRegSz, lines[0].type);
    EXPECT_EQ((Bytes{'a', 0, '"', 0, 'b', 0, '\\', 0, 0, 0}), lines[0].data);
    EXPECT_EQ(L"Flags", lines[1].name);
    EXPECT_EQ(platform::kRegDword, lines[1].type);
    EXPECT_EQ((Bytes{0x2A, 0x01, 0, 0}), lines[1].data);
    EXPECT_EQ(platform::kRegBinary, lines[2].type);
    EXPECT_EQ((Bytes{0x01, 0xff, 0x7f}), lines[2].data);
    EXPECT_EQ(platform::kRegExpandSz, lines[3].type);
    EXPECT_EQ((Bytes{0x25, 0, 0, 0}), lines[3].data);
    EXPECT_EQ(Kind::DeleteValue, lines[4].kind);
    EXPECT_EQ(L"Gone", lines[4].name);
}

TEST(RegScriptTest, MalformedValueLinesAreBadAndCarryNoData)
{
    const auto lines = Parse(
        L"\"X\"=dword:123456789\n\"Y\"=hex:1,zz\n\"Z\"=hex:123\n"
        L"\"Open=\"x\"\n\"NoEquals\" \"x\"\n\"Q\"=\"unterminated\n"
        L"\"T\"=hex(zz):00\n\"U\"=word:1\n; a comment\n\n");
    ASSERT_EQ(8u, lines.size());
    for (const auto& line : lines) {
        EXPECT_EQ(Kind::BadValueLine, line.kind);
        EXPECT_TRUE(line.data.empty());
    }
}

TEST(RegScriptTest, ScriptsWithoutTheHeaderAreRefused)
{
    EXPECT_FALSE(ParseRegScript(L""));
    EXPECT_FALSE(ParseRegScript(L"\r\n\r\n"));
    EXPECT_FALSE(ParseRegScript(L"[HKLM\\A]\r\n"));
    EXPECT_FALSE(ParseRegScript(L"Windows Registry Editor Version 4.00\r\n"));
    ASSERT_TRUE(ParseRegScript(L"\r\n\xFEFFREGEDIT4\r\n"));
    EXPECT_TRUE(ParseRegScript(L"REGEDIT4")->empty());
}

TEST(RegScriptTest, FilesDecodeByTheirByteOrderMark)
{
    EXPECT_EQ(L"A\x00e9", platform::DecodeRegFile({0xFF, 0xFE, 'A', 0, 0xE9, 0}));
    EXPECT_EQ(L"A\x00e9\x20ac",
              platform::DecodeRegFile({0xEF, 0xBB, 0xBF, 'A', 0xC3, 0xA9, 0xE2, 0x82, 0xAC}));
    // Without a mark the ANSI code page: 0x80 is the euro sign in cp1252.
    EXPECT_EQ(L"A\x20ac", platform::DecodeRegFile({'A', 0x80}));
}

TEST(RegScriptTest, ABadKeyLineEndsTheKeyThatValueLinesWriteInto)
{
    platform::MemoryRegistry registry;
    EXPECT_FALSE(platform::ImportRegText(
        registry,
        L"REGEDIT4\n[HKCU\\A]\n\"Before\"=dword:1\n[HKEY_NOWHERE\\B]\n\"After\"=dword:2\n"
        L"[HKCU\\A]\n\"Again\"=dword:3\n[-HKCU\\A\\Missing]\n\"Orphan\"=dword:4\n"));
    platform::RegKey key = 0;
    ASSERT_EQ(0, registry.OpenKey(platform::kHkeyCurrentUser, L"A", platform::kKeyRead, key));
    std::uint32_t size = 0;
    EXPECT_EQ(0, registry.QueryValue(key, L"Before", nullptr, nullptr, &size));
    EXPECT_EQ(0, registry.QueryValue(key, L"Again", nullptr, nullptr, &size));
    EXPECT_EQ(2, registry.QueryValue(key, L"After", nullptr, nullptr, &size));
    EXPECT_EQ(2, registry.QueryValue(key, L"Orphan", nullptr, nullptr, &size));
    registry.CloseKey(key);
    EXPECT_EQ(0u, registry.OpenHandleCount());
}

}  // namespace
