#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "broadcast/span_timer.h"
#include "broadcast/visiwin.h"

namespace MBBroadcast {

// Publishes to HMI projects of the newer kind: a rating digit per group, the UPS state of charge
// and every reading go into the values file; the beginning of a warning or an error is signalled
// by a pulse on the HMI variable "mb_fan_1" (1 for an error, 91 for a warning, 101 at rest),
// repeated at fixed intervals while the condition lasts.
class VisiWinNew : public VisiWin {
public:
    // Connects, checks in "mb_fan_1" and "mb_fan_1_set" and reads the timer periods. Throws
    // err::VisiWinException.
    VisiWinNew();
    ~VisiWinNew() override;

    // Gathers the values file's keys for the cycle's one write and sets the pulse, which follows
    // the group digits whatever becomes of the file. Throws err::VisiWinException.
    void Send(const MBDataContainer::CycleSnapshot& p_Cycle) override;
    bool PublishesRatings() const override { return true; }

    // The call counter shared by every values-file broadcast of the process.
    static std::int32_t CallCounter() { return s_nCallCounter; }
    // Back to the state of a freshly loaded process.
    static void ResetWriteCounters();

protected:
    // Writes the seven current-state keys, each through WriteIniChanges.
    void WriteMessages(const MBDataContainer::CycleSnapshot& p_Cycle);
    // Writes one current-state key when it changed or a rewrite is due, then every reading of
    // `p_Fields`, into the values file's pending writes (ValuesFileWriter).
    void WriteIniChanges(const std::wstring& p_strKey, const std::wstring& p_strText,
                         const std::vector<MBDataContainer::FieldSnapshot>& p_Fields);

    SpanTimer m_WriteTimer;
    SpanTimer m_WarningTimer;
    SpanTimer m_ErrorTimer;
    SpanTimer m_DurationTimer;

private:
    // Calls of WriteIniChanges since the last write of a current-state key.
    static inline std::int32_t s_nCallCounter = 0;
};

}  // namespace MBBroadcast
