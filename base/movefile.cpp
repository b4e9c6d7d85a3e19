#include "base/movefile.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
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

// A temporary of our own in `folder`, made afresh (never a name that is there, never through a
// link): its descriptor, or -1.
int OpenTemporary(FileCalls& calls, const std::string& folder, mode_t mode, std::string& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "%06x%04x",
                  static_cast<unsigned>(::getpid() ^ std::chrono::steady_clock::now().time_since_epoch().count()) & 0xFFFFFFu,
                  counter++ & 0xFFFFu);
    name = BuildPath(folder, std::string(kInstallTempPrefix) + suffix + ".tmp");
    const int fd = calls.Open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Between file systems, or for a link: the bytes copied under a name of our own, checked
// through our own descriptors, renamed into place without replacing, and only then the source
// removed. A failure removes nothing but our temporary.
std::string CopyAcross(const std::string& source, const std::string& folder, const std::string& target,
                       FileCalls& calls, bool& installed) {
  const int in = calls.Open(source.c_str(), O_RDONLY | O_NONBLOCK, 0);
  if (in < 0) return Error(errno, source);
  struct stat info {};
  if (::fstat(in, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int err = S_ISDIR(info.st_mode) ? EISDIR : errno != 0 ? errno : EINVAL;
    calls.Close(in);
    return Error(err, source);
  }
  std::string temp;
  const int out = OpenTemporary(calls, folder, info.st_mode & 0777, temp);
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
  if (problem.empty() && ::fchmod(out, info.st_mode & 07777) != 0) problem = Error(errno, target);
  if (problem.empty() && calls.Fsync(out) != 0) problem = Error(errno, target);
  if (problem.empty() && copied != info.st_size) problem = Error(EIO, target);

  // The copy counts only when it reads back byte for byte as the source, both read through the
  // descriptors we hold: no other program's file can stand in for either.
  if (problem.empty()) {
    bool readError = false;
    const bool rewound = ::lseek(in, 0, SEEK_SET) == 0 && ::lseek(out, 0, SEEK_SET) == 0;
    if (!rewound || !SameBytes(calls, in, out, readError)) problem = Error(!rewound || readError ? errno : EIO, target);
  }
  if (calls.Close(out) != 0 && problem.empty()) problem = Error(errno, target);
  calls.Close(in);
  // Into place under its own name, refused when that name is taken meanwhile (both names are in
  // the data folder: one file system).
  if (problem.empty() && calls.RenameNoReplace(temp.c_str(), target.c_str()) != 0) problem = Error(errno, target);
  if (!problem.empty()) {
    calls.Unlink(temp.c_str());
    return problem;
  }
  installed = true;
  if (calls.Unlink(source.c_str()) != 0) return Error(errno, source);  // both stay: nothing lost
  return {};
}

}  // namespace

void RemoveInstallTemps(const std::string& folder) {
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return;
  const std::string prefix = kInstallTempPrefix;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name.starts_with(prefix) && name.ends_with(".tmp")) ::unlinkat(::dirfd(dir), e->d_name, 0);
  }
  ::closedir(dir);
}

std::string MoveFileInto(const std::string& source, const std::string& folder, FileCalls& calls, bool* installed) {
  bool done = false;
  if (installed == nullptr) installed = &done;
  *installed = false;
  struct stat info {};
  if (::stat(source.c_str(), &info) != 0) return Error(errno, source);
  if (!S_ISREG(info.st_mode)) return Error(S_ISDIR(info.st_mode) ? EISDIR : EINVAL, source);
  struct stat link {};
  const bool isLink = ::lstat(source.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
  struct stat into {};
  if (::stat(folder.c_str(), &into) != 0) return Error(errno, folder);
  if (!S_ISDIR(into.st_mode)) return Error(ENOTDIR, folder);
  const std::string target = BuildPath(folder, GetFileName(source));
  struct stat there {};
  if (::lstat(target.c_str(), &there) == 0) return Error(EEXIST, target);

  // A link is copied as the file it names: moved as it is, it would name nothing from its new
  // folder, or not what the player dropped.
  if (!isLink) {
    if (calls.RenameNoReplace(source.c_str(), target.c_str()) == 0) {
      *installed = true;
      return {};
    }
    if (errno != EXDEV) return Error(errno, errno == EEXIST ? target : source);
  }
  return CopyAcross(source, NormalizeSeparators(folder), target, calls, *installed);
}

std::string MoveFileInto(const std::string& source, const std::string& folder) {
  FileCalls calls;
  return MoveFileInto(source, folder, calls);
}

}  // namespace kelvara
