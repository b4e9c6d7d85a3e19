// Moving a file into a folder without ever overwriting or losing one.
#pragma once

#include <sys/types.h>

#include <string>

namespace kelvara {

// The system calls a move makes, so that tests can make any of them fail. Each answers like the
// call it stands for: -1 (or a null result) with errno set on failure.
class FileCalls {
 public:
  virtual ~FileCalls() = default;
  // Renames without replacing what is there; -1 with EXDEV between file systems.
  virtual int RenameNoReplace(const char* from, const char* to);
  virtual int Open(const char* path, int flags, mode_t mode);
  virtual ssize_t Read(int fd, void* buffer, std::size_t size);
  virtual ssize_t Write(int fd, const void* buffer, std::size_t size);
  virtual int Fsync(int fd);
  virtual int Close(int fd);
  virtual int Unlink(const char* path);
};

// The names copies between file systems are made under, in the data folder, before they take
// their own: ".kelvara-install-XXXXXX.tmp". No data file is named like that.
inline constexpr const char* kInstallTempPrefix = ".kelvara-install-";
// Removes what a copy killed half way left in `folder`; a copy running meanwhile fails without
// losing anything.
void RemoveInstallTemps(const std::string& folder);

// Moves `source` into `folder` under its own name. A name already there is refused and both
// files stay. Between file systems the file is copied under a temporary name of its own, checked
// (size and every byte, through the copy's own descriptor), renamed to its name without
// replacing anything, and only then the source deleted. A link dropped in is installed as the bytes of the
// file it names, never as a link. Returns "" on success, or the system's description of what went
// wrong; whatever happens, the data is in the source, the copy, or both, and no file that the
// move did not make is ever deleted or truncated. `installed` says whether the file now stands in
// the folder (it does when only removing the source failed).
std::string MoveFileInto(const std::string& source, const std::string& folder, FileCalls& calls,
                         bool* installed = nullptr);
std::string MoveFileInto(const std::string& source, const std::string& folder);

}  // namespace kelvara
