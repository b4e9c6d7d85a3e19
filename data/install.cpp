#include "data/install.h"

#include "base/paths.h"

namespace kelvara {

DataInstall::DataInstall(IMessageBox& msg, const ITexts& texts, std::string dataFolder, FileCalls& calls)
    : msg_(msg), texts_(texts), folder_(std::move(dataFolder)), calls_(calls) {
  RemoveInstallTemps(NormalizeSeparators(folder_));
}

bool DataInstall::DropFile(const std::string& path) {
  const std::string ext = GetExtensionName(path);
  if (ext == "bmp" || ext == "wav" || ext == "trd") {
    bool installed = false;
    const std::string error = MoveFileInto(path, NormalizeSeparators(folder_), calls_, &installed);
    // Installed, but the original stayed where it was: say so, or a second drop meets its own copy.
    if (!error.empty()) {
      msg_.Show(installed ? texts_.Text(6040) + "\r\n" + error : error, MsgButtons::Ok, MsgIcon::Exclamation, {});
    }
    return installed;
  }
  if (ext != "lzh") msg_.Show(texts_.Text(6500) + "\r\n" + ext, MsgButtons::Ok, MsgIcon::Exclamation, {});
  return false;
}

}  // namespace kelvara
