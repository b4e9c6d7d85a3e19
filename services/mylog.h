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
  ~MyLogClass();
  MyLogClass(const MyLogClass&) = delete;
  MyLogClass& operator=(const MyLogClass&) = delete;

  // "<n> : <text>".
  void Out(std::string_view text);
  // A line as it is, unnumbered.
  void Write(std::string_view line);
  // Starts the file anew with `text` (the game log's data header).
  bool Restart(std::string_view text);
  void Delete();
  // Takes the log for this run: emptied, and held (a lock) until the program ends, so a second
  // instance started meanwhile cannot empty it. That one writes "<name>-2.log" (or -3 ... -9)
  // instead, and the result then names the log the other instance holds; "" otherwise.
  std::string Claim();
  std::int32_t Lines() const { return counter_; }

  std::string LogFileName;

 private:
  // The file stays open between lines, so a move costs no open; every line goes out in one write
  // of its own and is in the file once written, so a crash loses at most the line being written.
  bool Open();
  void Close();
  bool Put(std::string_view bytes);

  std::int32_t counter_ = 0;
  int fd_ = -1;
  std::string opened_;  // the path fd_ was opened for
};

// Game log lines, unnumbered, appended to the same file.
class FileGameLog : public IGameLog {
 public:
  explicit FileGameLog(MyLogClass& log) : log_(log) {}
  void WriteLine(std::string_view text) override {
    if (!Muted) log_.Write(text);
  }
  // Once the window is closing, nothing more is written after its last lines.
  bool Muted = false;

 private:
  MyLogClass& log_;
};

class MyLibClass;

// Starts the log anew with the data files of the coming quiz: version, locomotive list, train file.
bool LogOutFst(MyLogClass& log, MyLibClass& lib, const std::string& trdFolder, const std::string& trainFileName);

// Minutes and seconds of an elapsed time, hours left out: 3723 s reads "02:03".
std::string PlayTimeText(std::int64_t elapsedSeconds);

}  // namespace kelvara
