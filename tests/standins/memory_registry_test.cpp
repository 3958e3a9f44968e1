#include "standins/memory_registry.h"

#include <gtest/gtest.h>

#include <memory>

#include "standins/reg_file.h"
#include "platform/seam.h"
#include "support/registry.h"

namespace {

using platform::MemoryRegistry;

const wchar_t* const kStatusKey = L"SYSTEM\\CurrentControlSet\\Services\\UPS\\Status";

TEST(MemoryRegistryTest, ImportsARegistryEditorFile)
{
    MemoryRegistry registry;
    const bool ok = platform::ImportRegText(
        registry,
        L"\xFEFFWindows Registry Editor Version 5.00\r\n"
        L"\r\n"
        L"; the UPS service's status\r\n"
        L"[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\UPS\\Status]\r\n"
        L"\"TcChargeFlags\"=dword:00000180\r\n"
        L"\"BatteryCapacity\"=dword:0000005F\r\n"
        L"@=\"default \\\"quoted\\\" \\\\ text\"\r\n"
        L"\"Bytes\"=hex:01,02,\\\r\n"
        L"  ff\r\n"
        L"\"List\"=hex(7):61,00,00,00,62,00,00,00,00,00\r\n"
        L"\"Gone\"=\"x\"\r\n"
        L"\"Gone\"=-\r\n"
        L"[HKEY_CURRENT_USER\\Software\\Old\\Deep]\r\n"
        L"[-HKEY_CURRENT_USER\\Software\\Old]\r\n");
    EXPECT_TRUE(ok);
    platform::Substitute<platform::Registry> use(registry);

    CRegistry reader;
    ASSERT_TRUE(reader.ConnectRoot(platform::kHkeyLocalMachine, nullptr));
    ASSERT_TRUE(reader.OpenKey(kStatusKey, platform::kKeyRead));
    std::uint32_t value = 0;
    EXPECT_TRUE(reader.ReadDword(L"TcChargeFlags", value));
    EXPECT_EQ(0x180u, value);
    EXPECT_TRUE(reader.ReadDword(L"batterycapacity", value));  // names without case
    EXPECT_EQ(95u, value);
    std::wstring text;
    EXPECT_TRUE(reader.ReadString(L"", text));
    EXPECT_EQ(L"default \"quoted\" \\ text", text);
    CRegistry::ByteArray bytes;
    EXPECT_TRUE(reader.ReadBinary(L"Bytes", bytes));
    EXPECT_EQ((CRegistry::ByteArray{1, 2, 0xff}), bytes);
    CRegistry::StringArray list;
    EXPECT_TRUE(reader.ReadMultiString(L"List", list));
    EXPECT_EQ((CRegistry::StringArray{L"a", L"b"}), list);
    EXPECT_FALSE(reader.ReadString(L"Gone", text));
    EXPECT_EQ(5u, reader.GetValueCount());

    CRegistry user;
    ASSERT_TRUE(user.ConnectRoot(platform::kHkeyCurrentUser, nullptr));
    EXPECT_FALSE(user.OpenKey(L"Software\\Old", platform::kKeyRead));
    EXPECT_TRUE(user.OpenKey(L"Software", platform::kKeyRead));
}

TEST(MemoryRegistryTest, RejectsTextWithoutHeaderAndReportsBadLines)
{
    MemoryRegistry registry;
    EXPECT_FALSE(platform::ImportRegText(registry, L"[HKEY_CURRENT_USER\\A]\r\n"));
    EXPECT_FALSE(platform::ImportRegText(registry, L""));
    EXPECT_FALSE(platform::ImportRegText(
        registry,
        L"REGEDIT4\n[HKEY_NOWHERE\\A]\n[HKEY_CURRENT_USER\\B]\n\"X\"=dword:1234567890\n"
        L"\"Y\"=hex:1,zz\n\"Z\"=dword:2a\n"));
    platform::RegKey key = 0;
    ASSERT_EQ(0, registry.OpenKey(platform::kHkeyCurrentUser, L"B", platform::kKeyRead, key));
    std::uint32_t size = 0;
    EXPECT_EQ(0, registry.QueryValue(key, L"Z", nullptr, nullptr, &size));
    EXPECT_EQ(4u, size);
    EXPECT_EQ(2, registry.QueryValue(key, L"X", nullptr, nullptr, &size));
    EXPECT_EQ(2, registry.QueryValue(key, L"Y", nullptr, nullptr, &size));
    registry.CloseKey(key);
}

TEST(MemoryRegistryTest, KeysNestAtMostFiveHundredTwelveLevelsDeep)
{
    MemoryRegistry registry;
    std::wstring path = L"Deep";
    for (int level = 1; level < 512; ++level) {
        path += L"\\k";
    }
    platform::RegKey key = 0;
    ASSERT_EQ(0, registry.CreateKey(platform::kHkeyCurrentUser, path.c_str(), nullptr, 0,
                                    platform::kKeyAllAccess, nullptr, key, nullptr));
    platform::RegKey deeper = 0;
    EXPECT_EQ(87, registry.CreateKey(key, L"k", nullptr, 0, platform::kKeyAllAccess, nullptr,
                                     deeper, nullptr));
    EXPECT_EQ(87, registry.CreateKey(platform::kHkeyCurrentUser, (path + L"\\k").c_str(), nullptr,
                                     0, platform::kKeyAllAccess, nullptr, deeper, nullptr));
    registry.CloseKey(key);

    // A file naming a far deeper key is refused line by line, without exhausting the stack.
    std::wstring text = L"REGEDIT4\n[HKEY_CURRENT_USER\\Deeper";
    for (int level = 0; level < 100000; ++level) {
        text += L"\\k";
    }
    text += L"]\n\"x\"=\"y\"\n[-HKEY_CURRENT_USER\\Deep]\n";
    EXPECT_FALSE(platform::ImportRegText(registry, text));
    EXPECT_EQ(2, registry.OpenKey(platform::kHkeyCurrentUser, L"Deeper", platform::kKeyRead, key));
    EXPECT_EQ(2, registry.OpenKey(platform::kHkeyCurrentUser, L"Deep", platform::kKeyRead, key));
}

TEST(MemoryRegistryTest, MissingFileCannotBeImported)
{
    MemoryRegistry registry;
    EXPECT_FALSE(platform::ImportRegFile(registry, "/nonexistent/vexa.reg"));
}

TEST(MemoryRegistryTest, DestroyingAConnectedObjectClosesBothKeys)
{
    MemoryRegistry registry;
    platform::Substitute<platform::Registry> use(registry);
    {
        CRegistry writer;
        ASSERT_TRUE(writer.ConnectRoot(platform::kHkeyLocalMachine, nullptr));
        ASSERT_TRUE(
            writer.CreateKey(kStatusKey, nullptr, 0, platform::kKeyAllAccess, nullptr, nullptr));
        EXPECT_EQ(2u, registry.OpenHandleCount());
    }
    EXPECT_EQ(0u, registry.OpenHandleCount());
    {
        CRegistry reader;
        ASSERT_TRUE(reader.ConnectRoot(platform::kHkeyLocalMachine, nullptr));
        ASSERT_TRUE(reader.OpenKey(kStatusKey, platform::kKeyRead));
        ASSERT_TRUE(reader.OpenKey(kStatusKey, platform::kKeyRead));  // the first key is closed
        EXPECT_EQ(2u, registry.OpenHandleCount());
        ASSERT_TRUE(reader.ConnectRoot(platform::kHkeyLocalMachine, nullptr));
        EXPECT_EQ(1u, registry.OpenHandleCount());
    }
    EXPECT_EQ(0u, registry.OpenHandleCount());
}

TEST(MemoryRegistryTest, FunctionsWithoutMeaningAreNotSupported)
{
    MemoryRegistry registry;
    platform::Substitute<platform::Registry> use(registry);
    CRegistry subject;
    ASSERT_TRUE(subject.ConnectRoot(platform::kHkeyCurrentUser, nullptr));
    ASSERT_TRUE(subject.CreateKey(L"Software\\Hive", nullptr, 0, platform::kKeyAllAccess, nullptr,
                                  nullptr));
    EXPECT_FALSE(subject.SaveKey(L"c:\\hive.dat", nullptr));
    EXPECT_EQ(50, subject.GetLastErrorCode());
    EXPECT_FALSE(subject.RestoreKey(L"c:\\hive.dat", 0));
    EXPECT_EQ(50, subject.GetLastErrorCode());
    EXPECT_FALSE(subject.LoadKey(L"Hive", L"c:\\hive.dat"));
    EXPECT_EQ(50, subject.GetLastErrorCode());
    EXPECT_FALSE(subject.UnLoadKey(L"Hive"));
    EXPECT_FALSE(subject.ReplaceKey(L"Hive", L"a", L"b"));
    EXPECT_FALSE(subject.NotifyChange(0, 1, true, false));
    EXPECT_EQ(50, subject.GetLastErrorCode());
    std::uint32_t size = 0;
    EXPECT_FALSE(subject.GetKeySecurity(4, nullptr, size));
    EXPECT_FALSE(subject.SetKeySecurity(4, nullptr));
    EXPECT_EQ(50, subject.GetLastErrorCode());
}

TEST(MemoryRegistryTest, HandlesOfDeletedKeysFail)
{
    MemoryRegistry registry;
    platform::RegKey parent = 0;
    platform::RegKey child = 0;
    ASSERT_EQ(0, registry.CreateKey(platform::kHkeyCurrentUser, L"P", nullptr, 0,
                                    platform::kKeyAllAccess, nullptr, parent, nullptr));
    ASSERT_EQ(0, registry.CreateKey(parent, L"C", nullptr, 0, platform::kKeyAllAccess, nullptr,
                                    child, nullptr));
    EXPECT_EQ(5, registry.DeleteKey(platform::kHkeyCurrentUser, L"P"));  // has a subkey
    wchar_t name[8] = {};
    wchar_t keyClass[8] = {};
    std::uint32_t nameChars = 8;
    std::uint32_t classChars = 8;
    ASSERT_EQ(0, registry.EnumKey(parent, 0, name, nameChars, keyClass, &classChars, nullptr));
    EXPECT_EQ(L"C", std::wstring(name, nameChars));
    EXPECT_EQ(L"", std::wstring(keyClass, classChars));
    nameChars = 1;
    EXPECT_EQ(234, registry.EnumKey(parent, 0, name, nameChars, nullptr, nullptr, nullptr));
    EXPECT_EQ(0, registry.DeleteKey(parent, L"C"));
    EXPECT_EQ(platform::RegStatus(platform::kErrorKeyDeleted),
              registry.SetValue(child, L"V", platform::kRegSz, "", 0));
    EXPECT_EQ(0, registry.CloseKey(child));
    EXPECT_EQ(6, registry.CloseKey(child));
    EXPECT_EQ(0, registry.CloseKey(parent));
}

TEST(MemoryRegistryTest, RemoteComputersCannotBeReached)
{
    MemoryRegistry registry;
    platform::RegKey key = 0;
    EXPECT_EQ(platform::RegStatus(platform::kErrorBadNetPath),
              registry.ConnectRegistry(L"\\\\ELSEWHERE-PC", platform::kHkeyLocalMachine, key));
    const std::wstring local = L"\\\\" + registry.ComputerName();
    EXPECT_EQ(0, registry.ConnectRegistry(local.c_str(), platform::kHkeyLocalMachine, key));
    registry.CloseKey(key);
}

}  // namespace
