#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The whole number a setting's text names, blanks and tabs around it allowed; nothing for text
// that names none (empty, blank, a sign, any other character). A number beyond `p_nLargest`
// reads as p_nLargest + 1, however long it is, so the caller can refuse it without overflow.
std::optional<std::int64_t> ParseWholeNumber(const std::wstring& p_strText,
                                             std::int64_t p_nLargest);
