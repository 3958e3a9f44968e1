#include "settings/read_timeout.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "fakes/log_capture.h"
#include "fakes/memory_profile.h"
#include "platform/seam.h"
#include "settings/settings.h"

namespace {

using std::chrono::milliseconds;

TEST(ReadTimeout, ReadFromTheModuleSettingsAndNeverLongerThanThePause)
{
    const struct {
        const wchar_t* text;  // nullptr: no key
        milliseconds pause;
        milliseconds timeout;
        bool logged;
    } cases[] = {
        {nullptr, milliseconds(10000), milliseconds(5000), false},
        {L"", milliseconds(10000), milliseconds(5000), false},
        {L" 2500 ", milliseconds(10000), milliseconds(2500), false},
        {L"20000", milliseconds(10000), milliseconds(10000), false},  // the pause at most
        {nullptr, milliseconds(200), milliseconds(200), false},
        {L"0", milliseconds(10000), milliseconds(5000), true},
        {L"-100", milliseconds(10000), milliseconds(5000), true},
        {L"5s", milliseconds(10000), milliseconds(5000), true},
        {L"99999999999999999999", milliseconds(3600000), milliseconds(3600000), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text != nullptr ? c.text : L"<no key>");
        fakes::MemoryProfile profile;
        platform::Substitute<platform::Profile> inPlace(profile);
        UseModuleIniPath(L"c:\\Vexa\\VW_Vexa.ini");
        if (c.text != nullptr) {
            profile.entries[{L"c:\\Vexa\\VW_Vexa.ini", L"Timer", L"ReadTimeout"}] = c.text;
        }
        const fakes::LogCapture log(0);
        const milliseconds timeout = ReadReadTimeout(c.pause);
        UseModuleIniPath(L"");
        EXPECT_EQ(timeout, c.timeout);
        EXPECT_EQ(log.Contents().find("is no number of milliseconds from 1 up; the timeout is "
                                      "5000 ms") != std::string::npos,
                  c.logged);
    }
}

}  // namespace
