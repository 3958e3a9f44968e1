#include <memory>
#include <optional>
#include <string>

#include "acquisition/computer_xml.h"
#include "acquisition/harddisk.h"
#include "acquisition/mb_probe.h"
#include "acquisition/speed_fan.h"
#include "acquisition/ups_info.h"
#include "broadcast/visiwin_classic.h"
#include "broadcast/visiwin_new.h"
#include "data/data_list.h"
#include "data/source_freshness.h"
#include "logging/log.h"
#include "platform/profile.h"
#include "platform/seam.h"
#include "service/cycle_export.h"
#include "service/monitor.h"
#include "service/monitor_runner.h"
#include "settings/freshness_limits.h"
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

// The sources, the data list over them and the broadcast of the data list. Members are
// destroyed in reverse order: the broadcast, the data list, the disk source, the UPS source,
// the sensor source; each outlives what points to it.
class AssembledMonitor : public Monitor {
public:
    AssembledMonitor();

    // The sources' ages are taken also after an update that failed: a source that fails every
    // cycle goes stale.
    void Update() override
    {
        try {
            m_DataList->Update();
        } catch (...) {
            ObserveSources();
            throw;
        }
        ObserveSources();
    }
    void Send() override { m_pBroadcast->Send(); }
    void CycleFailed(const std::wstring& p_strReason) noexcept override
    {
        m_Export->CycleFailed(p_strReason);
    }
    void CycleEnded(bool p_bFailed) noexcept override
    {
        m_Export->CycleEnded(*m_pBroadcast, m_pHarddisk.get(), m_Ups ? &*m_Ups : nullptr,
                             m_Freshness->Ages(), p_bFailed);
    }

private:
    std::shared_ptr<MBDataAquisition::VexaTool> m_pSensors;
    std::optional<MBDataAquisition::UpsInfo> m_Ups;
    std::shared_ptr<MBDataAquisition::Harddisk> m_pHarddisk;
    std::optional<MBDataContainer::DataList> m_DataList;
    std::unique_ptr<MBBroadcast::Broadcast> m_pBroadcast;
    std::optional<CycleExport> m_Export;
    std::optional<MBDataContainer::SourceFreshness> m_Freshness;

    void ObserveSources()
    {
        m_Freshness->Observe(m_pSensors->RawData(),
                             m_pHarddisk ? m_pHarddisk->SystemDiskReads() : 0);
        const MBDataContainer::SourceAges& l_Ages = m_Freshness->Ages();
        m_pBroadcast->SetStaleSources(l_Ages.sensorsStale, l_Ages.diskStale);
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

std::shared_ptr<MBDataAquisition::Harddisk> CreateDiskSource()
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
    return std::make_shared<MBDataAquisition::Harddisk>(l_strUser, l_Password.c_str());
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
    m_pHarddisk = CreateDiskSource();

    dbg::LogLine(VEXA_LOCATION(kThreadName), 3, L"Init data containers.");
    m_DataList.emplace();
    m_DataList->SetDataSource(m_pSensors.get());
    m_DataList->SetUpsInfo(&*m_Ups);
    m_DataList->SetHarddisk(m_pHarddisk.get());

    dbg::LogLine(VEXA_LOCATION(kThreadName), 3, L"Init data broadcast objects");
    const bool l_bValuesFile = UsesValuesFile();
    if (l_bValuesFile) {
        m_pBroadcast = std::make_unique<MBBroadcast::VisiWinNew>(&*m_DataList);
    } else {
        m_pBroadcast = std::make_unique<MBBroadcast::VisiWinClassic>(&*m_DataList);
    }
    m_Export.emplace(SensorSourceName(l_bSpeedFan), l_bValuesFile);
    m_Freshness.emplace(ReadFreshnessLimits());
}

}  // namespace

std::unique_ptr<Monitor> AssembleMonitor()
{
    return std::make_unique<AssembledMonitor>();
}

}  // namespace service

CMain::CMain() : CMain(service::AssembleMonitor) {}
