// Registering and unregistering VW_Vexa.dll with regsvr32, on a machine where the HMI runtime
// has registered its own interfaces.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "VW_Zorbel.h"
#include "platform/win32/unique_resource.h"
#include "platform/win32/vwcontrol_com.h"

namespace {

using platform::win32::UniqueHandle;
using platform::win32::UniqueRegistryKey;

std::wstring ExecutableFolder()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring text = path;
    return text.substr(0, text.find_last_of(L'\\') + 1);
}

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

std::wstring InterfaceKey(REFIID iid)
{
    return L"Interface\\" + GuidText(iid);
}

// Runs `commandLine` and returns its exit code (-1 when it could not be started).
long Run(std::wstring commandLine)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    const UniqueHandle processHandle(process.hProcess);
    const UniqueHandle threadHandle(process.hThread);
    WaitForSingleObject(processHandle.Get(), 60000);
    DWORD exitCode = 0;
    GetExitCodeProcess(processHandle.Get(), &exitCode);
    return static_cast<long>(exitCode);
}

long Regsvr32(const std::wstring& options)
{
    return Run(L"regsvr32.exe /s " + options + L"\"" + ExecutableFolder() + L"VW_Vexa.dll\"");
}

bool KeyExists(const std::wstring& path, REGSAM view = 0)
{
    UniqueRegistryKey key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ | view, key.Put()) ==
           ERROR_SUCCESS;
}

// Calls `visit` with each subkey of `key` that opens for reading, and its name.
void ForEachSubkey(HKEY key, const std::function<void(HKEY, const std::wstring&)>& visit)
{
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD nameChars = 256;
        if (RegEnumKeyExW(key, index, name, &nameChars, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            return;
        }
        UniqueRegistryKey child;
        const std::wstring childName(name, nameChars);
        if (RegOpenKeyExW(key, childName.c_str(), 0, KEY_READ, child.Put()) == ERROR_SUCCESS) {
            visit(child.Get(), childName);
        }
    }
}

// Every value below a key, one entry per value: "subkey path|value name" -> type and bytes in hex.
using KeyDump = std::map<std::wstring, std::wstring>;

void DumpKey(HKEY key, const std::wstring& prefix, KeyDump& dump)
{
    dump[prefix + L"|(key)"] = L"";
    wchar_t name[256];
    BYTE data[1024];
    for (DWORD index = 0;; ++index) {
        DWORD nameChars = 256;
        DWORD type = 0;
        DWORD bytes = sizeof data;
        if (RegEnumValueW(key, index, name, &nameChars, nullptr, &type, data, &bytes) !=
            ERROR_SUCCESS) {
            break;
        }
        std::wstring text = std::to_wstring(type) + L":";
        for (DWORD i = 0; i < bytes; ++i) {
            wchar_t hex[4];
            swprintf(hex, 4, L"%02x", data[i]);
            text += hex;
        }
        dump[prefix + L"|" + std::wstring(name, nameChars)] = text;
    }
    ForEachSubkey(key, [&](HKEY child, const std::wstring& childName) {
        DumpKey(child, prefix + L"\\" + childName, dump);
    });
}

// The HMI runtime's interfaces, each in both registry views.
struct RuntimeEntry {
    IID iid;
    REGSAM view;
};

std::vector<RuntimeEntry> RuntimeEntries()
{
    std::vector<RuntimeEntry> entries;
    for (const IID& iid : {IID_IVWService, IID_IVWServiceEvents, IID_IVWControl,
                           platform::win32::kIidEngineController}) {
        for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            entries.push_back({iid, view});
        }
    }
    return entries;
}

KeyDump DumpRuntimeEntries()
{
    KeyDump dump;
    for (const RuntimeEntry& entry : RuntimeEntries()) {
        const std::wstring path = InterfaceKey(entry.iid);
        UniqueRegistryKey key;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ | entry.view, key.Put()) ==
            ERROR_SUCCESS) {
            DumpKey(key.Get(), (entry.view == KEY_WOW64_32KEY ? L"32:" : L"64:") + path, dump);
        }
    }
    return dump;
}

// The last-write time of every key below the runtime's entry of `iid` in `view`, by key path.
using KeyTimes = std::map<std::wstring, ULONGLONG>;

void CollectKeyTimes(HKEY key, const std::wstring& path, KeyTimes& times)
{
    FILETIME written = {};
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, &written) == ERROR_SUCCESS) {
        times[path] = (ULONGLONG{written.dwHighDateTime} << 32) | written.dwLowDateTime;
    }
    ForEachSubkey(key, [&](HKEY child, const std::wstring& childName) {
        CollectKeyTimes(child, path + L"\\" + childName, times);
    });
}

KeyTimes RuntimeKeyTimes(REFIID iid, REGSAM view)
{
    KeyTimes times;
    UniqueRegistryKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, InterfaceKey(iid).c_str(), 0, KEY_READ | view,
                      key.Put()) == ERROR_SUCCESS) {
        CollectKeyTimes(key.Get(), InterfaceKey(iid), times);
    }
    return times;
}

