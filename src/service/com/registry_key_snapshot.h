#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// A registry key as it stands: its values (name, type and bytes) and its subkeys, recursively.
struct RegistryTree {
    struct Value {
        std::wstring name;
        DWORD type = REG_NONE;
        std::vector<BYTE> data;
    };
    struct Subkey;

    std::vector<Value> values;
    std::vector<Subkey> subkeys;
};

struct RegistryTree::Subkey {
    std::wstring name;
    RegistryTree tree;
};

// Reads the key `path` under `root` in the registry view `view` (KEY_WOW64_64KEY or
// KEY_WOW64_32KEY) into `tree`, or nothing when the key does not exist. Returns the first
// failure's error code.
LONG ReadRegistryTree(HKEY root, const std::wstring& path, REGSAM view,
                      std::optional<RegistryTree>& tree);

// Makes the key `path` under `root` in `view` exactly `tree` (absent when `tree` is nothing),
// changing only what differs: a value, or a subkey with everything below it, that already is as
// saved is not written, so it keeps its last-write time and its security. What the key lacks is
// written before what it holds beyond `tree` is deleted, so none of it is deleted before its
// replacement stands. Names compare without case, as the registry's do. Returns the first
// failure's error code.
LONG RestoreRegistryTree(HKEY root, const std::wstring& path, REGSAM view,
                         const std::optional<RegistryTree>& tree);
