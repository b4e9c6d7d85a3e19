#include "base/folders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "base/program.h"

#ifndef KELVARA_DATA_FROM_BIN
#define KELVARA_DATA_FROM_BIN "../share/kelvara"
#endif

namespace kelvara {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFolderName = "kelvara";

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

std::string WithoutSeparator(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The folder of the default set beside a program, in the letter case it has on disk.
std::string CarsIn(const std::string& folder) {
  for (const char* spelling : {"Cars", "cars", "CARS"}) {
    if (IsFolder(folder + "/" + spelling)) return folder + "/" + spelling;
  }
  return folder + "/Cars";
}

std::string Home(const Environment& env) {
  if (const char* home = env("HOME"); home != nullptr && home[0] == '/') return WithoutSeparator(home);
  if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
    return WithoutSeparator(pw->pw_dir);
  }
  return "/tmp";
}

// An XDG variable counts only when it holds an absolute path; otherwise the default under home.
std::string Base(const Environment& env, const char* variable, const std::string& fallback) {
  if (const char* v = env(variable); v != nullptr && v[0] == '/') return WithoutSeparator(v);
  return fallback;
}

struct State {
  std::optional<Folders> forced;
  std::string foundFor;  // the program folder `found` belongs to
  Folders found;
  bool have = false;
};

State& Current() {
  static State state;
  return state;
}

}  // namespace

Folders FindFolders(const std::string& programFolder, bool programFolderWritable, const std::string& dataFromBin,
                    const Environment& env) {
  const std::string program = WithoutSeparator(programFolder.empty() ? "." : programFolder);
  Folders f;
  const std::string shared = dataFromBin.empty() ? std::string() : fs::path(program + "/" + dataFromBin).lexically_normal().string();
  const bool installed = IsFolder(WithoutSeparator(shared));
  if (!installed && programFolderWritable) {
    f.portable = true;
    f.settings = f.log = f.temp = f.userData = program;
    f.help = program + "/help";
    f.icons = program + "/icons";
    return f;
  }
  f.portable = false;
  const std::string home = Home(env);
  f.settings = Base(env, "XDG_CONFIG_HOME", home + "/.config") + "/" + kFolderName;
  f.log = Base(env, "XDG_STATE_HOME", home + "/.local/state") + "/" + kFolderName;
  f.userData = Base(env, "XDG_DATA_HOME", home + "/.local/share") + "/" + kFolderName;
  const std::string runtime = Base(env, "XDG_RUNTIME_DIR", "");
  f.temp = IsFolder(runtime) ? runtime : "/tmp";
  if (installed) {
    const std::string data = WithoutSeparator(shared);
    f.installedSet = data + "/Cars";
    f.help = data + "/help";
    f.icons = fs::path(data + "/../icons/hicolor").lexically_normal().string();
  } else {  // a copy the player cannot write: its files are the installed ones
    f.installedSet = CarsIn(program);
    f.help = program + "/help";
    f.icons = program + "/icons";
  }
  return f;
}

std::string IconPath(const Folders& folders, int size) {
  const std::string n = std::to_string(size);
  if (folders.icons.ends_with("/hicolor")) return folders.icons + "/" + n + "x" + n + "/apps/kelvara.png";
  return folders.icons + "/kelvara-" + n + ".png";
}

const Folders& UserFolders() {
  State& s = Current();
  if (s.forced) return *s.forced;
  if (!s.have || s.foundFor != ProgramFolder()) {
    const std::string& program = ProgramFolder();
    s.found = FindFolders(program, ::access(program.empty() ? "." : program.c_str(), W_OK) == 0, KELVARA_DATA_FROM_BIN,
                          [](const char* name) { return std::getenv(name); });
    s.foundFor = ProgramFolder();
    s.have = true;
  }
  return s.found;
}

void SetUserFolders(std::optional<Folders> folders) { Current().forced = std::move(folders); }

bool MakeFolder(const std::string& path) {
  if (path.empty()) return false;
  if (IsFolder(path)) return true;
  const fs::path whole = fs::path(path).lexically_normal();
  fs::path at;
  for (const fs::path& part : whole) {
    at /= part;
    if (IsFolder(at.string())) continue;
    if (::mkdir(at.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return IsFolder(path);
}

}  // namespace kelvara
