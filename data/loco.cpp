#include "data/loco.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "data/bmp.h"
#include "base/paths.h"
#include "base/ini.h"
#include "base/number.h"
#include "base/textfile.h"
#include "base/product.h"

namespace kelvara {


LocoClass::LocoClass(DataPorts ports) : ports_(ports) { Refresh(); }

void LocoClass::Refresh() {
  for (Set& s : sets_) {
    s = Set{};
    s.cars.fill(-1);
  }
  setCount_ = 0;
  setIndex_ = -1;
  position_ = -1;
}

std::int32_t LocoClass::CarIndex(std::int32_t position) const {
  if (!Valid() || position < 0 || position >= kPositions) return 0;
  return sets_[setIndex_].cars[position];
}

std::int32_t LocoClass::CheckKindFromImage(const std::string& path) const {
  std::int32_t w, h;
  ReadBMPSize(path, w, h);
  return LocoImageKind(w, h);
}

void LocoClass::Warn(const std::string& text) {
  if (!NoErrorMsg) ports_.msg.Show(text, MsgButtons::Ok, MsgIcon::Exclamation, kAppTitle);
}

void LocoClass::LoadLst(const std::string& dataFolder) {
  const std::string folder = NormalizeSeparators(dataFolder);
  const std::string path = FindLikeWindows(BuildPath(folder, "loco.lst"));
  if (!FileExists(path)) {
    setCount_ = 0;
    // A folder that cannot be listed hides the file, and a folder or a FIFO of that name is none:
    // those are the causes to name.
    std::error_code ec;
    const std::string why = !FolderReadable(folder)                 ? NotReadable(ports_.texts, std::strerror(errno))
                            : std::filesystem::exists(path, ec) ? NotReadable(ports_.texts, "not a regular file")
                                                                     : std::string();
    Warn(ports_.texts.Text(10010) + "\r\n File= " + path + why);
    return;
  }
  const FileRead read = ReadGameFile(path, kLocoListLimit);
  if (!read.bytes) {
    setCount_ = 0;
    Warn(ports_.texts.Text(10010) + "\r\n File= " + path + NotReadable(ports_.texts, read.Reason()));
    return;
  }
  LoadLstBytes(*read.bytes, dataFolder);
}

void LocoClass::LoadLstBytes(std::string_view bytes, const std::string& dataFolder) {
  const IniFile ini = IniFile::Parse(bytes);
  const std::int32_t n = LeadingInt32(ini.Get("Loco", "Num"));
  if (n == 0) {
    Warn(ports_.texts.Text(10020));
    return;
  }
  setIndex_ = 0;
  // Sections 0 to Num - 1 in turn; one that is not in the file adds nothing, so only those there
  // are read (a huge "Num", or one section numbered in the millions, costs no more than the file).
  for (const long long number : ini.NumberedSections()) {
    if (number > static_cast<long long>(n) - 1) break;  // a negative "Num" reads no set
    const auto i = static_cast<std::int32_t>(number);
    const std::string section = std::to_string(i);
    LocoComment(ini.Get(section, "Name"));
    LocoSoundFileName(ini.Get(section, "Horn"));
    position_ = -1;
    sets_[setIndex_].carCount = 0;
    sets_[setIndex_].cars.fill(-1);
    AddCar(ini.Get(section, "Image"), i, dataFolder);
    for (int d = 1; d <= 9; ++d) AddCar(ini.Get(section, "Image" + std::to_string(d)), i, dataFolder);
    if (CarCount() > 0) {
      ++setCount_;
      setIndex_ = setCount_;
      if (setCount_ >= kSets) {
        Warn(ports_.texts.Text(10030));
        return;
      }
    } else {
      LocoComment("");
      LocoSoundFileName("");
    }
  }
}

void LocoClass::AddCar(const std::string& value, int section, const std::string& dataFolder) {
  if (value.empty()) return;
  const auto semi = value.find(';');
  const std::string name = value.substr(0, semi);
  const std::string comment = semi == std::string::npos ? std::string() : value.substr(semi + 1);
  const CarFile car = FindCarIn(Finder, NormalizeSeparators(dataFolder), name);
  if (!car.exists || !car.unreadable.empty()) {
    Warn(ports_.texts.Text(10000) + "\r\nSection= " + std::to_string(section) + "\r\nCAR= " + ShownName(car.path) +
         (car.exists ? NotReadable(ports_.texts, car.unreadable) : std::string()));
    return;
  }
  if (NoLoadCouplerBellows && LocoImageKind(car.width, car.height) == 0) return;
  const std::int32_t index = Cars.Add(car.path, 0, comment);
  if (index < 0 || position_ + 1 >= kPositions) return;
  ++position_;
  ++sets_[setIndex_].carCount;
  sets_[setIndex_].cars[position_] = index;
}

}  // namespace kelvara
