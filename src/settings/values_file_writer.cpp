#include "settings/values_file_writer.h"

#include <utility>

#include "platform/seam.h"
#include "platform/text.h"
#include "settings/settings.h"

ValuesFileWriter& ValuesFileWriter::Instance()
{
    static ValuesFileWriter s_Writer;
    return s_Writer;
}

// A pending key keeps its place among the writes: the profile functions would have created it
// where its first write put it, and a later write only changes its value.
void ValuesFileWriter::SetValue(const std::wstring& p_strSection, const std::wstring& p_strKey,
                                const std::wstring& p_strValue)
{
    const std::lock_guard<std::mutex> l_Lock(m_Mutex);
    for (platform::Profile::Write& l_Write : m_Pending) {
        if (!l_Write.key.empty() && platform::EqualNoCase(l_Write.section, p_strSection) &&
            platform::EqualNoCase(l_Write.key, p_strKey)) {
            l_Write.value = p_strValue;
            return;
        }
    }
    m_Pending.push_back({p_strSection, p_strKey, p_strValue, {}});
}

void ValuesFileWriter::SetSection(const std::wstring& p_strSection,
                                  const platform::Profile::Entries& p_Entries)
{
    const std::lock_guard<std::mutex> l_Lock(m_Mutex);
    for (platform::Profile::Write& l_Write : m_Pending) {
        if (l_Write.key.empty() && platform::EqualNoCase(l_Write.section, p_strSection)) {
            l_Write.entries = p_Entries;
            return;
        }
    }
    m_Pending.push_back({p_strSection, L"", L"", p_Entries});
}

std::wstring ValuesFileWriter::Read(const std::wstring& p_strSection, const std::wstring& p_strKey,
                                    const std::wstring& p_strFile) const
{
    {
        const std::lock_guard<std::mutex> l_Lock(m_Mutex);
        // The last pending write that touches the key decides.
        for (auto l_it = m_Pending.rbegin(); l_it != m_Pending.rend(); ++l_it) {
            if (!platform::EqualNoCase(l_it->section, p_strSection)) {
                continue;
            }
            if (!l_it->key.empty()) {
                if (platform::EqualNoCase(l_it->key, p_strKey)) {
                    return l_it->value;
                }
                continue;
            }
            for (const auto& l_Entry : l_it->entries) {
                if (platform::EqualNoCase(l_Entry.first, p_strKey)) {
                    return l_Entry.second;
                }
            }
            return L"";
        }
    }
    return ReadIniString(p_strSection, p_strKey, p_strFile);
}

ValuesFileWriter::Outcome ValuesFileWriter::Flush(const std::wstring& p_strFile)
{
    const std::lock_guard<std::mutex> l_Lock(m_Mutex);
    if (m_Pending.empty()) {
        return Outcome::NothingPending;
    }
    if (!platform::Use<platform::Profile>().WriteWhole(m_Pending, p_strFile)) {
        return Outcome::Failed;
    }
    m_Pending.clear();
    return Outcome::Written;
}

std::size_t ValuesFileWriter::Pending() const
{
    const std::lock_guard<std::mutex> l_Lock(m_Mutex);
    return m_Pending.size();
}

void ValuesFileWriter::Forget()
{
    const std::lock_guard<std::mutex> l_Lock(m_Mutex);
    m_Pending.clear();
}
