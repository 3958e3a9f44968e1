#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace host {

// Routes the message boxes of one loaded module to the host: its import of MessageBoxW is
// pointed at a function that hands the text to `p_Receiver` and answers OK at once. The host
// learns of a start-up failure this way without a desktop (and without a click). False when the
// module does not import MessageBoxW.
bool RouteMessageBoxes(HMODULE p_hModule, std::function<void(const std::wstring&)> p_Receiver);

}  // namespace host
