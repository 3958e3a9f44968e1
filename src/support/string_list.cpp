#include "support/string_list.h"

void SRStringlist::Split(const std::wstring& text)
{
    clear();
    std::wstring::size_type start = 0;
    while (start < text.size()) {
        const std::wstring::size_type end = text.find_first_of(m_strSeparators, start);
        const std::wstring::size_type stop = end == std::wstring::npos ? text.size() : end;
        if (stop > start) {
            push_back(text.substr(start, stop - start));
        }
        if (end == std::wstring::npos) {
            break;
        }
        start = end + 1;
    }
}
