#include "broadcast/broadcast.h"

#include "settings/values_file.h"

namespace MBBroadcast {

Broadcast::Broadcast() : m_strValuesFile(GetValuesFilePath()) {}

Broadcast::~Broadcast() = default;

}  // namespace MBBroadcast
