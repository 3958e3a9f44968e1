#pragma once

#include <string>

#include "data/cycle_snapshot.h"

namespace MBBroadcast {

// The snapshot in the Prometheus text exposition format (version 0.0.4, UTF-8): every metric
// family with its HELP and TYPE lines, label values escaped. `version` is the build's version
// number ("4.0.11.0").
std::string RenderMetrics(const MBDataContainer::CycleSnapshot& snapshot,
                          const std::wstring& version);

// A label value as the format requires it: backslash, double quote and line feed escaped.
std::string EscapeLabelValue(const std::wstring& value);

}  // namespace MBBroadcast
