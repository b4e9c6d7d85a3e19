// One train definition (.trd): its name, sound file name and the ordered list of its cars.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "data/bmp.h"
#include "data/cars.h"
#include "base/ports.h"

namespace kelvara {

struct DataPorts {
  IMessageBox& msg;
  ITexts& texts;
  IClock& clock;
};

// The detail line after a described text when a file is there but cannot be read: "\r\nNot
// readable: Permission denied".
inline std::string NotReadable(const ITexts& texts, const std::string& reason) {
  return "\r\n" + texts.Text(6020) + reason;
}

// A name from a data file as a message shows it: a line of megabytes would fill the screen, so
// the box gets its first 260 bytes (never half a character) and "...".
inline std::string ShownName(const std::string& name) {
  constexpr std::size_t kShown = 260;
  if (name.size() <= kShown) return name;
  std::size_t cut = kShown;
  while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
  return name.substr(0, cut) + "...";
}

// Where the loaders look up the car pictures their files name; the file system unless a test or
// a fuzz target hands them pictures held in memory.
using CarFinder = std::function<CarFile(const std::string& path)>;

// Looks each path up once while it lives: the loaders of one train change name the same car
// files over and over (a coach ten times in the train, and again for the picture list).
class CarFileMemo {
 public:
  CarFinder Finder() {
    return [this](const std::string& path) {
      const auto it = known_.find(path);
      return it != known_.end() ? it->second : known_.emplace(path, FindCarFile(path)).first->second;
    };
  }

 private:
  std::unordered_map<std::string, CarFile> known_;
};

// Cars a data file names by bare file name and that are missing from `folder` are looked up
// under the same name in `alsoIn` (the default train set behind the player's own folder). The
// answer for the first place stands when neither has the car, so a warning names the file asked.
CarFinder WithFallback(CarFinder finder, const std::string& folder, const std::string& alsoIn);

// A car a data file in `folder` names, found by `finder`: a name that leads out of the folder the
// car was looked up in (an absolute name, "..", a link to elsewhere) finds nothing.
CarFile FindCarIn(const CarFinder& finder, const std::string& folder, std::string_view name);

class TRDClass {
 public:
  static constexpr int kSlots = 101;

  explicit TRDClass(DataPorts ports);

  CarsClass Cars;

  // Empties the formation; the car collection keeps every car it has seen.
  void Refresh();
  // Reads TrainFileName; true when the file was read to its end.
  bool LoadTrd();
  // The same for the file's bytes once read, its cars looked up in `folder`.
  bool LoadTrdBytes(std::string_view bytes, const std::string& folder);

  std::int32_t CarIndex(std::int32_t slot) const {
    return (slot >= 0 && slot < kSlots) ? cars_[slot] : -1;
  }
  std::int32_t CarCount() const { return carCount_; }
  // The name a car of the formation has in the file, as written.
  const std::string& CarName(std::int32_t slot) const { return names_[static_cast<std::size_t>(slot)]; }

  // What the train is, wherever its files stand: 16 hex digits of a digest of the file's name and
  // its train name (letter case left out of the file name), and of each car of the formation by
  // its name as written (without letter case, as the cars are found) and the bytes of its picture.
  // Two copies of the same files in two folders give the same digest.
  std::string ContentDigest() const;
  // The digest of earlier versions: the train name and the full paths of the car pictures, so it
  // changed with the folder. Only to recognise records and quiz codes made with it.
  std::string FolderDigest() const;
  std::int32_t CheckKindFromImage(const std::string& path) const;

  // The loaded formation without the car collection, to put back after a failed load.
  struct Formation {
    std::string file, comment, sound;
    std::array<std::int32_t, kSlots> cars;
    std::array<std::string, kSlots> names;
    std::int32_t count;
  };
  Formation SaveFormation() const { return {TrainFileName, TrainComment, TrainSoundFileName, cars_, names_, carCount_}; }
  void RestoreFormation(const Formation& f) {
    TrainFileName = f.file;
    TrainComment = f.comment;
    TrainSoundFileName = f.sound;
    cars_ = f.cars;
    names_ = f.names;
    carCount_ = f.count;
  }

  std::string TrainFileName;
  std::string TrainComment;
  std::string TrainSoundFileName;
  bool NoErrorMsg = false;
  bool NoLoadCouplerBellows = false;
  CarFinder Finder = FindCarFile;

 private:
  void Warn(const std::string& text);
  void RuntimeError(int number, const std::string& description, int lastDllError);

  DataPorts ports_;
  std::array<std::int32_t, kSlots> cars_;
  std::array<std::string, kSlots> names_;
  std::int32_t carCount_ = 0;
};

}  // namespace kelvara
