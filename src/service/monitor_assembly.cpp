#include <atomic>
#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "acquisition/computer_xml.h"
#include "acquisition/harddisk.h"
#include "acquisition/impersonation.h"
#include "acquisition/mb_probe.h"
#include "acquisition/speed_fan.h"
#include "acquisition/ups_info.h"
#include "broadcast/visiwin_classic.h"
#include "broadcast/visiwin_new.h"
#include "data/cycle_rater.h"
#include "data/data_list.h"
#include "data/source_freshness.h"
#include "logging/log.h"
#include "platform/profile.h"
#include "platform/seam.h"
#include "platform/text.h"
#include "service/bounded_read.h"
#include "service/cycle_export.h"
#include "service/monitor.h"
#include "service/monitor_runner.h"
#include "settings/cycle_time.h"
#include "settings/freshness_limits.h"
#include "settings/read_timeout.h"
#include "settings/sensor_source.h"
#include "settings/settings.h"
#include "settings/values_file.h"
#include "settings/values_file_writer.h"
#include "support/secret_text.h"
#include "support/version_number.h"

namespace service {
namespace {

const wchar_t* const kThreadName = L"CMain::MyThread";
const wchar_t* const kAdministrator = L"TarselAdmin";

// The sources, the data list over them, its rater and the broadcast. Members are destroyed in
// reverse order: the broadcast, the rater, the data list, the disk source, the UPS source, the
// sensor source; each outlives what points to it.
//
// The sensor source's read and the disk refresh can hang (a failing drive, a history file on a
// share): each runs on a reader thread of its own (BoundedRead), both begun at the start of a
// cycle, which waits for them until "ReadTimeout" has passed and then goes on without what has
// not come; such a source is blocked, and its groups show at least a warning. The worker touches
// a source only once its read has ended; what it reports of them comes from the last read that
// ended. A reader thread owns its source, so a stop never waits for it.
class AssembledMonitor : public Monitor {
public:
    AssembledMonitor();

    // The sources' ages are taken also after an update that failed: a source that fails every
    // cycle goes stale.
    void Update() override
    {
        m_Deadline = BoundedRead::Clock::now() + m_ReadTimeout;
        m_SensorRead->Begin();
        if (!m_bDrivesStopped) {
            m_DiskRead->Begin();
        }
        m_bDiskReadThisCycle = false;
        m_Cycle.reset();
        try {
            m_DataList->Update();
        } catch (...) {
            ObserveSources();
            throw;
        }
        ObserveSources();
    }
    // Rates the fields and publishes the cycle's snapshot.
    void Send() override;
    void CycleFailed(const std::wstring& p_strReason) noexcept override
    {
        m_Export->CycleFailed(p_strReason);
    }
    // Hands the cycle's snapshot, with the counts, to the reports.
    void CycleEnded(bool p_bFailed) noexcept override;

private:
    std::shared_ptr<MBDataAquisition::VexaTool> m_pSensors;
    std::optional<MBDataAquisition::UpsInfo> m_Ups;
    std::shared_ptr<MBDataAquisition::Harddisk> m_pHarddisk;
    std::optional<MBDataContainer::DataList> m_DataList;
    std::optional<MBDataContainer::CycleRater> m_Rater;
    std::unique_ptr<MBBroadcast::Broadcast> m_pBroadcast;
    std::optional<CycleExport> m_Export;
    // This cycle's snapshot, once it is built: the one its broadcast and its reports read.
    std::optional<MBDataContainer::CycleSnapshot> m_Cycle;
    std::optional<MBDataContainer::SourceFreshness> m_Freshness;

    std::chrono::milliseconds m_ReadTimeout{0};
    BoundedRead::Clock::time_point m_Deadline;
    std::optional<BoundedRead> m_SensorRead;
    std::string m_strSensorData;  // of the sensor read that ended this cycle; empty otherwise
    // The disk source's first read (its logon and its choice of the system disk) fills the slot;
    // until it has ended, the disk read is that first read.
    std::shared_ptr<std::shared_ptr<MBDataAquisition::Harddisk>> m_pDiskMade;
    std::optional<BoundedRead> m_DiskRead;
    // The error code of a drive reader that could not revert its impersonation (0: none). From
    // then on no drive is read.
    std::shared_ptr<std::atomic<unsigned long>> m_pRevertError =
        std::make_shared<std::atomic<unsigned long>>(0);
    bool m_bDrivesStopped = false;
    // This cycle's disk read has ended, and the data list holds its record.
    bool m_bDiskReadThisCycle = false;

    // The sensor refresh of the data list: waits for the cycle's sensor read.
    bool SensorsRead()
    {
        if (!m_SensorRead->Wait(m_Deadline)) {
            m_strSensorData.clear();
            return false;
        }
        m_strSensorData = m_pSensors->RawData();
        return true;
    }

