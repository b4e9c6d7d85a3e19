// The settings file: defaults, reading and writing the [Kelvara] section.
#pragma once

#include <string>

#include "services/settings.h"

namespace kelvara {

// `dataFolder` is the player's data folder (beside the program in a portable copy): its "Cars" is
// the default train folder, and the one taken when the file names a folder that is gone.
// Sets every field to its default (OneInput keeps its value).
void DefaultSettings(AppSettings& s, const std::string& dataFolder);
// The defaults, written to the file.
bool CreateIni(AppSettings& s, const std::string& iniPath, const std::string& dataFolder);
// Reads the file; booleans only ever switch on, the two sound switches follow the file exactly.
void LoadIni(AppSettings& s, const std::string& iniPath, const std::string& dataFolder);
// Writes the fourteen keys in order, keeping everything else in the file. False when it could
// not be written, or when the file there could not be read; the old file is then untouched.
bool SaveIni(const AppSettings& s, const std::string& iniPath);
// Writes the window size chosen in the View menu ("Zoom"), and nothing else.
bool SaveZoom(const AppSettings& s, const std::string& iniPath);

}  // namespace kelvara
