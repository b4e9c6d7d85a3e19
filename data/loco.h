// The locomotive list (loco.lst): up to 51 sets of one to ten locomotive units each.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "data/cars.h"
#include "data/trd.h"

namespace kelvara {

class LocoClass {
 public:
  static constexpr int kSets = 51;
  static constexpr int kPositions = 11;

  explicit LocoClass(DataPorts ports);

  CarsClass Cars;

  void Refresh();
  // Reads "loco.lst" from the data folder.
  void LoadLst(const std::string& dataFolder);
  // The same for the list's bytes once read.
  void LoadLstBytes(std::string_view bytes, const std::string& dataFolder);

  std::int32_t LocoSetIndex() const { return setIndex_; }
  void LocoSetIndex(std::int32_t i) { setIndex_ = i; }
  std::int32_t LocoSetCount() const { return setCount_; }
  void LocoSetCount(std::int32_t n) { setCount_ = n; }

  // Accessors of the current set; outside 0..50 they read empty and store nothing.
  std::int32_t CarCount() const { return Valid() ? sets_[setIndex_].carCount : 0; }
  std::int32_t CarIndex(std::int32_t position) const;
  std::string LocoComment() const { return Valid() ? sets_[setIndex_].name : std::string(); }
  void LocoComment(const std::string& s) {
    if (Valid()) sets_[setIndex_].name = s;
  }
  std::string LocoSoundFileName() const { return Valid() ? sets_[setIndex_].horn : std::string(); }
  void LocoSoundFileName(const std::string& s) {
    if (Valid()) sets_[setIndex_].horn = s;
  }

  std::int32_t CheckKindFromImage(const std::string& path) const;

  bool NoErrorMsg = false;
  bool NoLoadCouplerBellows = false;
  CarFinder Finder = FindCarFile;

 private:
  struct Set {
    std::string name;
    std::string horn;
    std::int32_t carCount = 0;
    std::array<std::int32_t, kPositions> cars{};
  };
  bool Valid() const { return setIndex_ >= 0 && setIndex_ < kSets; }
  void Warn(const std::string& text);
  void AddCar(const std::string& value, int section, const std::string& dataFolder);

  DataPorts ports_;
  std::array<Set, kSets> sets_{};
  std::int32_t setCount_ = 0;
  std::int32_t setIndex_ = -1;
  std::int32_t position_ = -1;
};

}  // namespace kelvara
