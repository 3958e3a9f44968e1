#include "broadcast/broadcast.h"

#include "settings/values_file.h"

namespace MBBroadcast {

Broadcast::Broadcast(MBDataContainer::DataList* p_pDataList)
    : m_pDataList(p_pDataList), m_strValuesFile(GetValuesFilePath())
{
}

Broadcast::~Broadcast() = default;

}  // namespace MBBroadcast
