#include "platform/hmi_runtime.h"
#include "standins/hmi_substitute.h"

namespace platform {

// Without a HMI runtime on this platform the monitor talks to the in-process substitute. Unless
// the host configures its own (platform::Substitute), every variable name checks in.
HmiRuntime& HmiRuntime::System()
{
    static SubstituteHmiRuntime s_Runtime;
    return s_Runtime;
}

}  // namespace platform
