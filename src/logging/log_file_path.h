#pragma once

#include <string>

#include "platform/environment.h"
#include "platform/seam.h"

namespace dbg {

// The file name of the monitor's log.
inline constexpr wchar_t kMonitorLogName[] = L"Vexa.log";

// Where a log of that name is written: "%TEMP%\<file name>". An unset TEMP gives the empty
// text, so the file lands in the root of the current drive.
inline std::wstring LogFilePath(const std::wstring& fileName = kMonitorLogName)
{
    return platform::Use<platform::Environment>().Get(L"TEMP").value_or(std::wstring()) + L"\\" +
           fileName;
}

}  // namespace dbg
