#pragma once

#include <string>

namespace host {

// The cause of a start-up failure and its fix, in one sentence for the person at the host, from
// the text of the monitor's message box ("Error:", message, "at:", location; or a standard
// exception's text). The message box and the log keep the monitor's own text; the host only
// explains it.
std::string ExplainStartUpFailure(const std::wstring& p_strMessage);

}  // namespace host
