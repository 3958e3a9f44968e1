#pragma once

#include <cstddef>
#include <mutex>
#include <string>

#include "platform/profile.h"

// The monitor's writes of the values file, gathered during a cycle and written whole once at its
// end: the UPS messages, the current state, the readings and the heartbeat. Nothing is written
// when the file's text would not change; a write that fails keeps every write pending for the
// next cycle, so nothing the monitor wrote (a UPS message above all) is lost on a full disk.
// One for the process, as the file is; safe to use from any thread.
class ValuesFileWriter {
public:
    static ValuesFileWriter& Instance();

    // key = value in `section`; a later value of the same key replaces a pending one.
    void SetValue(const std::wstring& p_strSection, const std::wstring& p_strKey,
                  const std::wstring& p_strValue);
    // The section's lines become `entries`; a later call for the same section replaces it.
    void SetSection(const std::wstring& p_strSection, const platform::Profile::Entries& p_Entries);

    // The key's value once the pending writes are in: the pending one, else the file's.
    std::wstring Read(const std::wstring& p_strSection, const std::wstring& p_strKey,
                      const std::wstring& p_strFile) const;

    enum class Outcome { NothingPending, Written, Failed };
    // Writes the pending writes into `p_strFile` (Profile::WriteWhole). Failed keeps them pending,
    // with the reason in GetLastErrorCode().
    Outcome Flush(const std::wstring& p_strFile);

    // Pending writes (each key, each section counts once).
    std::size_t Pending() const;
    // Drops the pending writes: the state of a freshly loaded process.
    void Forget();

private:
    mutable std::mutex m_Mutex;
    platform::Profile::Writes m_Pending;
};
