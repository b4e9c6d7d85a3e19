// Reading data files written on Windows or Linux: CP932 or UTF-8, CR LF or LF.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara {

bool IsValidUtf8(std::string_view bytes);
// UTF-8 stays as it is (a byte-order mark is dropped); anything else is read as CP932.
// Bytes that are not CP932 either come out as U+FFFD.
std::string DecodeText(std::string_view bytes);
// CP932 to UTF-8 whatever the bytes look like; bytes that are not CP932 come out as U+FFFD.
std::string DecodeCp932(std::string_view bytes);
// UTF-8 to CP932; what CP932 cannot hold becomes "?".
std::string EncodeCp932(std::string_view utf8);
// UTF-8 to CP932 only when every character has a CP932 form.
bool EncodeCp932Exactly(std::string_view utf8, std::string& out);
// How much a file of each kind may hold: far above any real one, far below the machine's memory.
inline constexpr std::size_t kSettingsFileLimit = 1 << 20;   // an INI file: a few kB in practice
inline constexpr std::size_t kLocoListLimit = 1 << 20;       // loco.lst
inline constexpr std::size_t kTrainFileLimit = 1 << 20;      // a .trd lists at most 101 cars
inline constexpr std::size_t kCarBitmapLimit = 64u << 20;    // one car picture
inline constexpr std::size_t kTuneFileLimit = 16u << 20;     // a standard MIDI file
inline constexpr std::size_t kLogFileLimit = 16u << 20;      // the log, copied for the player

// A file read whole, or why not. Only regular files are read: a FIFO, a device or a folder is
// refused at once, and so is a file larger than the limit; no read ever waits or throws.
struct FileRead {
  std::optional<std::string> bytes;
  int error = 0;          // errno of the failing call; EFBIG for a file over the limit
  bool missing = false;   // there is no file of that name (ENOENT)
  // The system's reason, as the player reads it: "Input/output error", "not a regular file",
  // "larger than 1048576 bytes".
  std::string Reason() const;
};
FileRead ReadGameFile(const std::string& path, std::size_t limit);
// The first `count` bytes of a regular file (fewer when it is shorter), with the same checks.
FileRead ReadFileHead(const std::string& path, std::size_t count);

// The whole file, or nothing when it cannot be read (errno says why), up to `limit` bytes.
std::optional<std::string> ReadFileBytes(const std::string& path, std::size_t limit = kCarBitmapLimit);
// Splits at CR LF, LF or a lone CR; a final line end does not start another line.
std::vector<std::string> SplitLines(std::string_view text);

}  // namespace kelvara
