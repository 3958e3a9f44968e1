#pragma once

// The classes root as the registration tests and the package tests read it: every key and value
// below given keys, the entries the add-on's list says it owns, and the last-write times of the
// HMI runtime's interface entries.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "service/com/registry_entries.h"

namespace registry_dump {

// Every key and value: "path|(key)" -> "" for a key, "path|name" -> "sz:text" for a text value,
// "type:bytes in hex" for any other (the default value's name is empty).
using KeyDump = std::map<std::wstring, std::wstring>;
// The last-write time of every key, by "view:path".
using KeyTimes = std::map<std::wstring, ULONGLONG>;

std::wstring GuidText(REFGUID guid);

// The list of the add-on's entries for the DLL at `modulePath` of the build of `system`.
std::vector<ResolvedRegistryEntry> AddOnEntries(const std::wstring& modulePath,
                                                TypeLibSystem system);
// The keys the add-on owns whole, each once.
std::vector<std::wstring> OwnedRootKeys(const std::vector<ResolvedRegistryEntry>& entries);
// What the owned keys hold when exactly the list's entries are written.
KeyDump ListedDump(const std::vector<ResolvedRegistryEntry>& entries);
// What the keys `paths` below the classes root hold in `view` (0: the process's own view).
KeyDump DumpClassesKeys(const std::vector<std::wstring>& paths, REGSAM view = 0);

// The HMI runtime's interfaces whose entries the add-on must leave alone.
std::vector<IID> RuntimeInterfaces();
std::wstring InterfaceKey(REFIID iid);
// Writes the runtime's entry of `iid` in `view` as its own registration does; false on failure.
bool LayRuntimeEntry(REFIID iid, REGSAM view, const std::wstring& name);
void DeleteRuntimeEntries();
// What the runtime's entries hold, and their keys' last-write times, in both views.
KeyDump DumpRuntimeEntries();
KeyTimes RuntimeKeyTimes();

// One line a key or value, sorted: "path|name=type:hex".
std::wstring Lines(const KeyDump& dump);
std::wstring Lines(const KeyTimes& times);

}  // namespace registry_dump
