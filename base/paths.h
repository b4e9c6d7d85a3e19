// File names as the data files write them: Windows paths read on Linux.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kelvara {

// ASCII letters lower-cased, everything else left as it is: for names compared without case.
inline std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// "\" is a folder separator in data files; on this system it becomes "/".
std::string NormalizeSeparators(std::string_view path);
// The path before its last component, separator included; "" without a folder part.
std::string FolderOf(std::string_view path);
// Folder and name joined with exactly one separator.
std::string BuildPath(std::string_view folder, std::string_view name);
// Last component without its extension, and the text after the last "." of that component.
std::string GetBaseName(std::string_view path);
std::string GetExtensionName(std::string_view path);
std::string GetFileName(std::string_view path);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Whether the folder's entries can be listed; errno says why not.
bool FolderReadable(const std::string& path);

// A car name from a data file, looked up in the folder: a data pack names files of its own, never
// anything else on the machine, so a name that is absolute or climbs out with ".." gives "".
std::string ResolveCarPath(std::string_view folder, std::string_view name);

// Whether `path`, its links followed, stands inside `folder` (its links followed too); what is not
// on disk is taken as written.
bool InsideFolder(const std::string& path, const std::string& folder);

// Windows finds "Car.BMP " when "car.bmp" is on disk; data written there relies on it.
// Returns the path as it exists on disk, or the path unchanged when nothing matches.
std::string FindLikeWindows(const std::string& path);

// Regular files of a folder, in a stable (name) order.
std::vector<std::string> ListFiles(const std::string& folder);

}  // namespace kelvara
