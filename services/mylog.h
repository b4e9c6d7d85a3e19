// The program's log file: numbered trace lines (MyLogClass) and the plain game log lines
// of the yard after every move, both in one file beside the executable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/ports.h"

namespace kelvara {

class MyLogClass {
 public:
  explicit MyLogClass(std::string logFileName) : LogFileName(std::move(logFileName)) {}

  // "<n> : <text>", the file opened and closed for every line so a crash loses at most one.
  void Out(std::string_view text);
  void Delete();
  std::int32_t Lines() const { return counter_; }

  std::string LogFileName;

 private:
  std::int32_t counter_ = 0;
};

// Game log lines, unnumbered, appended to the same file.
class FileGameLog : public IGameLog {
 public:
  explicit FileGameLog(const MyLogClass& log) : log_(log) {}
  void WriteLine(std::string_view text) override;

 private:
  const MyLogClass& log_;
};

class MyLibClass;

// Starts the log anew with the data files of the coming quiz: version, locomotive list, train file.
bool LogOutFst(const std::string& logFile, MyLibClass& lib, const std::string& trdFolder,
               const std::string& trainFileName);

// Minutes and seconds of an elapsed time, hours left out: 3723 s reads "02:03".
std::string PlayTimeText(std::int64_t elapsedSeconds);

}  // namespace kelvara
