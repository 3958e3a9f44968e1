// The .reg loader of the posix registry: a file's bytes in, imported into the in-memory registry,
// which is then walked through the registry functions.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "standins/memory_registry.h"
#include "standins/reg_file.h"

namespace {

void Walk(platform::Registry& registry, platform::RegKey key, int depth)
{
    for (std::uint32_t index = 0;; ++index) {
        wchar_t name[16384];
        std::uint32_t nameChars = 16384;
        std::uint32_t type = 0;
        std::uint8_t bytes[256];
        std::uint32_t dataBytes = sizeof bytes;
        const std::int32_t result =
            registry.EnumValue(key, index, name, nameChars, &type, bytes, &dataBytes);
        if (result != 0 && result != 234) {  // ERROR_MORE_DATA: the value is larger than the buffer
            break;
        }
    }
    if (depth > 64) {
        return;
    }
    for (std::uint32_t index = 0;; ++index) {
        wchar_t name[256];
        std::uint32_t nameChars = 256;
        if (registry.EnumKey(key, index, name, nameChars, nullptr, nullptr, nullptr) != 0) {
            break;
        }
        platform::RegKey child = 0;
        if (registry.OpenKey(key, std::wstring(name, nameChars).c_str(), platform::kKeyRead,
                             child) == 0) {
            Walk(registry, child, depth + 1);
            registry.CloseKey(child);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const fuzz::ScratchFile s_file("machine.reg");
    s_file.Write(std::string(reinterpret_cast<const char*>(data), size));

    platform::MemoryRegistry registry;
    platform::ImportRegFile(registry, s_file.Path());
    fuzz::Check(registry.OpenHandleCount() == 0, "an import closes every key it opens");
    for (const platform::RegKey root : {platform::kHkeyLocalMachine, platform::kHkeyCurrentUser}) {
        Walk(registry, root, 0);
    }
    fuzz::Check(registry.OpenHandleCount() == 0, "the walk closes every key");
    return 0;
}
