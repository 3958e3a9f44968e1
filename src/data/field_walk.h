#pragma once

#include "data/data_field.h"
#include "data/data_list.h"

namespace MBDataContainer {

// Calls `p_Visit` with every field of the data list in its full iteration order: the indexed
// sensor and UPS fields, then the disk fields.
template <class Visit>
void ForEachField(const DataList& p_List, Visit&& p_Visit)
{
    for (const DataList::FieldPtr& l_pField : p_List.Fields()) {
        if (l_pField) {
            p_Visit(*l_pField);
        }
    }
}

// Calls `p_Visit` with the disk fields in slot order.
template <class Visit>
void ForEachHddField(const DataList& p_List, Visit&& p_Visit)
{
    for (const DataList::FieldPtr& l_pField : p_List.HddFields()) {
        if (l_pField) {
            p_Visit(*l_pField);
        }
    }
}

}  // namespace MBDataContainer
