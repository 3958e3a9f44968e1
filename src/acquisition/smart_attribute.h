#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

namespace diag {

// One attribute of a drive's S.M.A.R.T. table, as kept in memory. Of the 48-bit raw value the
// counters use the low 16 bits; power-on hours, which pass 65,535 after 7.5 years, its low 32.
struct SmartAttribute {
    std::uint8_t Id = 0;
    std::uint16_t StatusFlags = 0;
    std::uint8_t CurrentValue = 0;
    std::uint8_t WorstValue = 0;
    std::uint16_t RawValue = 0;  // raw bytes 0-1 (entry bytes 5-6)
    std::uint32_t RawLow32 = 0;  // raw bytes 0-3 (entry bytes 5-8)
};

using SmartTable = std::unordered_map<std::uint8_t, SmartAttribute>;

// The layout the attribute data block and the threshold block share: a revision word, then 30
// entries of 12 bytes, each beginning with the attribute's ID.
constexpr std::size_t kSmartBlockFirstEntry = 2;
constexpr std::size_t kSmartBlockEntrySize = 12;
constexpr std::size_t kSmartBlockEntryCount = 30;

// The attributes of a 512-byte attribute data block: 30 entries of 12 bytes from offset 2 (the
// revision word before them is not used). Of two entries with one ID the first is kept; entries
// with ID 0 count like any other.
SmartTable ParseAttributeBlock(const std::uint8_t* p_pBlock);

}  // namespace diag
