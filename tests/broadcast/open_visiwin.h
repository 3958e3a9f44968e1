#pragma once

#include "broadcast/visiwin.h"

namespace broadcast_test {

// VisiWin with its protected operations open to the test.
class OpenVisiWin : public MBBroadcast::VisiWin {
public:
    OpenVisiWin() : VisiWin(nullptr) {}
    void Send() override {}
    using VisiWin::m_VarNoMap;
    using VisiWin::SetVwValue;
    using VisiWin::VarConnect;
};

}  // namespace broadcast_test
