// vexa-registry-probe: the classes root as the package tests compare it, from a shell.
//   lay-runtime              writes the HMI runtime's interface entries in both views
//   runtime                  what those entries hold, and their keys' last-write times
//   owned 64|32 DLL          what the keys the add-on owns hold in that view, for the DLL's path
//   listed 64|32 DLL         what they hold when exactly the add-on's list is written
// One line a key, value or time, sorted; exit status 1 for bad usage or a failed write.
#include <windows.h>

#include <cstdio>
#include <string>

#include "registry_dump_win32.h"

namespace {

using namespace registry_dump;

void Print(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), bytes,
                        nullptr, nullptr);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"lay-runtime" && argc == 2) {
        const wchar_t* const names[] = {L"IVWService", L"IVWServiceEvents", L"IVWControl",
                                        L"IVWEController"};
        const std::vector<IID> interfaces = RuntimeInterfaces();
        for (std::size_t i = 0; i < interfaces.size(); ++i) {
            for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
                if (!LayRuntimeEntry(interfaces[i], view, names[i])) {
                    return 1;
                }
            }
        }
        return 0;
    }
    if (command == L"runtime" && argc == 2) {
        Print(Lines(DumpRuntimeEntries()) + Lines(RuntimeKeyTimes()));
        return 0;
    }
    const std::wstring bits = argc > 2 ? argv[2] : L"";
    if ((command == L"owned" || command == L"listed") && argc == 4 &&
        (bits == L"64" || bits == L"32")) {
        const std::vector<ResolvedRegistryEntry> entries =
            AddOnEntries(argv[3], bits == L"64" ? TypeLibSystem::kWin64 : TypeLibSystem::kWin32);
        Print(Lines(command == L"listed"
                        ? ListedDump(entries)
                        : DumpClassesKeys(OwnedRootKeys(entries),
                                          bits == L"64" ? KEY_WOW64_64KEY : KEY_WOW64_32KEY)));
        return 0;
    }
    std::fputs("usage: vexa-registry-probe lay-runtime | runtime | owned|listed 64|32 DLL\n",
               stderr);
    return 1;
}
