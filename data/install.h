// Installing rolling stock: files dropped on the install window are moved into the data folder.
#pragma once

#include <string>

#include "base/movefile.h"
#include "base/ports.h"

namespace kelvara {

class DataInstall {
 public:
  // What an install killed half way left in the data folder goes first.
  DataInstall(IMessageBox& msg, const ITexts& texts, std::string dataFolder, FileCalls& calls);

  // One dropped file. Train files, bitmaps and sound files (extensions "trd", "bmp", "wav", in
  // that letter case) are moved, an "lzh" archive is passed over, anything else is refused; a
  // move that fails is reported. Either way the next file of the drop follows. True when the
  // file is now in the data folder.
  bool DropFile(const std::string& path);

 private:
  IMessageBox& msg_;
  const ITexts& texts_;
  std::string folder_;
  FileCalls& calls_;
};

}  // namespace kelvara
