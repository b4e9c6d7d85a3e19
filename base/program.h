// Where the program lives: its folder and the name it was started by. base/folders.h says where
// its files are.
#pragma once

#include <string>

namespace kelvara {

// The executable's folder (with a trailing "/") and its whole file name.
const std::string& ProgramFolder();
const std::string& ExeName();
// The folder (with its "/") and the whole file name of an executable's path.
void SplitProgramPath(const std::string& exePath, std::string& folder, std::string& name);
// Start-up reads them from /proc/self/exe; tests point them elsewhere.
void SetProgramPaths(const std::string& folder, const std::string& exeName);

// Temporary tune files are named "<prefix><something>.tmp" and nothing else of ours is.
inline constexpr const char* kTempTunePrefix = "kelvara-tune-";
inline constexpr const char* kTempTuneSuffix = ".tmp";

}  // namespace kelvara
