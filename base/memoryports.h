// Named controls and status-bar panels kept in memory, for front ends without widgets.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "base/ports.h"

namespace kelvara {

class MemoryControls : public IControls {
 public:
  // The controls in window order, all enabled; names not listed are added when first set.
  explicit MemoryControls(std::vector<std::string> names = {}) : names_(std::move(names)) {
    for (const auto& n : names_) enabled_[n] = true;
  }
  bool IsEnabled(std::string_view n) const override {
    const auto it = enabled_.find(std::string(n));
    return it != enabled_.end() && it->second;
  }
  void SetEnabled(std::string_view n, bool on) override { enabled_[std::string(n)] = on; }
  void SetVisible(std::string_view, bool) override {}
  std::string Text(std::string_view n) const override {
    const auto it = texts_.find(std::string(n));
    return it == texts_.end() ? std::string() : it->second;
  }
  void SetText(std::string_view n, std::string_view t) override { texts_[std::string(n)] = std::string(t); }
  void SetFocus(std::string_view) override {}

 private:
  std::vector<std::string> names_;
  std::map<std::string, bool> enabled_;
  std::map<std::string, std::string> texts_;
};

class MemoryStatusBar : public IStatusBar {
 public:
  void SetPanel(std::string_view key, std::string_view text) override { panels_[std::string(key)] = std::string(text); }
  std::string Panel(std::string_view key) const override {
    const auto it = panels_.find(std::string(key));
    return it == panels_.end() ? std::string() : it->second;
  }

 private:
  std::map<std::string, std::string> panels_;
};

}  // namespace kelvara
