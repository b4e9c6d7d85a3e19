#include "base/paths.h"

#include <dirent.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace kelvara {

namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string_view TrimRightBlanksAndDots(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '.')) s.remove_suffix(1);
  return s;
}

}  // namespace

std::string NormalizeSeparators(std::string_view path) {
  std::string out(path);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

std::string FolderOf(std::string_view path) {
  const auto at = path.find_last_of("/\\");
  if (at == std::string_view::npos) return {};
  return std::string(path.substr(0, at + 1));
}

std::string BuildPath(std::string_view folder, std::string_view name) {
  if (folder.empty()) return std::string(name);
  std::string out(folder);
  while (!name.empty() && IsSeparator(name.front())) name.remove_prefix(1);
  if (!IsSeparator(out.back())) out += '/';
  return out + std::string(name);
}

std::string GetFileName(std::string_view path) {
  const auto at = path.find_last_of("/\\");
  return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string GetExtensionName(std::string_view path) {
  const std::string name = GetFileName(path);
  const auto dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string GetBaseName(std::string_view path) {
  const std::string name = GetFileName(path);
  const auto dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_regular_file(fs::path(path), ec);
}

bool FolderReadable(const std::string& path) {
  DIR* dir = ::opendir(path.empty() ? "." : path.c_str());
  if (dir == nullptr) return false;
  ::closedir(dir);
  return true;
}

bool FolderExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(fs::path(path), ec);
}

std::string ResolveCarPath(std::string_view folder, std::string_view name) {
  const std::string path = NormalizeSeparators(name);
  // "/etc/x", "C:/x" and "../x" (a "\\" of Windows is a separator here too) name nothing of the pack.
  if (path.empty() || path.front() == '/' || (path.size() >= 2 && path[1] == ':')) return {};
  for (std::size_t at = 0; at <= path.size();) {
    const std::size_t end = std::min(path.find('/', at), path.size());
    if (path.substr(at, end - at) == "..") return {};
    at = end + 1;
  }
  return BuildPath(folder, path);
}

bool InsideFolder(const std::string& path, const std::string& folder) {
  if (path.empty() || folder.empty()) return false;
  // What is on disk with its links followed; what is not (a picture held in memory), as written.
  std::error_code ec, ed;
  const fs::path file = fs::weakly_canonical(fs::absolute(fs::path(path), ec), ec);
  const fs::path root = fs::weakly_canonical(fs::absolute(fs::path(folder), ed), ed);
  if (ec || ed) return false;
  const std::string f = file.string(), r = root.string();
  return f.size() > r.size() && f.compare(0, r.size(), r) == 0 && (r.back() == '/' || f[r.size()] == '/');
}

std::string FindLikeWindows(const std::string& path) {
  if (FileExists(path)) return path;
  const std::string folder = FolderOf(path);
  const std::string want = AsciiLower(TrimRightBlanksAndDots(GetFileName(path)));
  if (want.empty()) return path;
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec);
  if (ec) return path;
  std::string found;
  for (const auto& entry : it) {
    const std::string name = entry.path().filename().string();
    if (AsciiLower(name) == want && entry.is_regular_file(ec)) {
      // Several spellings of one name: take the first in name order, as a listing would.
      if (found.empty() || name < found) found = name;
    }
  }
  return found.empty() ? path : folder + found;
}

std::vector<std::string> ListFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(fs::path(folder), ec);
  if (ec) return names;
  for (const auto& entry : it) {
    if (entry.is_regular_file(ec)) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace kelvara
