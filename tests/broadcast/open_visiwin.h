#pragma once

#include "broadcast/visiwin.h"

namespace broadcast_test {

// VisiWin with its protected operations open to the test.
class OpenVisiWin : public MBBroadcast::VisiWin {
public:
    void Send(const MBDataContainer::CycleSnapshot&) override {}
    bool PublishesRatings() const override { return false; }
    using VisiWin::m_strValuesFile;
    using VisiWin::m_VarNoMap;
    using VisiWin::SetVwValue;
    using VisiWin::VarConnect;
};

}  // namespace broadcast_test
