#pragma once

#include <string>

#include "acquisition/vexa_tool.h"

namespace MBDataAquisition {

// Takes the readings from the last line of the history file that the motherboard probe keeps
// appending to: three fans, four temperatures, eight voltages and the battery voltage.
class MBProbe : public VexaTool {
public:
    // Fixes the settings section and publishes the probe's sensor names.
    MBProbe();

    // Reads the history file named in the settings and refills the readings. Every stored
    // reading is odd (bit 0 set); a missing file or field reads as 1.
    void Update() override;

    // The last usable line of a text file (see last_line.h).
    static std::string ReadLastLine(const std::wstring& p_strPath);

    // The settings section of the probe and the Computer.ini path, fixed at construction.
    std::wstring m_strSection;
    std::wstring m_strIniFile;

private:
    // The history file was missing at the last update: its loss and its return are logged once
    // each, not every cycle.
    bool m_bHistoryMissing = false;
    // The history path last refused as a device or a pipe: logged once, not every cycle.
    std::wstring m_strRefusedHistory;
};

}  // namespace MBDataAquisition
