// Shared scaffolding for the fuzz targets: silent ports and car pictures held in memory, so an
// input is parsed from bytes without touching the disk.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "base/memoryports.h"
#include "data/trd.h"
#include "fakes.h"

namespace kelvara::fuzzing {

// The data folder the inputs name their cars in, and what stands in it.
inline constexpr const char* kFolder = "/cars/";

inline CarFile FindInMemory(const std::string& path) {
  static const std::map<std::string, std::pair<std::int32_t, std::int32_t>> pictures = {
      {"/cars/a.bmp", {64, 16}}, {"/cars/b.bmp", {6, 16}}, {"/cars/c.bmp", {0, 0}}, {"/cars/d.bmp", {64, -16}}};
  const auto it = pictures.find(path);
  CarFile car;
  car.path = path;
  if (it == pictures.end()) return car;
  car.exists = true;
  car.width = it->second.first;
  car.height = it->second.second;
  return car;
}

// Message boxes of a long run would pile up: count them and forget.
class CountingMessageBox : public IMessageBox {
 public:
  MsgAnswer Show(std::string_view text, MsgButtons b, MsgIcon, std::string_view) override {
    ++shown;
    if (text == watched) ++watchedShown;
    return b == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
  }
  long shown = 0;
  std::string watched;
  long watchedShown = 0;
};

// Quiet ports for a game that lives as long as the fuzzer: nothing is recorded but what the
// targets check, so nothing grows from one input to the next.
class QuietPorts : private IScene, private ISound, private IClock, private IGameLog {
 public:
  Ports ports() { return Ports{msg, controls, status, *this, *this, *this, *this, texts}; }

  CountingMessageBox msg;
  MemoryControls controls;
  MemoryStatusBar status;
  testing::FakeTexts texts;
  AppSettings settings;

 private:
  void DrawRefresh() override {}
  void Beep() override {}
  void StopSound() override {}
  std::uint32_t TickCount() override { return now_; }
  void PumpOnce() override {}
  void Wait(int ms) override { now_ += static_cast<std::uint32_t>(ms) + 1; }
  void WriteLine(std::string_view) override {}
  std::uint32_t now_ = 1;
};

}  // namespace kelvara::fuzzing
