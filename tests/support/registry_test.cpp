// Runs against the registry of the build: Wine's real one under MinGW, the in-memory substitute
// natively. Every test works below its own key under HKEY_CURRENT_USER and removes it.
#include "support/registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "support/failing_allocations.h"

namespace {

const wchar_t* const kBase = L"Software\\VexaRegistryTest";

class RegistryTest : public testing::Test {
protected:
    void SetUp() override
    {
        const char* name = testing::UnitTest::GetInstance()->current_test_info()->name();
        m_strKey = std::wstring(kBase) + L"\\" + std::wstring(name, name + std::strlen(name));
        ASSERT_TRUE(m_Registry.ConnectRoot(platform::kHkeyCurrentUser, nullptr));
        ASSERT_TRUE(m_Registry.CreateKey(m_strKey.c_str(), nullptr, 0, platform::kKeyAllAccess,
                                         nullptr, nullptr));
    }

    void TearDown() override
    {
        CRegistry cleaner;
        ASSERT_TRUE(cleaner.ConnectRoot(platform::kHkeyCurrentUser, nullptr));
        cleaner.DeleteKey(m_strKey.c_str());
        ASSERT_TRUE(cleaner.OpenKey(kBase, platform::kKeyAllAccess));
        if (cleaner.GetSubKeyCount() == 0) {
            cleaner.DeleteKey(L"Software\\VexaRegistryTest");
        }
    }

