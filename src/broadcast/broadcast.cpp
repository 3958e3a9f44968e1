#include "broadcast/broadcast.h"

#include "settings/settings.h"

namespace MBBroadcast {

Broadcast::Broadcast(MBDataContainer::DataList* p_pDataList)
    : m_pDataList(p_pDataList),
      m_strValuesFile(ResolvePath(L"%temp%\\VexaValues.ini", L"c:\\temp\\VexaValues.ini"))
{
}

Broadcast::~Broadcast() = default;

}  // namespace MBBroadcast
