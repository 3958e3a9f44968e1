#include "standins/memory_event_log.h"

namespace platform {

// An empty Application log; the host loads a record file into its own MemoryEventLog and
// substitutes it.
EventLog& EventLog::System()
{
    static MemoryEventLog log;
    return log;
}

}  // namespace platform
