// Recording fakes for every port of the core, kept in one place for all tests.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/ports.h"
#include "model/record.h"
#include "services/settings.h"

namespace kelvara::testing {

struct ShownBox {
  std::string text;
  MsgButtons buttons;
  MsgIcon icon;
  std::string title;
};

class FakeMessageBox : public IMessageBox {
 public:
  MsgAnswer Show(std::string_view text, MsgButtons b, MsgIcon i, std::string_view title) override {
    shown.push_back({std::string(text), b, i, std::string(title)});
    if (!answers.empty()) {
      const MsgAnswer a = answers.front();
      answers.erase(answers.begin());
      return a;
    }
    return b == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& s : shown) out.push_back(s.text);
    return out;
  }
  std::vector<ShownBox> shown;
  std::vector<MsgAnswer> answers;  // answered in order, then the default button
};

class FakeControls : public IControls {
 public:
  FakeControls() {
    for (const char* n : {"mnuGame", "mnuGameNewGame", "mnuGameReDisMakeUp", "mnuGameRestart", "mnuGameSep1",
                          "mnuGameChangeTrainAuto", "mnuView", "mnuViewAnser", "mnuViewClearAnimation",
                          "cmdFront", "cmdBack", "cmbCutTrainNum", "Timer1"}) {
      Add(n);
    }
  }
  void Add(const std::string& name, bool enabled = true) {
    order.push_back(name);
    enabled_[name] = enabled;
  }
  bool IsEnabled(std::string_view n) const override {
    auto it = enabled_.find(std::string(n));
    return it != enabled_.end() && it->second;
  }
  void SetEnabled(std::string_view n, bool on) override {
    enabled_[std::string(n)] = on;
  }
  void SetVisible(std::string_view n, bool on) override { visible[std::string(n)] = on; }
  std::string Text(std::string_view n) const override {
    auto it = texts.find(std::string(n));
    return it == texts.end() ? std::string() : it->second;
  }
  void SetText(std::string_view n, std::string_view t) override { texts[std::string(n)] = std::string(t); }
  void SetFocus(std::string_view n) override { focus = std::string(n); }

  std::vector<std::string> order;
  std::map<std::string, bool> enabled_;
  std::map<std::string, bool> visible;
  std::map<std::string, std::string> texts;
  std::string focus;
};

class FakeStatusBar : public IStatusBar {
 public:
  void SetPanel(std::string_view key, std::string_view text) override {
    panels[std::string(key)] = std::string(text);
    history.push_back(std::string(key) + "=" + std::string(text));
  }
  std::string Panel(std::string_view key) const override {
    auto it = panels.find(std::string(key));
    return it == panels.end() ? std::string() : it->second;
  }
  std::map<std::string, std::string> panels;
  std::vector<std::string> history;
};

class FakeScene : public IScene {
 public:
  void DrawRefresh() override {
    ++draws;
    if (onDraw) onDraw();
  }
  // Called at each redraw: where the window's redraw may wait a frame and let the player in.
  std::function<void()> onDraw;
  void ShowSign(int) override {}
  void ShowCompleteWindow(std::string_view, std::string_view detail) override { completeDetail = std::string(detail); }
  void CloseCompleteWindow() override {}
  void AnimeView(bool visible) override {
    if (visible) ++bigAnimations;
    animeVisible = visible;
  }
  void RenderScene(const std::vector<int>& left, const std::vector<int>&) override { frames.push_back(left); }
  std::optional<std::string> OneInputConsole() override { return console; }

  int draws = 0;
  std::string completeDetail;
  int bigAnimations = 0;
  bool animeVisible = false;
  std::vector<std::vector<int>> frames;  // the cars' left edges, a frame each
  std::optional<std::string> console = std::string();  // what the player types; nothing for a closed console
};

class FakeSound : public ISound {
 public:
  void Beep() override {
    ++beeps;
    events.push_back("beep");
    if (onBeep) onBeep();
  }
  void StopSound() override { ++stops; events.push_back("stop"); }
  int beeps = 0;
  int stops = 0;
  std::function<void()> onBeep;
  std::vector<std::string> events;
};

// Virtual time: every wait is instant and recorded.
class FakeClock : public IClock {
 public:
  std::uint32_t TickCount() override { return now; }
  void PumpOnce() override {}
  void Wait(int ms) override {
    waits.push_back(ms);
    now += static_cast<std::uint32_t>(ms) + 1;
  }
  long long TotalWaited() const {
    long long t = 0;
    for (int w : waits) t += w;
    return t;
  }
  std::uint32_t now = 1000;
  std::vector<int> waits;
};

class FakeLog : public IGameLog {
 public:
  void WriteLine(std::string_view text) override { lines.emplace_back(text); }
  std::vector<std::string> lines;
};

// "<5470>" for message 5470: tests assert ids, not wording.
class FakeTexts : public ITexts {
 public:
  std::string Text(int id) const override { return "<" + std::to_string(id) + ">"; }
};

// The keeper of records: every game handed to it, in order.
class FakeRecords : public IRecords {
 public:
  RecordResult GameEnded(const GameRecord& r) override {
    games.push_back(r);
    return {true, newBest};
  }
  std::vector<GameRecord> games;
  bool newBest = false;
};

// One bundle of fakes that hands out Ports.
struct Fakes {
  FakeMessageBox msg;
  FakeControls controls;
  FakeStatusBar status;
  FakeScene scene;
  FakeSound sound;
  FakeClock clock;
  FakeLog log;
  FakeTexts texts;
  AppSettings settings;

  Ports ports() { return Ports{msg, controls, status, scene, sound, clock, log, texts}; }
};

}  // namespace kelvara::testing
