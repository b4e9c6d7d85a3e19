#include "data/install.h"

#include "base/paths.h"

namespace kelvara {

void DataInstall::DropFile(const std::string& path) {
  const std::string ext = GetExtensionName(path);
  if (ext == "bmp" || ext == "wav" || ext == "trd") {
    const std::string error = MoveFileInto(path, NormalizeSeparators(folder_), calls_);
    if (!error.empty()) msg_.Show(error, MsgButtons::Ok, MsgIcon::Exclamation, {});
  } else if (ext != "lzh") {
    msg_.Show(texts_.Text(6500) + "\r\n" + ext, MsgButtons::Ok, MsgIcon::Exclamation, {});
  }
}

}  // namespace kelvara
