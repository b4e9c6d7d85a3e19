// The settings file: defaults, reading and writing the [Kelvara] section.
#pragma once

#include <string>

#include "services/settings.h"

namespace kelvara {

// Sets every field to its default (OneInput keeps its value) and writes the file.
bool CreateIni(AppSettings& s, const std::string& iniPath, const std::string& programFolder);
// Reads the file; booleans only ever switch on, the two sound switches follow the file exactly.
void LoadIni(AppSettings& s, const std::string& iniPath, const std::string& programFolder);
// Writes the fourteen keys in order, keeping everything else in the file. False when it could
// not be written; the old file is then untouched.
bool SaveIni(const AppSettings& s, const std::string& iniPath);
// Writes the window size chosen in the View menu ("Zoom"), and nothing else.
bool SaveZoom(const AppSettings& s, const std::string& iniPath);

}  // namespace kelvara
