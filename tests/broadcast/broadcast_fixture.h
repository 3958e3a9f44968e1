#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/list_fixture.h"
#include "standins/hmi_substitute.h"

namespace MBBroadcast {
class Broadcast;
}

namespace broadcast_test {

using list_test::ListShape;

// Everything a broadcast reaches, in memory: the data list and its rater with their settings,
// the values file, the calendar clock, TEMP and the HMI runtime (the product's substitute, whose
// trace the tests read).
class BroadcastTest : public list_test::ListTest {
protected:
    BroadcastTest();
    ~BroadcastTest() override;

    // One cycle's publishing, as the worker runs it: the list is rated as the broadcast asks and
    // the broadcast sends the rater's snapshot.
    void Send(MBBroadcast::Broadcast& p_Broadcast);

    std::vector<std::string> Trace() const { return m_Runtime.Trace(); }

    // The product's substitute runtime: reached directly on posix and, on Windows, served as
    // the running VWControl object so that every test also runs over the real COM look-up.
    platform::SubstituteHmiRuntime m_Runtime;
    // Makes the runtime unreachable.
    void StopRuntime();

private:
    struct Serving;
    std::unique_ptr<Serving> m_pServing;
};

}  // namespace broadcast_test
