#include "settings/freshness_limits.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "fakes/log_capture.h"
#include "fakes/memory_profile.h"
#include "platform/seam.h"
#include "settings/read_timeout.h"
#include "settings/settings.h"

namespace {

using std::chrono::milliseconds;

// Calls `read` with `text` as [section] key of the module's settings (nullptr: no key) and
// returns what it logged.
template <typename Read>
std::string WithModuleSetting(const wchar_t* section, const wchar_t* key, const wchar_t* text,
                              Read read)
{
    fakes::MemoryProfile profile;
    platform::Substitute<platform::Profile> inPlace(profile);
    UseModuleIniPath(L"c:\\Vexa\\VW_Vexa.ini");
    if (text != nullptr) {
        profile.entries[{L"c:\\Vexa\\VW_Vexa.ini", section, key}] = text;
    }
    const fakes::LogCapture log(0);
    read();
    UseModuleIniPath(L"");
    return log.Contents();
}

TEST(FreshnessLimits, ReadFromTheModuleSettingsWithDefaultsForWhatIsNoNumberOfSeconds)
{
    const struct {
        const wchar_t* text;  // nullptr: no key
        std::int64_t seconds;
        bool logged;
        const char* why = "is no number of seconds from 0 up";
    } cases[] = {
        {nullptr, 900, false},
        {L"", 900, false},
        {L"120", 120, false},
        {L" 60 ", 60, false},
        {L"0", 0, false},
        {L"-5", 900, true},
        {L"abc", 900, true},
        {L"12abc", 900, true},
        {L"0x10", 900, true},
        {L"3162240000", 3162240000, false},
        {L"3162240001", 900, true, "is more than a century (3162240000 s)"},
        {L"99999999999999999999", 900, true, "is more than a century (3162240000 s)"},
        {L"99999999999999999999x", 900, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text != nullptr ? c.text : L"<no key>");
        FreshnessLimits limits;
        const std::string text = WithModuleSetting(L"Freshness", L"SensorSeconds", c.text,
                                                   [&] { limits = ReadFreshnessLimits(); });
        EXPECT_EQ(limits.sensorSeconds, c.seconds);
        EXPECT_EQ(limits.diskSeconds, 3600);
        EXPECT_EQ(text.find("Freshness SensorSeconds \"") != std::string::npos, c.logged) << text;
        if (c.logged) {
            EXPECT_NE(text.find(std::string(c.why) + "; the limit is 900 s"), std::string::npos)
                << text;
        }
    }
}

// The read timeout of the disk and history reads: never longer than the pause between cycles.
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
        milliseconds timeout{};
        const std::string text = WithModuleSetting(L"Timer", L"ReadTimeout", c.text,
                                                   [&] { timeout = ReadReadTimeout(c.pause); });
        EXPECT_EQ(timeout, c.timeout);
        EXPECT_EQ(text.find("is no number of milliseconds from 1 up; the timeout is 5000 ms") !=
                      std::string::npos,
                  c.logged);
    }
}

}  // namespace
