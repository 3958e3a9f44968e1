#pragma once

#include <string>

#include "platform/registry.h"

namespace platform {

// Applies a registry script ("Windows Registry Editor Version 5.00" or "REGEDIT4") through the
// registry functions: [ROOT\path] creates a key, [-ROOT\path] deletes it with its subkeys,
// "Name"="text", @="default", "Name"=dword:0000002a, "Name"=hex:01,02 and hex(N):... (with
// "\" line continuations), "Name"=- deletes a value, ";" starts a comment. Lines that cannot
// be applied are skipped; the result is false when the header is missing or any line failed.
bool ImportRegText(Registry& registry, const std::wstring& text);

// The same for a file: UTF-16LE with byte-order mark (as the registry editor writes it), UTF-8
// with byte-order mark, or else the ANSI code page. False also when the file cannot be read.
bool ImportRegFile(Registry& registry, const std::string& path);

}  // namespace platform
