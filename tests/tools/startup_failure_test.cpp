#include <gtest/gtest.h>

#include <string>

#include "startup_failure.h"

namespace {

// The message box's text of a failure object: message and location.
std::wstring Box(const std::wstring& message, const std::wstring& location)
{
    return L"Error:\r\n" + message + L"\r\nat:\r\n" + location;
}

TEST(StartUpFailure, EachKnownFailureGetsItsCauseAndFix)
{
    const struct {
        std::wstring text;
        std::string sentence;
    } cases[] = {
        {Box(L"Connect failed!", L"MBBroadcast::VisiWin::ConnectVisu  line: 71"),
         "the HMI runtime refused the connection (Connect failed): restart the HMI runtime"},
        {Box(L"mb_temp_3_set", L"MBBroadcast::VisiWin::VarConnect  line: 90"),
         "the HMI project has no variable mb_temp_3_set: add it to the project (vexa-host: to "
         "the --hmi-vars list)"},
        // The variable-name rule of the same place does not take the specific message.
        {Box(L"m_pVisuInterface = 0", L"MBBroadcast::VisiWin::VarConnect  line: 82"),
         "there was no connection to the HMI runtime when the variables were checked in "
         "(m_pVisuInterface = 0): restart the HMI runtime"},
        {L"Impersonation failed!",
         "the account TarselAdmin logs on but cannot be impersonated (Impersonation failed!): "
         "give the HMI runtime's account the right to impersonate a client after "
         "authentication, or remove the password from Computer.xml"},
        {Box(L"boom", L"X::Y  line: 3"), "X::Y reported \"boom\"; the log Vexa.log tells more"},
        {L"std text", "\"std text\"; the log Vexa.log tells more"},
        {L"", "no reason given; the log Vexa.log tells more"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sentence);
        EXPECT_EQ(host::ExplainStartUpFailure(c.text), c.sentence);
    }
}

}  // namespace
