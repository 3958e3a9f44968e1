#include "standins/memory_registry.h"

namespace platform {

// Starts empty; the host loads a registry file into its own MemoryRegistry and substitutes it.
Registry& Registry::System()
{
    static MemoryRegistry registry;
    return registry;
}

}  // namespace platform
