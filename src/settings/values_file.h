#pragma once

#include <string>

// The values file that the HMI project reads: its location and the names that more than one
// writer uses (the worker at start, the UPS source, the values-file broadcast).

// Section of the current state: group digits, state of charge, messages.
inline constexpr wchar_t kValuesCurrentSection[] = L"VEXA_CURRENT";
// Key of the number of pending messages in the current-state section.
inline constexpr wchar_t kMessageCountKey[] = L"NO_OF_MESSAGES";

// "%temp%\VexaValues.ini", falling back to "c:\temp\VexaValues.ini"; resolved on every call.
std::wstring GetValuesFilePath();