    // The disk refresh of the data list: waits for the cycle's disk read, and attaches the disk
    // source once its first read has ended.
    bool DiskRead();
    void StartDiskReads(const std::shared_ptr<MBDataAquisition::Harddisk>& p_pHarddisk);
    void NoteRevertFailure();

    void ObserveSources()
    {
        m_Freshness->Observe(m_strSensorData,
                             m_bDiskReadThisCycle ? &m_DataList->DiskRecord() : nullptr);
        MBDataContainer::SourceAges l_Ages = m_Freshness->Ages();
        l_Ages.sensorsBlocked = m_SensorRead->IsBlocked();
        l_Ages.sensorBlockedSeconds = m_SensorRead->BlockedSeconds();
        l_Ages.diskBlocked = m_DiskRead->IsBlocked();
        l_Ages.diskBlockedSeconds = m_DiskRead->BlockedSeconds();
        m_Rater->SetSourceAges(l_Ages);
    }
};

// Every start begins without pending messages in the values file.
void ClearMessageCount()
{
    ValuesFileWriter::Instance().SetValue(kValuesCurrentSection, kMessageCountKey, L"");
}

// The sensor source's name for the status reports.
const wchar_t* SensorSourceName(bool p_bSpeedFan)
{
    return p_bSpeedFan ? L"SpeedFan" : L"probe";
}

std::shared_ptr<MBDataAquisition::VexaTool> CreateSensorSource(bool p_bSpeedFan)
{
    if (p_bSpeedFan) {
        return std::make_shared<MBDataAquisition::SpeedFan>();
    }
    return std::make_shared<MBDataAquisition::MBProbe>();
}

// The account the drives are read as: the administrator with its password, or, without one,
// the worker's own account (both empty).
struct DiskAccountText {
    std::wstring user;
    utils::SecretText password;
};

std::shared_ptr<DiskAccountText> DiskAccount()
{
    std::wstring l_strUser = kAdministrator;
    // The password lives only until the disk source has logged on with it; then it is wiped,
    // and so are the file's text and the parsed document, when the credentials go.
    utils::SecretText l_Password;
    {
        cfg::ComputerXml l_Credentials;
        l_Password = l_Credentials.GetPassword(l_strUser);
    }
    // Without a password the drives are read as the worker's own account.
    if (l_Password.empty()) {
        l_strUser.clear();
    }
    auto l_pAccount = std::make_shared<DiskAccountText>();
    l_pAccount->user = l_strUser;
    l_pAccount->password = std::move(l_Password);
    return l_pAccount;
}

// After a read of the drives on this reader thread: an impersonation it could not revert leaves
// the thread acting as the administrator, so it ends here, and the worker reads no more drives.
void CheckRevert(std::atomic<unsigned long>& p_RevertError)
{
    const unsigned long l_nError = utils::Impersonation::RevertFailedOnThisThread();
    if (l_nError != 0) {
        p_RevertError.store(l_nError);
    }
}

// The values-file broadcast from service pack 2.8 on, or when forced by "BroadcastVersion" 1.
bool UsesValuesFile()
{
    const std::wstring l_strServicePackFile = GetServicePackIniPath();
    const SRVersionInfo l_Installed(
        ReadIniString(L"Servicepack", L"Version", l_strServicePackFile));
    const SRVersionInfo l_ValuesFileVersion(2.8);
    const bool l_bNewServicePack = l_Installed >= l_ValuesFileVersion;
    return l_bNewServicePack ||
           ReadIniInt(L"Vexa", L"BroadcastVersion", 0, GetComputerIniPath()) == 1;
}

AssembledMonitor::AssembledMonitor()
{
    dbg::LogLine(VEXA_LOCATION(kThreadName), 3, L"Init data sources");
    ClearMessageCount();
    const bool l_bSpeedFan = UsesSpeedFanSource();
    m_pSensors = CreateSensorSource(l_bSpeedFan);
    m_Ups.emplace();
    m_ReadTimeout = ReadReadTimeout(ReadCycleTime().pause);
    m_SensorRead.emplace(l_bSpeedFan ? L"SpeedFan's shared memory" : L"The probe's history file",
                         [l_pSensors = m_pSensors]() { l_pSensors->Update(); });
    // The first read of the drives, with the logon, is bounded as every later one: the start-up
    // goes on without the disk source when it does not end in time, and attaches it when it does.
    // What it throws in time ends the start-up, as it always has.
    {
        m_pDiskMade = std::make_shared<std::shared_ptr<MBDataAquisition::Harddisk>>();
        // The password is wiped as soon as the reader has logged on with it.
        m_DiskRead.emplace(L"The system disk", [l_pMade = m_pDiskMade, l_pAccount = DiskAccount(),
                                                l_pRevertError = m_pRevertError]() {
            *l_pMade = std::make_shared<MBDataAquisition::Harddisk>(l_pAccount->user,
                                                                    l_pAccount->password.c_str());
            l_pAccount->password = utils::SecretText();
            CheckRevert(*l_pRevertError);
        });
        m_DiskRead->Begin();
        if (m_DiskRead->Wait(BoundedRead::Clock::now() + m_ReadTimeout)) {
            StartDiskReads(*m_pDiskMade);
        }
    }

    dbg::LogLine(VEXA_LOCATION(kThreadName), 3, L"Init data containers.");
    m_DataList.emplace();
    m_DataList->SetDataSource(m_pSensors.get());
    m_DataList->SetUpsInfo(&*m_Ups);
    m_DataList->SetHarddisk(m_pHarddisk.get());
    m_DataList->SetRefreshes([this]() { return SensorsRead(); }, [this]() { return DiskRead(); });

    dbg::LogLine(VEXA_LOCATION(kThreadName), 3, L"Init data broadcast objects");
    const bool l_bValuesFile = UsesValuesFile();
    if (l_bValuesFile) {
        m_pBroadcast = std::make_unique<MBBroadcast::VisiWinNew>();
    } else {
        m_pBroadcast = std::make_unique<MBBroadcast::VisiWinClassic>(&*m_DataList);
    }
    m_Rater.emplace(*m_DataList, SensorSourceName(l_bSpeedFan));
    m_Export.emplace(l_bValuesFile);
    m_Freshness.emplace(ReadFreshnessLimits());
}

void AssembledMonitor::StartDiskReads(
    const std::shared_ptr<MBDataAquisition::Harddisk>& p_pHarddisk)
{
    m_pHarddisk = p_pHarddisk;
    // The system disk's number, as its first read found it.
    m_DiskRead.emplace(L"Drive " + std::to_wstring(m_pHarddisk->Health().drive),
                       [l_pHarddisk = m_pHarddisk, l_pRevertError = m_pRevertError]() {
                           l_pHarddisk->Update();
                           CheckRevert(*l_pRevertError);
                       });
}

void AssembledMonitor::NoteRevertFailure()
{
    const unsigned long l_nError = m_pRevertError->load();
    if (l_nError == 0 || m_bDrivesStopped) {
        return;
    }
    m_bDrivesStopped = true;
    dbg::LogLine(VEXA_LOCATION(L"service::AssembledMonitor::DiskRead"), 0,
                 L"A drive reader could not return to its own account (RevertToSelf failed, "
                 L"error " +
                     std::to_wstring(l_nError) +
                     L"): it ended acting as the administrator, and no drive is read any more");
}

bool AssembledMonitor::DiskRead()
{
    bool l_bEnded = false;
    try {
        l_bEnded = m_DiskRead->Wait(m_Deadline);
    } catch (const std::exception& e) {
        // Only the first read throws: its logon or impersonation failed after the start-up went
        // on without it. The disk stays unread, which its freshness tells.
        dbg::LogLine(VEXA_LOCATION(L"service::AssembledMonitor::DiskRead"), 0,
                     platform::AnsiToWide(e.what()));
        m_bDrivesStopped = true;
        return false;
    }
    NoteRevertFailure();
    if (!l_bEnded || m_bDrivesStopped) {
        return false;
    }
    if (!m_pHarddisk) {
        // The first read ended late: the disk source joins the data list now.
        StartDiskReads(*m_pDiskMade);
        m_DataList->SetHarddisk(m_pHarddisk.get());
        return true;
    }
    m_bDiskReadThisCycle = true;
    return true;
}

// One way through the cycle: the rater rates the fields and builds the cycle's one snapshot, the
// broadcast publishes it, and the cycle's export hands the same snapshot to the heartbeat, the
// metrics file and the status table. The rating runs where the cycle publishes, as the first step
// of sending.
void AssembledMonitor::Send()
{
    m_Rater->Rate(m_pBroadcast->PublishesRatings());
    m_Cycle = m_Rater->Snapshot();
    m_pBroadcast->Send(*m_Cycle);
}

// A cycle that failed before it was sent reports the latest rating with this cycle's sources and
// ages.
void AssembledMonitor::CycleEnded(bool p_bFailed) noexcept
{
    try {
        if (!m_Cycle) {
            m_Cycle = m_Rater->Snapshot();
        }
    } catch (...) {
        m_Cycle.reset();
    }
    m_Export->CycleEnded(m_Cycle ? &*m_Cycle : nullptr, p_bFailed);
}

}  // namespace

std::unique_ptr<Monitor> AssembleMonitor()
{
    return std::make_unique<AssembledMonitor>();
}

}  // namespace service

CMain::CMain() : CMain(service::AssembleMonitor) {}
