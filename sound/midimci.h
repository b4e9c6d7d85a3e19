// Plays one MIDI tune at a time through media-control command strings, with its own command log.
#pragma once

#include <cstdint>
#include <string>

#include "base/ports.h"
#include "sound/mci.h"

namespace kelvara {

class MIDIMCIClass {
 public:
  // Temporary tune files are made in `tempFolder`; the log "MIDIMCI.log" lives in `logFolder`
  // (the same folder when none is given), and an old one is deleted at once.
  MIDIMCIClass(IMci& mci, IMessageBox& msg, IClock& clock, const ITexts& texts, const std::string& tempFolder,
               const std::string& logFolder = {});
  ~MIDIMCIClass();
  MIDIMCIClass(const MIDIMCIClass&) = delete;
  MIDIMCIClass& operator=(const MIDIMCIClass&) = delete;

  // Writes the "DMSEG" resource named by the file-name part of `name` (upper-cased) to a
  // temporary file; 0, or the error number when there is no such resource.
  std::int32_t LoadSoundFromeResource(const std::string& name);
  std::int32_t LoadSoundFromFile(const std::string& path);
  // 1 when the device could not be opened, else 0.
  std::int32_t PlaySound();
  void StopSound();
  // "playing", "seeking", "stopped" (rewound to the start) or "none".
  std::string IsMode();

  const std::string& Filename() const { return filename_; }
  const std::string& TempFileName() const { return tempFile_; }
  const std::string& LogFileName() const { return logFile_; }

  bool OneTime = false;
  bool OutputLog = false;

 private:
  std::string Send(const std::string& command, std::uint32_t* error = nullptr);
  std::string ErrorText(std::uint32_t error) const { return mci_.mciGetErrorString(error); }
  void Log(const std::string& line);
  void DeleteTemp();
  void Show(const std::string& text, MsgIcon icon) { msg_.Show(text, MsgButtons::Ok, icon, {}); }

  IMci& mci_;
  IMessageBox& msg_;
  IClock& clock_;
  const ITexts& texts_;
  std::string tempFolder_;
  std::string filename_;
  std::string tempFile_;
  std::string logFile_;
};

// A fresh name for a temporary tune file in `folder`, created empty so no one else takes it.
std::string MakeTempTuneFile(const std::string& folder);

}  // namespace kelvara
