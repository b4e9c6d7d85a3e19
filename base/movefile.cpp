#include "base/movefile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "base/paths.h"

namespace kelvara {

int FileCalls::RenameNoReplace(const char* from, const char* to) {
  if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
  // A file system without that kind of rename: a second link refuses an existing name too.
  if (::link(from, to) != 0) return -1;
  return ::unlink(from);
}
int FileCalls::Open(const char* path, int flags, mode_t mode) { return ::open(path, flags | O_CLOEXEC, mode); }
ssize_t FileCalls::Read(int fd, void* buffer, std::size_t size) { return ::read(fd, buffer, size); }
ssize_t FileCalls::Write(int fd, const void* buffer, std::size_t size) { return ::write(fd, buffer, size); }
int FileCalls::Fsync(int fd) { return ::fsync(fd); }
int FileCalls::Close(int fd) { return ::close(fd); }
int FileCalls::Unlink(const char* path) { return ::unlink(path); }

namespace {

std::string Error(int err, const std::string& path) { return std::string(std::strerror(err)) + ": " + path; }

// Reads up to `size` bytes, going on after short reads; -1 on an error.
ssize_t ReadFull(FileCalls& calls, int fd, char* buffer, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = calls.Read(fd, buffer + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(done);
}

bool WriteFull(FileCalls& calls, int fd, const char* buffer, std::size_t size) {
  while (size > 0) {
    const ssize_t n = calls.Write(fd, buffer, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    buffer += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Whether the two open files hold the same bytes.
bool SameBytes(FileCalls& calls, int a, int b, bool& readError) {
  std::vector<char> x(1 << 16), y(1 << 16);
  for (;;) {
    const ssize_t n = ReadFull(calls, a, x.data(), x.size());
    const ssize_t m = ReadFull(calls, b, y.data(), y.size());
    if (n < 0 || m < 0) {
      readError = true;
      return false;
    }
    if (n != m || std::memcmp(x.data(), y.data(), static_cast<std::size_t>(n)) != 0) return false;
    if (n == 0) return true;
  }
}

// Between file systems: a copy under a name of its own, checked, then the source goes.
std::string CopyAcross(const std::string& source, const std::string& target, const struct stat& info,
                       FileCalls& calls) {
  const int in = calls.Open(source.c_str(), O_RDONLY, 0);
  if (in < 0) return Error(errno, source);
  const int out = calls.Open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL, info.st_mode & 07777);
  if (out < 0) {
    const int err = errno;
    calls.Close(in);
    return Error(err, target);
  }
  std::string problem;
  std::vector<char> buffer(1 << 16);
  off_t copied = 0;
  for (;;) {
    const ssize_t n = ReadFull(calls, in, buffer.data(), buffer.size());
    if (n < 0) {
      problem = Error(errno, source);
      break;
    }
    if (n == 0) break;
    if (!WriteFull(calls, out, buffer.data(), static_cast<std::size_t>(n))) {
      problem = Error(errno != 0 ? errno : EIO, target);
      break;
    }
    copied += n;
  }
  if (problem.empty() && calls.Fsync(out) != 0) problem = Error(errno, target);
  if (calls.Close(out) != 0 && problem.empty()) problem = Error(errno, target);
  calls.Close(in);
  if (problem.empty() && copied != info.st_size) problem = Error(EIO, target);

  // The copy counts only when it reads back byte for byte as the source.
  if (problem.empty()) {
    const int a = calls.Open(source.c_str(), O_RDONLY, 0);
    const int b = calls.Open(target.c_str(), O_RDONLY, 0);
    bool readError = false;
    if (a < 0 || b < 0 || !SameBytes(calls, a, b, readError)) problem = Error(a < 0 || b < 0 || readError ? errno : EIO, target);
    if (a >= 0) calls.Close(a);
    if (b >= 0) calls.Close(b);
  }
  if (!problem.empty()) {
    calls.Unlink(target.c_str());  // a copy that failed is ours to take back; the source stays
    return problem;
  }
  if (calls.Unlink(source.c_str()) != 0) return Error(errno, source);  // both stay: nothing lost
  return {};
}

}  // namespace

std::string MoveFileInto(const std::string& source, const std::string& folder, FileCalls& calls) {
  struct stat info {};
  if (::stat(source.c_str(), &info) != 0) return Error(errno, source);
  if (!S_ISREG(info.st_mode)) return Error(S_ISDIR(info.st_mode) ? EISDIR : EINVAL, source);
  struct stat into {};
  if (::stat(folder.c_str(), &into) != 0) return Error(errno, folder);
  if (!S_ISDIR(into.st_mode)) return Error(ENOTDIR, folder);
  const std::string target = BuildPath(folder, GetFileName(source));
  struct stat there {};
  if (::lstat(target.c_str(), &there) == 0) return Error(EEXIST, target);

  if (calls.RenameNoReplace(source.c_str(), target.c_str()) == 0) return {};
  if (errno != EXDEV) return Error(errno, errno == EEXIST ? target : source);
  return CopyAcross(source, target, info, calls);
}

std::string MoveFileInto(const std::string& source, const std::string& folder) {
  FileCalls calls;
  return MoveFileInto(source, folder, calls);
}

}  // namespace kelvara
