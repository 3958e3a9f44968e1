#pragma once

#include <cstddef>
#include <string>

// Which sensor source the machine has: "Vexa" of section "CD1_Setup" in Computer.ini.

// The text of the setting as written (empty when missing); the probe also takes it as the name
// of its own section.
std::wstring ReadSensorSourceSetting();

// The probe reads key "HistoryFile" of its section with a buffer of this many characters.
inline constexpr std::size_t kHistoryFileBuffer = 255;

// The probe's section of Computer.ini: the setting's text, or "MbProbe" when it is empty.
std::wstring ProbeSectionName();

// The probe's history file as its section names it; empty with the SpeedFan source, which has
// none, and without the key.
std::wstring ReadHistoryFilePath();

// True exactly when the setting is "SpeedFan" (whole text, case-sensitive): the sensor tool's
// shared memory; anything else means the motherboard probe.
bool UsesSpeedFanSource();
