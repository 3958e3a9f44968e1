#pragma once

#include <list>
#include <string>

// An ordered list of text items cut from a text at any of a set of separator characters. The
// list's own operations (size, walk from the front) read the result.
class SRStringlist : public std::list<std::wstring> {
public:
    SRStringlist() = default;

    // Every character of `separators` separates items. Items already in the list stay.
    void SetSeparators(const std::wstring& separators) { m_strSeparators = separators; }
    const std::wstring& GetSeparators() const { return m_strSeparators; }

    // Replaces the items by the pieces of `text` between separators, in order. Separators never
    // produce empty items (leading, trailing or repeated ones vanish); nothing is trimmed.
    void Split(const std::wstring& text);

private:
    std::wstring m_strSeparators = L";,\r\n";
};
