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
    folder = self.parent_path().string() + "/";
    exe = self.stem().string();
  }
};

Paths& Get() {
  static Paths paths;
  return paths;
}

}  // namespace

const std::string& ProgramFolder() { return Get().folder; }
const std::string& ExeName() { return Get().exe; }

void SetProgramPaths(const std::string& folder, const std::string& exeName) {
  Get().folder = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  Get().exe = exeName;
}

}  // namespace kelvara
