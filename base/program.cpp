#include "base/program.h"

#include <filesystem>
#include <system_error>

namespace kelvara {

namespace {

struct Paths {
  std::string folder;
  std::string exe;
  Paths() {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
      folder = "./";
      exe = "kelvara";
      return;
    }
    SplitProgramPath(self.string(), folder, exe);
  }
};

Paths& Get() {
  static Paths paths;
  return paths;
}

}  // namespace

void SplitProgramPath(const std::string& exePath, std::string& folder, std::string& name) {
  const std::filesystem::path self(exePath);
  folder = self.parent_path().string() + "/";
  // Linux programs carry no extension: "kelvara-1.0" is the whole name.
  name = self.filename().string();
}

const std::string& ProgramFolder() { return Get().folder; }

const std::string& ExeName() { return Get().exe; }

void SetProgramPaths(const std::string& folder, const std::string& exeName) {
  Get().folder = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  Get().exe = exeName;
}

}  // namespace kelvara
