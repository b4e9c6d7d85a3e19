#include "services/mylog.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "data/mylib.h"
#include "base/paths.h"

namespace kelvara {

namespace {

void AppendLine(const std::string& path, std::string_view line) {
  std::ofstream out(path, std::ios::binary | std::ios::app);
  out << line << "\r\n";
}

}  // namespace

void MyLogClass::Out(std::string_view text) {
  ++counter_;
  AppendLine(LogFileName, std::to_string(counter_) + " : " + std::string(text));
}

void MyLogClass::Delete() {
  std::error_code ec;
  std::filesystem::remove(LogFileName, ec);
}

void FileGameLog::WriteLine(std::string_view text) { AppendLine(log_.LogFileName, text); }

bool LogOutFst(const std::string& logFile, MyLibClass& lib, const std::string& trdFolder,
               const std::string& trainFileName) {
  std::ofstream out(logFile, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  auto line = [&](std::string_view s) { out << s << "\r\n"; };
  auto twoEmpty = [&] { line("\r\n"); };
  line("Software Info.----");
  line(MyLibClass::GetVersionString());
  twoEmpty();
  const std::string lst = BuildPath(NormalizeSeparators(trdFolder), "loco.lst");
  line("Lst File----");
  line(lst);
  lib.InsertFile(FindLikeWindows(lst), out);
  twoEmpty();
  line("TRD File----");
  line(trainFileName);
  lib.InsertFile(FindLikeWindows(NormalizeSeparators(trainFileName)), out);
  twoEmpty();
  return static_cast<bool>(out);
}

std::string PlayTimeText(std::int64_t elapsedSeconds) {
  if (elapsedSeconds < 0) elapsedSeconds = 0;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d", static_cast<int>((elapsedSeconds / 60) % 60),
                static_cast<int>(elapsedSeconds % 60));
  return buf;
}

}  // namespace kelvara
