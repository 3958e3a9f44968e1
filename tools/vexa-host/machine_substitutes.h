#pragma once

#include <memory>
#include <string>

#include "host_options.h"

namespace host {

// The stand-ins of the machine that the native host installs for the monitor from its command
// line: the add-on's own settings file, the registry, the event log, the drives' S.M.A.R.T. data
// and the accounts that can log on. Removed when the object goes.
class MachineSubstitutes {
public:
    virtual ~MachineSubstitutes() = default;
    // Nothing (and the reason in `p_strError`) when a named file cannot be used.
    static std::unique_ptr<MachineSubstitutes> Install(const HostOptions& p_Options,
                                                       std::string& p_strError);
};

}  // namespace host
