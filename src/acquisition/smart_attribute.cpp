#include "acquisition/smart_attribute.h"

#include <cstddef>

#include "platform/byte_order.h"

namespace diag {

SmartTable ParseAttributeBlock(const std::uint8_t* p_pBlock)
{
    SmartTable l_Table;
    for (std::size_t i = 0; i < kSmartBlockEntryCount; ++i) {
        const std::uint8_t* l_pEntry = p_pBlock + kSmartBlockFirstEntry + i * kSmartBlockEntrySize;
        SmartAttribute l_Attribute;
        l_Attribute.Id = l_pEntry[0];
        l_Attribute.StatusFlags = platform::le::Load16(l_pEntry + 1);
        l_Attribute.CurrentValue = l_pEntry[3];
        l_Attribute.WorstValue = l_pEntry[4];
        l_Attribute.RawValue = platform::le::Load16(l_pEntry + 5);
        l_Attribute.RawLow32 = platform::le::Load32(l_pEntry + 5);
        l_Table.emplace(l_Attribute.Id, l_Attribute);
    }
    return l_Table;
}

}  // namespace diag
