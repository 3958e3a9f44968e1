#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace platform {

// One line of a registry script ("Windows Registry Editor Version 5.00" or "REGEDIT4"), parsed:
//   [ROOT\path]      a key to create and write into; [ROOT] writes into the root itself
//   [-ROOT\path]     a key to delete with its subkeys
//   "Name"="text"  @="default"  "Name"=dword:0000002a  "Name"=hex:01,02  "Name"=hex(N):...
//                    a value of the current key ("\" continues hex data on the next line)
//   "Name"=-         a value to delete
// A line that cannot be parsed stays in the script as a bad key line or a bad value line, since
// a bad key line also ends the key the value lines before it wrote into.
struct RegScriptLine {
    enum class Kind { OpenKey, DeleteKey, SetValue, DeleteValue, BadKeyLine, BadValueLine };

    Kind kind = Kind::BadValueLine;
    RegKey root = 0;                 // OpenKey, DeleteKey
    std::wstring subKey;             // OpenKey, DeleteKey: the path below the root
    std::wstring name;               // SetValue, DeleteValue: empty for the default value
    std::uint32_t type = 0;          // SetValue
    std::vector<std::uint8_t> data;  // SetValue: the value's bytes as the registry stores them
};

// The script's lines in order, without blank lines and ";" comments; nothing when the header is
// missing. A root is named by its full or its short name (HKEY_LOCAL_MACHINE, HKLM), without case.
std::optional<std::vector<RegScriptLine>> ParseRegScript(const std::wstring& text);

// The text of a script file's bytes: UTF-16LE with byte-order mark (as the registry editor
// writes it), UTF-8 with byte-order mark, or else the ANSI code page.
std::wstring DecodeRegFile(const std::vector<std::uint8_t>& bytes);

}  // namespace platform
