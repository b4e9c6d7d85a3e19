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

// Moves `source` into `folder` under its own name. A name already there is refused and both
// files stay; between file systems the file is copied, the copy checked (size and every byte),
// and only then the source deleted. Returns "" on success, or the system's description of what
// went wrong; whatever happens, the data is in the source, the copy, or both.
std::string MoveFileInto(const std::string& source, const std::string& folder, FileCalls& calls);
std::string MoveFileInto(const std::string& source, const std::string& folder);

}  // namespace kelvara
