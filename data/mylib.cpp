#include "data/mylib.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace kelvara {

MyLibClass::MyLibClass(IClock& clock)
    : clock_(clock),
      rng_(static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count())) {}

std::string MyLibClass::F_STR(std::string_view text, std::string_view delimiter) {
  const auto at = text.find(delimiter);
  return std::string(at == std::string_view::npos ? text : text.substr(0, at));
}

std::string MyLibClass::B_STR(std::string_view text, std::string_view delimiter) {
  const auto at = text.find(delimiter);
  if (at == std::string_view::npos || at + 1 >= text.size()) return {};
  return std::string(text.substr(at + 1));
}

std::string MyLibClass::RightAlignmentStrings(std::string_view src, int width) {
  if (width <= static_cast<int>(src.size())) return std::string(src);
  return std::string(static_cast<std::size_t>(width) - src.size(), ' ') + std::string(src);
}

std::int32_t MyLibClass::GetRandom(double lower, double upper) {
  // 24 random bits make a single-precision fraction in [0, 1).
  const float u = static_cast<float>(rng_() >> 40) * (1.0f / 16777216.0f);
  const double v = std::floor((upper - lower + 1.0) * static_cast<double>(u) + lower);
  if (std::isnan(v)) return 0;
  constexpr double lo = std::numeric_limits<std::int32_t>::min();
  constexpr double hi = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::clamp(v, lo, hi));
}

void MyLibClass::Wait1ms(int ms) {
  // The wait length is a 16-bit count in the game's routines.
  clock_.Wait(std::clamp(ms, 0, 32767));
}

}  // namespace kelvara

#include <filesystem>
#include <fstream>

#include "data/bmp.h"
#include "base/folders.h"
#include "base/paths.h"
#include "base/textfile.h"
#include "base/product.h"
#include "base/program.h"

namespace kelvara {

std::int32_t MyLibClass::GetBMPWidth(const std::string& path) { return kelvara::GetBMPWidth(path); }
std::int32_t MyLibClass::GetBMPHeight(const std::string& path) { return kelvara::GetBMPHeight(path); }

void MyLibClass::SeparateArgmentStrings(std::string_view text, std::vector<std::string>& out) {
  if (!text.empty() && (text.front() == '/' || text.front() == '-')) text.remove_prefix(1);
  std::string rest(text);
  const std::size_t upper = out.empty() ? 0 : out.size() - 1;
  std::size_t i = 0;
  for (;;) {
    clock_.PumpOnce();
    if (i >= upper) break;
    const std::string token = F_STR(rest, " ");
    if (token.empty()) break;
    out[i++] = token;
    rest = B_STR(rest, " ");
    if (rest.empty()) break;
  }
}

std::string MyLibClass::GetIniFileName() { return BuildPath(UserFolders().settings, ExeName() + ".ini"); }

std::string MyLibClass::GetVersionString() {
  return "Ver " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

void MyLibClass::DeleteTempFile(const std::string& keep) {
  namespace fs = std::filesystem;
  const std::string prefix = kTempTunePrefix;
  const std::string suffix = kTempTuneSuffix;
  const std::string& folder = UserFolders().temp;
  for (const std::string& name : ListFiles(folder)) {
    if (!keep.empty() && GetFileName(keep) == name) continue;
    if (name.size() > prefix.size() + suffix.size() && name.starts_with(prefix) && name.ends_with(suffix)) {
      std::error_code ec;
      fs::remove(fs::path(folder) / name, ec);
    }
  }
}

bool MyLibClass::InsertFile(const std::string& SrcFileName, std::ostream& DestFile) {
  if (!FileExists(SrcFileName)) return false;
  // The destination is a log that has its header already; an empty one is refused.
  const auto at = DestFile.tellp();
  if (at == std::ostream::pos_type(-1) || at == std::ostream::pos_type(0)) return false;
  const auto bytes = ReadFileBytes(SrcFileName, kTrainFileLimit);
  if (!bytes) return false;
  for (const std::string& line : SplitLines(DecodeText(*bytes))) {
    clock_.PumpOnce();
    DestFile << line << "\r\n";
  }
  return true;
}

}  // namespace kelvara
