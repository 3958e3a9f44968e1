#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A text of a version resource (the VS_VERSIONINFO block as the module carries it), found by its
// path of keys below the root, such as {"StringFileInfo", "000004b0", "FileDescription"}: what
// VerQueryValueW gives for "\StringFileInfo\000004b0\FileDescription", read here so that the
// module imports no VERSION.dll. Keys match without regard to letter case (EqualNoCase); the text
// ends at its first zero. Nothing when a key is missing or the block is malformed there.
std::optional<std::wstring> FindVersionText(const std::uint8_t* p_pBlock, std::size_t p_nSize,
                                            const std::vector<std::wstring>& p_Path);