void SetText(HKEY root, const std::wstring& path, REGSAM view, const wchar_t* name,
             const std::wstring& value)
{
    UniqueRegistryKey key;
    ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr,
                              key.Put(), nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// The runtime's entry of one interface as its own registration writes it: marshaled through the
// runtime's type library, with a count of methods as a number.
void LayRuntimeEntry(REFIID iid, REGSAM view, const std::wstring& name)
{
    const std::wstring path = InterfaceKey(iid);
    const std::wstring runtimeLibrary = L"{5BE21300-224B-11D2-97EA-00A024A8F6A1}";
    SetText(HKEY_CLASSES_ROOT, path, view, nullptr, name);
    SetText(HKEY_CLASSES_ROOT, path + L"\\ProxyStubClsid32", view, nullptr,
            L"{00020424-0000-0000-C000-000000000046}");
    SetText(HKEY_CLASSES_ROOT, path + L"\\TypeLib", view, nullptr, runtimeLibrary);
    SetText(HKEY_CLASSES_ROOT, path + L"\\TypeLib", view, L"Version", L"3.1");
    UniqueRegistryKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_WRITE | view, key.Put()),
              ERROR_SUCCESS);
    const DWORD methods = 10;
    RegSetValueExW(key.Get(), L"NumMethods", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&methods),
                   sizeof methods);
}

void DeleteRuntimeEntries()
{
    for (const RuntimeEntry& entry : RuntimeEntries()) {
        UniqueRegistryKey parent;
        if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"Interface", 0, KEY_ALL_ACCESS | entry.view,
                          parent.Put()) == ERROR_SUCCESS) {
            RegDeleteTreeW(parent.Get(), GuidText(entry.iid).c_str());
        }
    }
}

class ComRegistrationTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteRuntimeEntries(); }
    void TearDown() override
    {
        Regsvr32(L"/u ");
        DeleteRuntimeEntries();
    }
};

TEST_F(ComRegistrationTest, LeavesTheRuntimesInterfaceEntriesAsTheyWere)
{
    // Present in one view and absent in the other, the way a machine may hold them: regsvr32
    // must neither rewrite, nor add, nor delete any of them.
    LayRuntimeEntry(IID_IVWService, KEY_WOW64_64KEY, L"IVWService");
    LayRuntimeEntry(IID_IVWService, KEY_WOW64_32KEY, L"IVWService");
    LayRuntimeEntry(IID_IVWServiceEvents, KEY_WOW64_64KEY, L"IVWServiceEvents");
    LayRuntimeEntry(IID_IVWControl, KEY_WOW64_64KEY, L"IVWControl");
    LayRuntimeEntry(platform::win32::kIidEngineController, KEY_WOW64_32KEY, L"IVWEController");
    const KeyDump before = DumpRuntimeEntries();
    // Each entry: the key with its name and method count, its proxy and its type library.
    ASSERT_EQ(before.size(), 5u * 8u);

    ASSERT_EQ(Regsvr32(L""), 0);
    EXPECT_TRUE(KeyExists(L"VW_Vexa.VW_Vexa.1"));
    EXPECT_TRUE(KeyExists(L"TypeLib\\" + GuidText(LIBID_VW_ZORBELLib)));
    EXPECT_EQ(DumpRuntimeEntries(), before) << "after regsvr32";

    ASSERT_EQ(Regsvr32(L"/u "), 0);
    EXPECT_FALSE(KeyExists(L"VW_Vexa.VW_Vexa.1"));
    EXPECT_FALSE(KeyExists(L"TypeLib\\" + GuidText(LIBID_VW_ZORBELLib)));
    EXPECT_EQ(DumpRuntimeEntries(), before) << "after regsvr32 /u";
}

TEST_F(ComRegistrationTest, WritesNoneOfTheRuntimesEntriesThatTheTypeLibraryLeavesAlone)
{
    // The add-on's type library does not describe the engine manager's controller: registering
    // and unregistering it change nothing of its entries, so they keep their last-write times
    // (Wine's registry files record them, as Windows does). The library's own interfaces are
    // rewritten by the type-library calls themselves and are not checked here.
    const IID& untouched = platform::win32::kIidEngineController;
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        LayRuntimeEntry(untouched, view, L"IVWEController");
        LayRuntimeEntry(IID_IVWControl, view, L"IVWControl");
    }
    const KeyTimes before64 = RuntimeKeyTimes(untouched, KEY_WOW64_64KEY);
    const KeyTimes before32 = RuntimeKeyTimes(untouched, KEY_WOW64_32KEY);
    ASSERT_EQ(before64.size(), 3u);
    ASSERT_EQ(before32.size(), 3u);

    ASSERT_EQ(Regsvr32(L""), 0);
    EXPECT_EQ(RuntimeKeyTimes(untouched, KEY_WOW64_64KEY), before64) << "after regsvr32";
    EXPECT_EQ(RuntimeKeyTimes(untouched, KEY_WOW64_32KEY), before32) << "after regsvr32";
    ASSERT_EQ(Regsvr32(L"/u "), 0);
    EXPECT_EQ(RuntimeKeyTimes(untouched, KEY_WOW64_64KEY), before64) << "after regsvr32 /u";
    EXPECT_EQ(RuntimeKeyTimes(untouched, KEY_WOW64_32KEY), before32) << "after regsvr32 /u";
}

TEST_F(ComRegistrationTest, AddsNoEntriesOfTheRuntimesInterfacesOnAMachineWithoutThem)
{
    ASSERT_EQ(Regsvr32(L""), 0);
    EXPECT_TRUE(KeyExists(L"VW_Vexa.VW_Vexa.1"));
    EXPECT_EQ(DumpRuntimeEntries(), KeyDump()) << "after regsvr32";
    ASSERT_EQ(Regsvr32(L"/u "), 0);
    EXPECT_EQ(DumpRuntimeEntries(), KeyDump()) << "after regsvr32 /u";
}

}  // namespace
