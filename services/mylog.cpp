#include "services/mylog.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "base/paths.h"
#include "data/mylib.h"

namespace kelvara {

MyLogClass::~MyLogClass() { Close(); }

bool MyLogClass::Open() {
  // A log deleted or rotated away while the game runs is made again under its name: lines
  // written to a file nobody can open are lost lines.
  struct stat held {}, named {};
  if (fd_ >= 0 && opened_ == LogFileName && ::fstat(fd_, &held) == 0 && ::stat(LogFileName.c_str(), &named) == 0 &&
      held.st_ino == named.st_ino && held.st_dev == named.st_dev) {
    return true;
  }
  Close();
  fd_ = ::open(LogFileName.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd_ < 0) return false;
  opened_ = LogFileName;
  ::flock(fd_, LOCK_EX | LOCK_NB);  // held again, where nobody else holds it
  return true;
}

void MyLogClass::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  opened_.clear();
}

bool MyLogClass::Put(std::string_view bytes) {
  if (!Open()) return false;
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

void MyLogClass::Out(std::string_view text) {
  ++counter_;
  Put(std::to_string(counter_) + " : " + std::string(text) + "\r\n");
}

void MyLogClass::Write(std::string_view line) { Put(std::string(line) + "\r\n"); }

bool MyLogClass::Restart(std::string_view text) {
  if (!Open() || ::ftruncate(fd_, 0) != 0) return false;
  return Put(text);
}

std::string MyLogClass::Claim() {
  Close();
  const std::string wanted = LogFileName;
  const std::filesystem::path path(wanted);
  const std::string stem = (path.parent_path() / path.stem()).string(), ext = path.extension().string();
  for (int n = 1; n <= 9; ++n) {
    const std::string name = n == 1 ? wanted : stem + "-" + std::to_string(n) + ext;
    // Something that is not a plain file under the name goes, as the old log did: a link is never
    // followed into somebody else's file.
    struct stat there {};
    if (::lstat(name.c_str(), &there) == 0 && !S_ISREG(there.st_mode)) ::unlink(name.c_str());
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) break;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);  // another instance writes this one
      continue;
    }
    if (::ftruncate(fd, 0) != 0) {
      ::close(fd);
      break;
    }
    fd_ = fd;
    LogFileName = opened_ = name;
    return n == 1 ? std::string() : wanted;
  }
  LogFileName = wanted;  // no log can be held: lines go where they went before, unheld
  return {};
}

void MyLogClass::Delete() {
  Close();
  std::error_code ec;
  std::filesystem::remove(LogFileName, ec);
}

bool LogOutFst(MyLogClass& log, MyLibClass& lib, const std::string& trdFolder, const std::string& trainFileName) {
  std::ostringstream out;
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
  return log.Restart(out.str());
}

std::string PlayTimeText(std::int64_t elapsedSeconds) {
  if (elapsedSeconds < 0) elapsedSeconds = 0;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d", static_cast<int>((elapsedSeconds / 60) % 60),
                static_cast<int>(elapsedSeconds % 60));
  return buf;
}

}  // namespace kelvara
