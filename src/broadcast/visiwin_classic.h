#pragma once

#include <map>
#include <string>

#include "broadcast/visiwin.h"

namespace MBDataContainer {
class DataList;
}

namespace MBBroadcast {

// Publishes the motherboard readings to HMI projects of the older kind: each mapped field's
// reading and setpoint go into an HMI variable of their own ("mb_vbat", "mb_vbat_set"), every
// cycle, unrated.
class VisiWinClassic : public VisiWin {
public:
    // Connects and checks in both variables of every mapped field of the data list. Throws
    // err::VisiWinException.
    explicit VisiWinClassic(const MBDataContainer::DataList* p_pDataList);
    ~VisiWinClassic() override;

    void Send(const MBDataContainer::CycleSnapshot& p_Cycle) override;
    bool PublishesRatings() const override { return false; }

private:
    // Data-field name -> HMI variable name of its reading; the setpoint's variable adds "_set".
    std::map<std::wstring, std::wstring> m_NameMap;
};

}  // namespace MBBroadcast
