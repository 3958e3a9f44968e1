#include "settings/freshness_limits.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "fakes/log_capture.h"
#include "fakes/memory_profile.h"
#include "platform/seam.h"
#include "settings/settings.h"

namespace {

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
        fakes::MemoryProfile profile;
        platform::Substitute<platform::Profile> inPlace(profile);
        UseModuleIniPath(L"c:\\Vexa\\VW_Vexa.ini");
        if (c.text != nullptr) {
            profile.entries[{L"c:\\Vexa\\VW_Vexa.ini", L"Freshness", L"SensorSeconds"}] = c.text;
        }
        const fakes::LogCapture log(0);
        const FreshnessLimits limits = ReadFreshnessLimits();
        UseModuleIniPath(L"");
        EXPECT_EQ(limits.sensorSeconds, c.seconds);
        EXPECT_EQ(limits.diskSeconds, 3600);
        const std::string text = log.Contents();
        EXPECT_EQ(text.find("Freshness SensorSeconds \"") != std::string::npos, c.logged) << text;
        if (c.logged) {
            EXPECT_NE(text.find(std::string(c.why) + "; the limit is 900 s"), std::string::npos)
                << text;
        }
    }
}

}  // namespace
