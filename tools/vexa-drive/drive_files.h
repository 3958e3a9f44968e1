#pragma once

#include <string>

#include "drive_options.h"

// Writes the drive's files into its folder and removes those the options do not ask for. Empty
// when done, else what failed.
std::string WriteDriveFiles(const DriveOptions& options);
