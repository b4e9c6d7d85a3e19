// Ports that show nothing and wait no time: for working copies of a game (the solver) and tools.
#pragma once

#include <map>
#include <string>

#include "shell/ports.h"

namespace kelvara {

class NullPorts : private IMessageBox,
                  private IControls,
                  private IStatusBar,
                  private IScene,
                  private ISound,
                  private IClock,
                  private IGameLog,
                  private ITexts {
 public:
  Ports ports() { return Ports{*this, *this, *this, *this, *this, *this, *this, *this}; }

 private:
  MsgAnswer Show(std::string_view, MsgButtons b, MsgIcon, std::string_view) override {
    return b == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
  }
  std::vector<std::string> Names() const override { return {}; }
  bool IsEnabled(std::string_view) const override { return true; }
  void SetEnabled(std::string_view, bool) override {}
  void SetVisible(std::string_view, bool) override {}
  std::string Caption(std::string_view) const override { return {}; }
  std::string Text(std::string_view name) const override {
    const auto it = texts_.find(std::string(name));
    return it == texts_.end() ? std::string() : it->second;
  }
  void SetText(std::string_view name, std::string_view text) override { texts_[std::string(name)] = std::string(text); }
  void SetFocus(std::string_view) override {}
  void SetPanel(std::string_view key, std::string_view text) override { panels_[std::string(key)] = std::string(text); }
  std::string Panel(std::string_view key) const override {
    const auto it = panels_.find(std::string(key));
    return it == panels_.end() ? std::string() : it->second;
  }
  void DrawRefresh() override {}
  void Beep() override {}
  void StopSound() override {}
  std::uint32_t TickCount() override { return now_; }
  void PumpOnce() override {}
  void Wait(int ms) override { now_ += static_cast<std::uint32_t>(ms) + 1; }
  void WriteLine(std::string_view) override {}
  std::string Text(int) const override { return {}; }

  std::map<std::string, std::string> texts_;
  std::map<std::string, std::string> panels_;
  std::uint32_t now_ = 0;
};

}  // namespace kelvara
