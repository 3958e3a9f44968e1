#pragma once

#include <string>

// Which sensor source the machine has: "Vexa" of section "CD1_Setup" in Computer.ini.

// The text of the setting as written (empty when missing); the probe also takes it as the name
// of its own section.
std::wstring ReadSensorSourceSetting();

// True exactly when the setting is "SpeedFan" (whole text, case-sensitive): the sensor tool's
// shared memory; anything else means the motherboard probe.
bool UsesSpeedFanSource();
