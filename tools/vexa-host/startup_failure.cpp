#include "startup_failure.h"

#include "platform/text.h"

namespace host {
namespace {

// The failures the monitor's start-up can report, by the place that throws and its message.
// An empty message matches any: "%s" in the sentence then stands for the message (a variable's
// name).
struct KnownFailure {
    const wchar_t* location;
    const wchar_t* message;
    const char* sentence;
};

const KnownFailure kKnownFailures[] = {
    {L"MBBroadcast::VisiWin::ConnectVisu", L"GetRunningObject",
     "no HMI runtime is running (GetRunningObject failed): start the HMI runtime first"},
    {L"MBBroadcast::VisiWin::ConnectVisu", L"QueryInterface failed!",
     "the running HMI runtime does not offer its control interface IVWControl (QueryInterface "
     "failed): check the HMI runtime's installation"},
    {L"MBBroadcast::VisiWin::ConnectVisu", L"Connect failed!",
     "the HMI runtime refused the connection (Connect failed): restart the HMI runtime"},
    {L"MBBroadcast::VisiWin::VarConnect", L"m_pVisuInterface = 0",
     "there was no connection to the HMI runtime when the variables were checked in "
     "(m_pVisuInterface = 0): restart the HMI runtime"},
    {L"MBBroadcast::VisiWin::VarConnect", L"",
     "the HMI project has no variable %s: add it to the project (vexa-host: to the --hmi-vars "
     "list)"},
    {L"MBBroadcast::VisiWin::SetVwValue", L"",
     "the HMI runtime gave the variable %s the number 0: check the variable in the project"},
    {L"MBBroadcast::VisiWinNew::VisiWinNew", L"Setpoints",
     "the HMI runtime gave mb_fan_1 or mb_fan_1_set the number 0 (Setpoints): check both "
     "variables in the project"},
    {L"MBDataContainer::DataList::SetUpsInfo", L"Ups",
     "the UPS fields could not be created (Ups): the process ran short of memory; restart the "
     "HMI runtime"},
    {L"cfg::ComputerXml::GetPassword", L"",
     "the administrator's password could not be read from Computer.xml: check the file (its "
     "folder is MAINDIR)"},
};

// Failures that reach the message box as a standard exception's text alone.
const KnownFailure kKnownTexts[] = {
    {L"", L"Impersonation failed!",
     "the account TarselAdmin logs on but cannot be impersonated (Impersonation failed!): give "
     "the HMI runtime's account the right to impersonate a client after authentication, or "
     "remove the password from Computer.xml"},
    {L"", L"Unable to log on!",
     "the account TarselAdmin cannot log on with the password of Computer.xml (Unable to log "
     "on!): correct the password or the account"},
    {L"", L"Unbekannter Fehler",
     "an unknown failure ended the start-up (Unbekannter Fehler): the log Vexa.log tells more"},
};

std::string Filled(const char* p_szSentence, const std::wstring& p_strMessage)
{
    std::string l_strText = p_szSentence;
    const std::size_t l_nAt = l_strText.find("%s");
    if (l_nAt != std::string::npos) {
        l_strText.replace(l_nAt, 2, platform::WideToUtf8(p_strMessage));
    }
    return l_strText;
}

}  // namespace

std::string ExplainStartUpFailure(const std::wstring& p_strMessage)
{
    static const std::wstring kHead = L"Error:\r\n";
    static const std::wstring kAt = L"\r\nat:\r\n";
    const std::size_t l_nAt = p_strMessage.find(kAt);
    if (p_strMessage.compare(0, kHead.size(), kHead) != 0 || l_nAt == std::wstring::npos) {
        for (const KnownFailure& l_Known : kKnownTexts) {
            if (p_strMessage == l_Known.message) {
                return l_Known.sentence;
            }
        }
        return (p_strMessage.empty() ? std::string("no reason given")
                                     : "\"" + platform::WideToUtf8(p_strMessage) + "\"") +
               "; the log Vexa.log tells more";
    }
    const std::wstring l_strMessage = p_strMessage.substr(kHead.size(), l_nAt - kHead.size());
    std::wstring l_strLocation = p_strMessage.substr(l_nAt + kAt.size());
    l_strLocation = l_strLocation.substr(0, l_strLocation.find(L"  line:"));
    for (const KnownFailure& l_Known : kKnownFailures) {
        if (l_strLocation == l_Known.location &&
            (*l_Known.message == L'\0' || l_strMessage == l_Known.message)) {
            return Filled(l_Known.sentence, l_strMessage);
        }
    }
    return platform::WideToUtf8(l_strLocation) + " reported \"" +
           platform::WideToUtf8(l_strMessage) + "\"; the log Vexa.log tells more";
}

}  // namespace host
