// The S.M.A.R.T. attribute data block: 512 bytes in (a shorter input is padded with zeros, as
// the drive folder of the posix platform pads a short file). Parsed directly, then read through
// the reader and the drive's control codes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "acquisition/smart_attribute.h"
#include "acquisition/smart_reader.h"
#include "fakes/memory_profile.h"
#include "fuzz_support.h"
#include "platform/posix/smart_folder.h"
#include "platform/seam.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t kBlockSize = 512;
    static const fuzz::ScratchFile s_file("PhysicalDrive0.bin");
    static fakes::MemoryProfile s_profile;  // no settings: the log stays at its default level
    static const platform::Substitute<platform::Profile> s_useProfile(s_profile);
    static platform::SmartFolder s_drives(s_file.Path().substr(0, s_file.Path().rfind('/')));
    static const platform::Substitute<platform::DiskDevice> s_useDrives(s_drives);

    // Exactly one block on the heap, so a read past its end is caught.
    const auto block = std::make_unique<std::uint8_t[]>(kBlockSize);
    std::memcpy(block.get(), data, std::min(size, kBlockSize));
    const diag::SmartTable table = diag::ParseAttributeBlock(block.get());
    fuzz::Check(!table.empty() && table.size() <= 30, "a block has between 1 and 30 attributes");
    for (const auto& [id, attribute] : table) {
        fuzz::Check(attribute.Id == id, "an attribute is filed under its ID");
    }

    s_file.Write(std::string(reinterpret_cast<const char*>(data), std::min(size, kBlockSize)));
    diag::SmartReader::ForgetAutoOffline();
    const diag::SmartReader reader(L"", L"");
    for (const auto& [id, attribute] : table) {
        const diag::SmartAttribute read = reader.GetSmartValue(id, 0);
        fuzz::Check(read.Id == attribute.Id && read.StatusFlags == attribute.StatusFlags &&
                        read.CurrentValue == attribute.CurrentValue &&
                        read.WorstValue == attribute.WorstValue &&
                        read.RawValue == attribute.RawValue,
                    "the drive's block reads as parsed");
    }
    return 0;
}
