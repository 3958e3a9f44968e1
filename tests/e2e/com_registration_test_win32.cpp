// Registering and unregistering VW_Vexa.dll with regsvr32: exactly the add-on's list of entries,
// and nothing of the HMI runtime's own interfaces, which the add-on's calls do not need.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "VW_Zorbel.h"
#include "platform/win32/unique_resource.h"
#include "platform/win32/vwcontrol_com.h"
#include "registry_dump_win32.h"

namespace {

using Microsoft::WRL::ComPtr;
using platform::win32::UniqueHandle;
using platform::win32::UniqueTypeLibAttributes;
using namespace registry_dump;

constexpr TypeLibSystem kThisSystem =
    sizeof(void*) == 8 ? TypeLibSystem::kWin64 : TypeLibSystem::kWin32;

std::wstring DllPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring text = path;
    return text.substr(0, text.find_last_of(L'\\') + 1) + L"VW_Vexa.dll";
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
    return Run(L"regsvr32.exe /s " + options + L"\"" + DllPath() + L"\"");
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

TEST_F(ComRegistrationTest, WritesExactlyTheListsEntriesAndRemovesThemAll)
{
    const std::vector<ResolvedRegistryEntry> entries = AddOnEntries(DllPath(), kThisSystem);
    const std::vector<std::wstring> owned = OwnedRootKeys(entries);

    ASSERT_EQ(Regsvr32(L""), 0);
    EXPECT_EQ(Lines(DumpClassesKeys(owned)), Lines(ListedDump(entries)));
    ASSERT_EQ(Regsvr32(L"/u "), 0);
    EXPECT_EQ(Lines(DumpClassesKeys(owned)), L"");
    for (const wchar_t* container : {L"CLSID", L"TypeLib"}) {
        platform::win32::UniqueRegistryKey key;
        EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, container, 0, KEY_READ, key.Put()),
                  ERROR_SUCCESS)
            << "the system's containers stay";
    }
}

TEST_F(ComRegistrationTest, LeavesTheRuntimesInterfaceEntriesAsTheyWere)
{
    // Present in one view and absent in the other, the way a machine may hold them: regsvr32
    // must neither rewrite, nor add, nor delete any of them, so their keys keep their last-write
    // times (Wine's registry records them, as Windows does).
    ASSERT_TRUE(LayRuntimeEntry(IID_IVWService, KEY_WOW64_64KEY, L"IVWService"));
    ASSERT_TRUE(LayRuntimeEntry(IID_IVWService, KEY_WOW64_32KEY, L"IVWService"));
    ASSERT_TRUE(LayRuntimeEntry(IID_IVWServiceEvents, KEY_WOW64_64KEY, L"IVWServiceEvents"));
    ASSERT_TRUE(LayRuntimeEntry(IID_IVWControl, KEY_WOW64_64KEY, L"IVWControl"));
    ASSERT_TRUE(
        LayRuntimeEntry(platform::win32::kIidEngineController, KEY_WOW64_32KEY, L"IVWEController"));
    const KeyDump before = DumpRuntimeEntries();
    const KeyTimes timesBefore = RuntimeKeyTimes();
    // Each entry: the key with its name and method count, its proxy and its type library.
    ASSERT_EQ(before.size(), 5u * 8u);
    ASSERT_EQ(timesBefore.size(), 5u * 3u);

    ASSERT_EQ(Regsvr32(L""), 0);
    EXPECT_EQ(DumpRuntimeEntries(), before) << "after regsvr32";
    EXPECT_EQ(Lines(RuntimeKeyTimes()), Lines(timesBefore)) << "after regsvr32";
    ASSERT_EQ(Regsvr32(L"/u "), 0);
    EXPECT_EQ(DumpRuntimeEntries(), before) << "after regsvr32 /u";
    EXPECT_EQ(Lines(RuntimeKeyTimes()), Lines(timesBefore)) << "after regsvr32 /u";
}

