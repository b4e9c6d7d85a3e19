// Ports that show nothing and wait no time: for working copies of a game (the solver) and tools.
#pragma once

#include "base/memoryports.h"

namespace kelvara {

class NullPorts : private IMessageBox, private IScene, private ISound, private IClock, private IGameLog, private ITexts {
 public:
  Ports ports() { return Ports{*this, controls_, status_, *this, *this, *this, *this, *this}; }
  // Message boxes the game would have shown, for telling a clean move from a refused one.
  int BoxesShown() const { return boxes_; }

 private:
  MsgAnswer Show(std::string_view, MsgButtons b, MsgIcon, std::string_view) override {
    ++boxes_;
    return b == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
  }
  void DrawRefresh() override {}
  void Beep() override {}
  void StopSound() override {}
  std::uint32_t TickCount() override { return now_; }
  void PumpOnce() override {}
  void Wait(int ms) override { now_ += static_cast<std::uint32_t>(ms) + 1; }
  void WriteLine(std::string_view) override {}
  std::string Text(int) const override { return {}; }

  MemoryControls controls_;
  MemoryStatusBar status_;
  std::uint32_t now_ = 0;
  int boxes_ = 0;
};

}  // namespace kelvara
