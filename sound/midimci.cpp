#include "sound/midimci.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "base/paths.h"
#include "base/program.h"
#include "sound/resources.h"

namespace kelvara {

namespace {

constexpr std::int32_t kErrResourceNotFound = 326;  // "Resource with this identifier not found"
constexpr std::int32_t kErrPathFileAccess = 75;     // "Path/File access error"

// The leading number of a text, as the old Val() read it; 0 for none.
long long Val(const std::string& s) {
  const char* p = s.c_str();
  while (*p == ' ') ++p;
  return std::strtoll(p, nullptr, 10);
}

std::string Upper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return s;
}

}  // namespace

std::string MakeTempTuneFile(const std::string& folder) {
  std::string pattern = BuildPath(folder, std::string(kTempTunePrefix) + "XXXXXX" + kTempTuneSuffix);
  const int suffix = static_cast<int>(std::string(kTempTuneSuffix).size());
  const int fd = ::mkstemps(pattern.data(), suffix);
  if (fd < 0) return {};
  ::close(fd);
  return pattern;
}

MIDIMCIClass::MIDIMCIClass(IMci& mci, IMessageBox& msg, IClock& clock, const ITexts& texts,
                           const std::string& tempFolder, const std::string& logFolder)
    : mci_(mci), msg_(msg), clock_(clock), texts_(texts), tempFolder_(tempFolder) {
  logFile_ = BuildPath(logFolder.empty() ? tempFolder : logFolder, "MIDIMCI.log");
  std::error_code ec;
  std::filesystem::remove(logFile_, ec);
}

MIDIMCIClass::~MIDIMCIClass() {
  StopSound();
  DeleteTemp();
}

void MIDIMCIClass::Log(const std::string& line) {
  if (!OutputLog || logFile_.empty()) return;
  // Readable by others, writable by its owner alone, whatever the umask (an ofstream makes 0666).
  const int fd = ::open(logFile_.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) return;
  const std::string text = line + "\r\n";
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  ::close(fd);
}

std::string MIDIMCIClass::Send(const std::string& command, std::uint32_t* error) {
  std::string reply;
  const std::uint32_t err = mci_.mciSendString(command, reply);
  Log("MciSendString(Commands): " + command);
  if (error != nullptr) *error = err;
  return err == 0 ? reply.substr(0, reply.find('\0')) : std::to_string(err);
}

void MIDIMCIClass::DeleteTemp() {
  std::error_code ec;
  if (tempFile_.empty() || !std::filesystem::exists(tempFile_, ec)) return;
  clock_.PumpOnce();
  std::filesystem::remove(tempFile_, ec);
  const std::string deleted = tempFile_;
  tempFile_.clear();
  Log("Delete File : " + deleted);
}

std::int32_t MIDIMCIClass::LoadSoundFromeResource(const std::string& name) {
  StopSound();
  DeleteTemp();  // a tune loaded but never played leaves its file too
  filename_ = name;
  Log("Into PlaySoundResource");
  const std::string resource = Upper(GetFileName(name));
  std::string bytes;
  if (!FindResource("DMSEG", resource, bytes)) {
    Show("Resource with this identifier not found: " + resource, MsgIcon::None);
    Log("Error LoadData(R) " + resource);
    return kErrResourceNotFound;
  }
  Log("OK Load File(R)");
  errno = 0;
  tempFile_ = MakeTempTuneFile(tempFolder_);
  bool written = !tempFile_.empty();
  if (written) {
    std::ofstream out(tempFile_, std::ios::binary | std::ios::trunc);
    Log("OutPut " + tempFile_);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    written = static_cast<bool>(out);
    Log("Close OutFile");
  }
  // Without its file the tune cannot be played: say so now rather than open whatever the bare
  // name finds later.
  if (!written) {
    const int err = errno != 0 ? errno : EIO;
    Show(std::string(std::strerror(err)) + ": " + (tempFile_.empty() ? tempFolder_ : tempFile_), MsgIcon::None);
    Log("Error LoadData(R) " + resource);
    DeleteTemp();
    tempFile_.clear();
    filename_.clear();
    return kErrPathFileAccess;
  }
  return 0;
}

std::int32_t MIDIMCIClass::LoadSoundFromFile(const std::string& path) {
  StopSound();
  filename_ = path;
  tempFile_.clear();
  return 0;
}

std::int32_t MIDIMCIClass::PlaySound() {
  Log("Into PlaySound");
  if (IsMode() == "none") {
    const std::string path = tempFile_.empty() ? filename_ : tempFile_;
    std::uint32_t err = 0;
    const std::string reply = Send("open \"" + path + "\" type sequencer alias mp", &err);
    // A device number of 0 and an error number both mean no device was opened. Every caller
    // tells the player so (the sound goes off), so one box says it, not two.
    if (err != 0 || Val(reply) == 0) {
      Log("Error open :" + reply + (err != 0 ? " " + ErrorText(err) : std::string()));
      return 1;
    }
  }
  const std::string reply = Send("play mp");
  if (!reply.empty()) {
    if (OneTime) DeleteTemp();
    Show(reply, MsgIcon::Exclamation);
    Log("Error play :" + reply);
  }
  Log("Passed PlaySound");
  return 0;
}

std::string MIDIMCIClass::IsMode() {
  const std::string reply = Send("STATUS mp MODE");
  if (reply == std::to_string(mcierr::kNotOpen)) return "none";
  if (reply == "playing" || reply == "seeking") return reply;
  if (reply == "stopped") {
    const std::string seek = Send("seek mp to start");
    if (!seek.empty()) {
      if (OneTime) DeleteTemp();
      const std::string text = ErrorText(static_cast<std::uint32_t>(Val(seek)));
      Show(text, MsgIcon::Exclamation);
      Log("Error seek :" + text);
    }
    return "stopped";
  }
  // The second line would be a data-error text that the table does not hold; it stays empty.
  const std::string text = ErrorText(static_cast<std::uint32_t>(Val(reply)));
  msg_.Show(text + "\r\n" + texts_.Text(10000 + 10 * 40), MsgButtons::Ok, MsgIcon::None, {});
  Log("Error etc :" + text);
  return "none";
}

void MIDIMCIClass::StopSound() {
  Log("Into StopSound");
  clock_.PumpOnce();
  if (IsMode() == "playing") {
    const std::string reply = Send("stop mp");
    if (!reply.empty()) {
      Show(reply, MsgIcon::Exclamation);
      Log("Error stop :" + reply);
    }
  }
  if (IsMode() == "stopped") {
    const std::string reply = Send("close mp");
    if (!reply.empty()) {
      Show(reply, MsgIcon::Exclamation);
      Log("Error close :" + reply);
    }
    DeleteTemp();
  }
  Log("Pathed StopSound");
}

}  // namespace kelvara
