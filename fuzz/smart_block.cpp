// The S.M.A.R.T. attribute data block: 512 bytes in (shorter inputs padded with zeros, as the
// drive folder of the posix platform pads a short file).
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "acquisition/smart_attribute.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    constexpr std::size_t kBlockSize = 512;
    // Exactly one block on the heap, so a read past its end is caught.
    const auto block = std::make_unique<std::uint8_t[]>(kBlockSize);
    std::memcpy(block.get(), data, std::min(size, kBlockSize));
    const diag::SmartTable table = diag::ParseAttributeBlock(block.get());
    fuzz::Check(!table.empty() && table.size() <= 30, "a block has between 1 and 30 attributes");
    for (const auto& [id, attribute] : table) {
        fuzz::Check(attribute.Id == id, "an attribute is filed under its ID");
    }
    return 0;
}
