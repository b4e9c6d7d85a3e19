#include "base/platform.h"
#include "base/paths.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

namespace kelvara {

namespace {

std::function<WorkArea()>& WorkAreaProvider() {
  static std::function<WorkArea()> provider;
  return provider;
}

FolderPicker& Picker() {
  static FolderPicker picker;
  return picker;
}

}  // namespace

std::uint32_t Win32ApiClass::GetTickCount() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<std::uint32_t>(ms.count());
}

std::string Win32ApiClass::FormatMessage(int code) { return std::strerror(code); }

std::string Win32ApiClass::GetTempPath() {
  std::string p;
  if (const char* t = std::getenv("TMPDIR"); t != nullptr && *t != '\0') {
    p = t;
  } else {
    p = "/tmp";
  }
  if (p.back() != '/') p += '/';
  return p;
}

std::uint32_t Win32ApiClass::GetTempFileName(const std::string& path, const std::string& prefix,
                                             std::uint32_t unique, std::string& buffer) {
  std::string folder = path.empty() ? "./" : path;
  if (folder.back() != '/') folder += '/';
  auto name = [&](std::uint32_t n) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", n & 0xFFFF);
    return folder + prefix.substr(0, 3) + hex + ".tmp";
  };
  if (unique != 0) {
    buffer = name(unique);
    return unique;
  }
  std::random_device rd;
  for (int attempt = 0; attempt < 65536; ++attempt) {
    const std::uint32_t n = (rd() & 0xFFFF) | 1;
    const std::string candidate = name(n);
    const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
      ::close(fd);
      buffer = candidate;
      return n;
    }
  }
  buffer.clear();
  return 0;
}

WorkArea Win32ApiClass::GetWorkArea() {
  const auto& provider = WorkAreaProvider();
  return provider ? provider() : WorkArea{};
}

void Win32ApiClass::SetWorkAreaProvider(std::function<WorkArea()> provider) {
  WorkAreaProvider() = std::move(provider);
}

void SetFolderPicker(FolderPicker picker) { Picker() = std::move(picker); }

std::string BrowseForFolder(const std::string& title, const std::string& startFolder) {
  if (!Picker()) return {};
  const std::string chosen = Picker()(title, startFolder);
  if (chosen.empty()) return {};
  const std::string lower = Lower(chosen);
  std::error_code ec;
  if (lower == chosen) return chosen;
  // Lower case is how the setting has always been stored; keep it only where it finds the folder.
  if (std::filesystem::is_directory(lower, ec) && std::filesystem::equivalent(lower, chosen, ec)) return lower;
  return chosen;
}

}  // namespace kelvara
