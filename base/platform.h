// The operating-system services the game asks for, on Linux.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kelvara {

struct WorkArea {
  int left = 0, top = 0, right = 1920, bottom = 1080;
};

class Win32ApiClass {
 public:
  // Milliseconds from a monotonic clock, wrapping at 2^32.
  static std::uint32_t GetTickCount();
  // The system's text for an error number.
  static std::string FormatMessage(int code);
  // The temporary folder with its trailing "/".
  static std::string GetTempPath();
  // With unique 0: creates "<path><prefix>XXXX.tmp" empty and returns its number; otherwise only
  // builds the name from `unique`. The name goes to `buffer`.
  static std::uint32_t GetTempFileName(const std::string& path, const std::string& prefix, std::uint32_t unique,
                                       std::string& buffer);
  // The desktop without panels and docks, in pixels; the window front end supplies it.
  static WorkArea GetWorkArea();
  static void SetWorkAreaProvider(std::function<WorkArea()> provider);
};

// The folder picker: the front end supplies the dialog (start folder in, chosen folder out, ""
// when cancelled). BrowseForFolder returns the choice in lower case where that still names the
// same folder; on a case-sensitive file system a path with capitals is returned as chosen.
using FolderPicker = std::function<std::string(const std::string& title, const std::string& startFolder)>;
void SetFolderPicker(FolderPicker picker);
std::string BrowseForFolder(const std::string& title, const std::string& startFolder);

}  // namespace kelvara