TEST_F(ComRegistrationTest, TheRuntimesCallsWorkWithoutEntriesOfItsInterfaces)
{
    // The runtime creates the object in-process by its ProgID on one thread and may call it from
    // others: the free-threaded marshaler hands every apartment the object itself, so no proxy,
    // and no entry of IVWService, is needed.
    ASSERT_EQ(Regsvr32(L""), 0);
    EXPECT_EQ(DumpRuntimeEntries(), KeyDump()) << "after regsvr32";
    IStream* stream = nullptr;
    std::thread creator([&stream] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        CLSID clsid = {};
        ComPtr<IVWService> service;
        if (SUCCEEDED(CLSIDFromProgID(L"VW_Vexa.VW_Vexa.1", &clsid)) &&
            SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IVWService,
                                       reinterpret_cast<void**>(service.GetAddressOf())))) {
            CoMarshalInterThreadInterfaceInStream(IID_IVWService, service.Get(), &stream);
        }
        service.Reset();
        CoUninitialize();
    });
    creator.join();
    ASSERT_NE(stream, nullptr);
    std::thread caller([stream] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ComPtr<IVWService> service;
        EXPECT_EQ(CoGetInterfaceAndReleaseStream(stream, IID_IVWService,
                                                 reinterpret_cast<void**>(service.GetAddressOf())),
                  S_OK);
        if (service) {
            LONG counter = 7;
            tagSERVER_STATE state = SERVER_DOWN;
            EXPECT_EQ(service->SPing(&counter, &state), S_OK);
            EXPECT_EQ(state, SERVER_ACTIVE);
            EXPECT_EQ(service->SStopServer(), S_OK);
        }
        service.Reset();
        CoUninitialize();
    });
    caller.join();
    ASSERT_EQ(Regsvr32(L"/u "), 0);
    EXPECT_EQ(DumpRuntimeEntries(), KeyDump()) << "after regsvr32 /u";
}

TEST(RegistryEntriesTest, TheTypeLibrarysEntriesAgreeWithTheLibraryTheModuleCarries)
{
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx(DllPath().c_str(), REGKIND_NONE, library.GetAddressOf()), S_OK);
    UniqueTypeLibAttributes attributes;
    ASSERT_EQ(platform::win32::GetTypeLibAttributes(library.Get(), attributes), S_OK);
    const TLIBATTR& library_attributes = *attributes.Get().attributes;
    BSTR help = nullptr;
    ASSERT_EQ(library->GetDocumentation(-1, nullptr, &help, nullptr, nullptr), S_OK);
    const platform::win32::UniqueBstr helpText(help);

    const std::wstring versionKey = L"TypeLib\\" + GuidText(library_attributes.guid) + L"\\" +
                                    std::to_wstring(library_attributes.wMajorVerNum) + L"." +
                                    std::to_wstring(library_attributes.wMinorVerNum);
    const std::wstring system = library_attributes.syskind == SYS_WIN64 ? L"win64" : L"win32";
    struct {
        std::wstring key;
        std::wstring value;
    } const cases[] = {
        {versionKey, helpText.Get()},
        {versionKey + L"\\0\\" + system, DllPath()},
    };
    const std::vector<ResolvedRegistryEntry> entries = AddOnEntries(DllPath(), kThisSystem);
    for (const auto& expected : cases) {
        SCOPED_TRACE(std::string(expected.key.begin(), expected.key.end()));
        const auto found = std::find_if(entries.begin(), entries.end(), [&](const auto& entry) {
            return entry.key == expected.key && entry.hasValue && entry.name.empty();
        });
        ASSERT_NE(found, entries.end());
        EXPECT_EQ(found->value, expected.value);
    }
}

TEST(RegistryEntriesTest, OwnedRootKeys)
{
    struct {
        const wchar_t* key;
        const wchar_t* root;
    } const cases[] = {
        {L"VW_Vexa.VW_Vexa.1", L"VW_Vexa.VW_Vexa.1"},
        {L"VW_Zorbel.VW_ZorbelObj\\CurVer", L"VW_Zorbel.VW_ZorbelObj"},
        {L"CLSID\\{C062FA4F}\\InprocServer32", L"CLSID\\{C062FA4F}"},
        {L"clsid\\{C062FA4F}", L"clsid\\{C062FA4F}"},
        {L"TypeLib\\{08EE4F7F}\\1.0\\0\\win64", L"TypeLib\\{08EE4F7F}"},
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(std::string(expected.key, expected.key + wcslen(expected.key)));
        EXPECT_EQ(OwnedRootKey(expected.key), expected.root);
    }
}

}  // namespace
