#ifdef _WIN32
#include "platform/win32/com_apartment.h"
#include "standins/win32/vwcontrol_server.h"
#endif

#include "broadcast/broadcast_fixture.h"

#include "broadcast/broadcast.h"
#include "data/cycle_rater.h"
#include "settings/values_file_writer.h"

namespace broadcast_test {

#ifdef _WIN32
struct BroadcastTest::Serving {
    explicit Serving(platform::SubstituteHmiRuntime& p_Runtime)
    {
        m_pObject = platform::win32::CreateVWControlObject(p_Runtime.Control());
        m_pRegistration =
            std::make_unique<platform::win32::ActiveVWControlRegistration>(m_pObject.Get());
    }
    ~Serving()
    {
        m_pRegistration.reset();
        m_pObject.Reset();
    }
    void Stop() { m_pRegistration.reset(); }

    // Before the COM pointers, which go first.
    platform::win32::ComApartment m_Apartment;
    Microsoft::WRL::ComPtr<IUnknown> m_pObject;
    std::unique_ptr<platform::win32::ActiveVWControlRegistration> m_pRegistration;
};
#else
struct BroadcastTest::Serving {
    explicit Serving(platform::SubstituteHmiRuntime& p_Runtime)
        : m_Runtime(p_Runtime), m_InPlace(p_Runtime)
    {
    }
    void Stop() { m_Runtime.SetRunning(false); }

    platform::SubstituteHmiRuntime& m_Runtime;
    platform::Substitute<platform::HmiRuntime> m_InPlace;
};
#endif

BroadcastTest::BroadcastTest() : m_pServing(std::make_unique<Serving>(m_Runtime))
{
    m_Runtime.KeepTrace();
    ValuesFileWriter::Instance().Forget();
}

BroadcastTest::~BroadcastTest()
{
    m_pServing.reset();
    ValuesFileWriter::Instance().Forget();
}

void BroadcastTest::Send(MBBroadcast::Broadcast& p_Broadcast)
{
    Rater().Rate(p_Broadcast.PublishesRatings());
    p_Broadcast.Send(Rater().Snapshot());
}

void BroadcastTest::StopRuntime()
{
    m_pServing->Stop();
}

}  // namespace broadcast_test