    std::wstring m_strKey;
    CRegistry m_Registry;
};

TEST(RegistryRootTest, RootKeyNamesAreExactAndCaseSensitive)
{
    EXPECT_EQ(platform::kHkeyLocalMachine, CRegistry::GetRootKeyHandle(L"HKEY_LOCAL_MACHINE"));
    EXPECT_EQ(platform::kHkeyClassesRoot, CRegistry::GetRootKeyHandle(L"HKEY_CLASSES_ROOT"));
    EXPECT_EQ(platform::kHkeyCurrentUser, CRegistry::GetRootKeyHandle(L"HKEY_CURRENT_USER"));
    EXPECT_EQ(platform::kHkeyUsers, CRegistry::GetRootKeyHandle(L"HKEY_USERS"));
    EXPECT_EQ(platform::kHkeyCurrentConfig, CRegistry::GetRootKeyHandle(L"HKEY_CURRENT_CONFIG"));
    EXPECT_EQ(platform::kHkeyPerformanceData,
              CRegistry::GetRootKeyHandle(L"HKEY_PERFORMANCE_DATA"));
    EXPECT_EQ(platform::kHkeyDynData, CRegistry::GetRootKeyHandle(L"HKEY_DYN_DATA"));
    EXPECT_EQ(0u, CRegistry::GetRootKeyHandle(L"hkey_local_machine"));
    EXPECT_EQ(0u, CRegistry::GetRootKeyHandle(L"HKLM"));

    CRegistry registry;
    EXPECT_FALSE(registry.ConnectRoot(CRegistry::GetRootKeyHandle(L"hkey_local_machine"), nullptr));
    EXPECT_EQ(6, registry.GetLastErrorCode());
}

TEST(RegistryRootTest, LocalOnlyRootsRefuseAComputerName)
{
    CRegistry registry;
    EXPECT_FALSE(registry.ConnectRoot(platform::kHkeyCurrentUser, L"OTHERPC"));
    EXPECT_EQ(6, registry.GetLastErrorCode());
    EXPECT_FALSE(registry.ConnectRoot(platform::kHkeyClassesRoot, L"OTHERPC"));
    EXPECT_EQ(6, registry.GetLastErrorCode());
}

TEST(RegistryRootTest, ConnectsToTheLocalMachine)
{
    CRegistry registry;
    ASSERT_TRUE(registry.ConnectRoot(platform::kHkeyLocalMachine, nullptr));
    EXPECT_EQ(0, registry.GetLastErrorCode());
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE", registry.GetRootKeyName());
    EXPECT_FALSE(registry.GetComputer().empty());
    EXPECT_TRUE(registry.Close());
    EXPECT_EQ(L"", registry.GetRootKeyName());
    EXPECT_EQ(L"", registry.GetComputer());
}

TEST(RegistryRootTest, OpenKeyWithoutRootFailsAndKeepsTheErrorCode)
{
    CRegistry registry;
    std::uint32_t value = 0;
    EXPECT_FALSE(registry.ReadDword(static_cast<const wchar_t*>(nullptr), value));
    EXPECT_EQ(87, registry.GetLastErrorCode());
    EXPECT_FALSE(registry.OpenKey(L"Software", platform::kKeyRead));
    EXPECT_EQ(87, registry.GetLastErrorCode());
}

TEST_F(RegistryTest, WritesAndReadsEveryValueKind)
{
    EXPECT_TRUE(m_Registry.WriteDword(L"Flags", 0x180u));
    EXPECT_TRUE(m_Registry.WriteString(L"Text", L"C9900-U330"));
    EXPECT_TRUE(m_Registry.WriteBinary(L"Bytes", CRegistry::ByteArray{1, 2, 0, 255}));
    EXPECT_TRUE(m_Registry.WriteMultiString(L"List", CRegistry::StringArray{L"a", L"bc", L"d"}));

    ASSERT_TRUE(m_Registry.OpenKey(m_strKey.c_str(), platform::kKeyRead));
    EXPECT_EQ(4u, m_Registry.GetValueCount());
    EXPECT_EQ(0u, m_Registry.GetSubKeyCount());
    EXPECT_EQ(m_strKey, m_Registry.GetKeyName());

    std::uint32_t flags = 0;
    EXPECT_TRUE(m_Registry.ReadDword(L"Flags", flags));
    EXPECT_EQ(0x180u, flags);
    std::wstring text;
    EXPECT_TRUE(m_Registry.ReadString(L"Text", text));
    EXPECT_EQ(L"C9900-U330", text);
    CRegistry::ByteArray bytes;
    EXPECT_TRUE(m_Registry.ReadBinary(L"Bytes", bytes));
    EXPECT_EQ((CRegistry::ByteArray{1, 2, 0, 255}), bytes);
    CRegistry::StringArray list{L"old"};
    EXPECT_TRUE(m_Registry.ReadMultiString(L"List", list));
    EXPECT_EQ((CRegistry::StringArray{L"a", L"bc", L"d"}), list);

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_TRUE(m_Registry.QueryValue(L"Text", type, nullptr, size));
    EXPECT_EQ(platform::kRegSz, type);
    EXPECT_EQ(22u, size);  // 10 characters and the terminator, UTF-16
}

TEST_F(RegistryTest, ReadDwordTakesAnyFourBytesAndRefusesLongerData)
{
    ASSERT_TRUE(m_Registry.WriteBinary(L"Four", CRegistry::ByteArray{0x2a, 0, 0, 0}));
    ASSERT_TRUE(m_Registry.WriteString(L"Long", L"text"));
    std::uint32_t value = 7;
    EXPECT_TRUE(m_Registry.ReadDword(L"Four", value));
    EXPECT_EQ(42u, value);
    EXPECT_FALSE(m_Registry.ReadDword(L"Long", value));
    EXPECT_EQ(234, m_Registry.GetLastErrorCode());
    EXPECT_FALSE(m_Registry.ReadDword(L"Missing", value));
    EXPECT_EQ(2, m_Registry.GetLastErrorCode());
}

TEST_F(RegistryTest, FailedStringReadEmptiesTheText)
{
    std::wstring text = L"stale";
    EXPECT_FALSE(m_Registry.ReadString(L"Missing", text));
    EXPECT_EQ(2, m_Registry.GetLastErrorCode());
    EXPECT_EQ(L"", text);
    ASSERT_TRUE(m_Registry.WriteString(L"Long", std::wstring(1100, L'x')));
    text = L"stale";
    EXPECT_FALSE(m_Registry.ReadString(L"Long", text));
    EXPECT_EQ(234, m_Registry.GetLastErrorCode());
    EXPECT_EQ(L"", text);
}

TEST_F(RegistryTest, StringReadHoldsAtMost1023Characters)
{
    // 1024 characters and no terminator fill the 2048-byte buffer exactly.
    CRegistry::ByteArray unterminated;
    for (int i = 0; i < 1024; ++i) {
        unterminated.push_back('a');
        unterminated.push_back(0);
    }
    ASSERT_TRUE(m_Registry.WriteBinary(L"Full", unterminated));
    std::wstring text;
    if (m_Registry.ReadString(L"Full", text)) {
        EXPECT_EQ(std::wstring(1023, L'a'), text);
    } else {
        EXPECT_EQ(L"", text);
    }
}

TEST_F(RegistryTest, MissingArgumentsFailWithInvalidParameter)
{
    std::uint32_t value = 0;
    EXPECT_FALSE(m_Registry.ReadDword(std::wstring(), value));
    EXPECT_EQ(87, m_Registry.GetLastErrorCode());
    EXPECT_TRUE(m_Registry.WriteDword(L"X", 1));
    EXPECT_FALSE(m_Registry.WriteValue(L"X", platform::kRegDword, nullptr, 4));
    EXPECT_EQ(87, m_Registry.GetLastErrorCode());
    EXPECT_FALSE(m_Registry.WriteString(std::wstring(), std::wstring(L"x")));
    EXPECT_EQ(87, m_Registry.GetLastErrorCode());
    EXPECT_FALSE(m_Registry.SaveKey(nullptr, nullptr));
    EXPECT_EQ(87, m_Registry.GetLastErrorCode());
    EXPECT_FALSE(m_Registry.DeleteKey(nullptr));
    EXPECT_EQ(87, m_Registry.GetLastErrorCode());
}

TEST_F(RegistryTest, EnumeratesSubkeysAndValues)
{
    const std::wstring child = m_strKey + L"\\Child";
    std::uint32_t disposition = 0;
    ASSERT_TRUE(m_Registry.CreateKey(child.c_str(), L"VexaClass", 0, platform::kKeyAllAccess,
                                     nullptr, &disposition));
    EXPECT_EQ(platform::kRegCreatedNewKey, disposition);
    ASSERT_TRUE(m_Registry.CreateKey(child.c_str(), nullptr, 0, platform::kKeyAllAccess, nullptr,
                                     &disposition));
    EXPECT_EQ(platform::kRegOpenedExistingKey, disposition);
    ASSERT_TRUE(m_Registry.WriteDword(L"Count", 3));

    ASSERT_TRUE(m_Registry.OpenKey(m_strKey.c_str(), platform::kKeyAllAccess));
    EXPECT_EQ(1u, m_Registry.GetSubKeyCount());
    std::wstring name;
    std::wstring keyClass;
    EXPECT_TRUE(m_Registry.EnumKey(0, name, keyClass));
    EXPECT_EQ(L"Child", name);  // (Wine keeps no key classes)
    EXPECT_FALSE(m_Registry.EnumKey(1, name, keyClass));
    EXPECT_EQ(259, m_Registry.GetLastErrorCode());

    ASSERT_TRUE(m_Registry.OpenKey(child.c_str(), platform::kKeyAllAccess));
    std::uint8_t data[8] = {};
    std::uint32_t type = 0;
    std::uint32_t size = sizeof(data);
    EXPECT_TRUE(m_Registry.EnumValue(0, name, type, data, size));
    EXPECT_EQ(L"Count", name);
    EXPECT_EQ(platform::kRegDword, type);
    EXPECT_EQ(4u, size);
    EXPECT_EQ(3, data[0]);
    EXPECT_TRUE(m_Registry.DeleteValue(L"Count"));
    size = sizeof(data);
    EXPECT_FALSE(m_Registry.EnumValue(0, name, type, data, size));
    EXPECT_EQ(259, m_Registry.GetLastErrorCode());
    EXPECT_TRUE(m_Registry.Flush());
}

TEST_F(RegistryTest, DeleteKeyRemovesNestedSubkeys)
{
    for (const wchar_t* path : {L"\\A\\B\\C", L"\\A\\B\\D", L"\\A\\E", L"\\Keep"}) {
        const std::wstring full = m_strKey + path;
        ASSERT_TRUE(m_Registry.CreateKey(full.c_str(), nullptr, 0, platform::kKeyAllAccess, nullptr,
                                         nullptr));
        ASSERT_TRUE(m_Registry.WriteDword(L"V", 1));
    }
    const std::wstring a = m_strKey + L"\\A";
    EXPECT_TRUE(m_Registry.DeleteKey(a.c_str()));
    EXPECT_EQ(m_strKey, m_Registry.GetKeyName());  // the parent is the open key now
    EXPECT_FALSE(m_Registry.OpenKey(a.c_str(), platform::kKeyRead));
    EXPECT_EQ(2, m_Registry.GetLastErrorCode());
    ASSERT_TRUE(m_Registry.OpenKey(m_strKey.c_str(), platform::kKeyAllAccess));
    EXPECT_EQ(1u, m_Registry.GetSubKeyCount());

    // Without a backslash the name is a subkey of the open key.
    EXPECT_TRUE(m_Registry.DeleteKey(L"Keep"));
    ASSERT_TRUE(m_Registry.QueryInfo());
    EXPECT_EQ(0u, m_Registry.GetSubKeyCount());
}

TEST_F(RegistryTest, DeleteKeyKeepsTheRememberedPathWhenTheParentIsMissing)
{
    ASSERT_TRUE(m_Registry.OpenKey(m_strKey.c_str(), platform::kKeyAllAccess));
    const std::wstring missing = m_strKey + L"\\No\\Such";
    EXPECT_FALSE(m_Registry.DeleteKey(missing.c_str()));
    EXPECT_EQ(2, m_Registry.GetLastErrorCode());
    EXPECT_EQ(m_strKey, m_Registry.GetKeyName());
}

TEST_F(RegistryTest, DeleteKeyRefusesNamesThatNameNoSubkey)
{
    const std::wstring child = m_strKey + L"\\A\\B";
    ASSERT_TRUE(
        m_Registry.CreateKey(child.c_str(), nullptr, 0, platform::kKeyAllAccess, nullptr, nullptr));
    ASSERT_TRUE(m_Registry.OpenKey(m_strKey.c_str(), platform::kKeyAllAccess));
    // An empty name would take the open key's whole subtree, "A\\" would take A itself.
    const std::wstring trailing = m_strKey + L"\\A\\";
    for (const wchar_t* path : {L"", L"A\\", L"A\\B\\", trailing.c_str()}) {
        EXPECT_FALSE(m_Registry.DeleteKey(path));
        EXPECT_EQ(87, m_Registry.GetLastErrorCode());
    }
    EXPECT_TRUE(m_Registry.OpenKey(child.c_str(), platform::kKeyRead));
}

// Every operation that allocates reports a failed allocation as error 8 instead of throwing.
TEST_F(RegistryTest, FailedAllocationsAreReportedNotThrown)
{
    ASSERT_TRUE(m_Registry.WriteString(L"S", L"text"));
    ASSERT_TRUE(m_Registry.WriteBinary(L"B", {1, 2}));
    ASSERT_TRUE(m_Registry.WriteMultiString(L"M", {L"a", L"b"}));
    const std::wstring child = m_strKey + L"\\Child";
    ASSERT_TRUE(
        m_Registry.CreateKey(child.c_str(), nullptr, 0, platform::kKeyAllAccess, nullptr, nullptr));
    ASSERT_TRUE(m_Registry.OpenKey(m_strKey.c_str(), platform::kKeyAllAccess));

    const std::wstring stringName = L"S";
    const std::wstring stringText = L"a longer text than fits inline";
    const CRegistry::StringArray strings = {L"first string of the list", L"second"};
    std::wstring text = L"kept only on success";
    std::wstring name;
    std::wstring keyClass;
    CRegistry::ByteArray bytes;
    CRegistry::StringArray read;
    struct Outcome {
        const char* operation;
        bool result;
        std::int32_t error;
    };
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::vector<Outcome> outcomes;
    outcomes.reserve(16);
    std::wstring names[3];
    bool namesCopied = false;
    std::size_t failed = 0;
    {
        const vexa_test::FailingAllocations failing;
        auto record = [&](const char* operation, bool result) {
            outcomes.push_back({operation, result, m_Registry.GetLastErrorCode()});
        };
        record("ReadString", m_Registry.ReadString(L"S", text));
        record("ReadString(wstring)", m_Registry.ReadString(stringName, text));
        record("ReadBinary", m_Registry.ReadBinary(L"B", bytes));
        record("ReadMultiString", m_Registry.ReadMultiString(L"M", read));
        record("EnumKey", m_Registry.EnumKey(0, name, keyClass));
        record("EnumValue", m_Registry.EnumValue(0, name, type, nullptr, size));
        record("QueryInfo", m_Registry.QueryInfo());
        record("WriteString", m_Registry.WriteString(L"S", stringText.c_str()));
        record("WriteString(wstring)", m_Registry.WriteString(stringName, stringText));
        record("WriteMultiString", m_Registry.WriteMultiString(L"M", strings));
        // The name getters have no error code to set: they give an empty name instead.
        try {
            names[0] = m_Registry.GetKeyName();
            names[1] = m_Registry.GetRootKeyName();
            names[2] = m_Registry.GetComputer();
            namesCopied = true;
        } catch (...) {
        }
        failed = failing.Count();
    }
    EXPECT_TRUE(namesCopied);
    // (A computer name short enough to be held without memory may still come back.)
    EXPECT_EQ(L"", names[0]);
    EXPECT_EQ(L"", names[1]);
    EXPECT_GT(failed, 0u);
    ASSERT_EQ(10u, outcomes.size());
    for (const Outcome& outcome : outcomes) {
        EXPECT_FALSE(outcome.result) << outcome.operation;
        EXPECT_EQ(8, outcome.error) << outcome.operation;
    }
    EXPECT_EQ(L"", text);
    // Nothing was written, and the class works again once memory is there.
    std::wstring stored;
    EXPECT_TRUE(m_Registry.ReadString(L"S", stored));
    EXPECT_EQ(L"text", stored);
    EXPECT_TRUE(m_Registry.ReadMultiString(L"M", read));
    EXPECT_EQ((CRegistry::StringArray{L"a", L"b"}), read);
}

TEST_F(RegistryTest, CloseForgetsEverything)
{
    ASSERT_TRUE(m_Registry.OpenKey(m_strKey.c_str(), platform::kKeyRead));
    EXPECT_TRUE(m_Registry.Close());
    EXPECT_EQ(L"", m_Registry.GetKeyName());
    EXPECT_EQ(L"", m_Registry.GetRootKeyName());
    EXPECT_EQ(0u, m_Registry.GetValueCount());
    EXPECT_TRUE(m_Registry.Close());
    std::uint32_t value = 0;
    EXPECT_FALSE(m_Registry.ReadDword(L"X", value));
    ASSERT_TRUE(m_Registry.ConnectRoot(platform::kHkeyCurrentUser, nullptr));
}

}  // namespace
