// The small interfaces through which the core reaches the world.
// The Qt window implements them with real widgets, the terminal front end
// with standard output, and the tests with recording fakes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara {

enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgIcon { None, Information, Exclamation, Critical, Question };
enum class MsgAnswer { Ok, Cancel, Yes, No };

class IMessageBox {
 public:
  virtual ~IMessageBox() = default;
  // Shows a modal box and returns the button the user chose.
  virtual MsgAnswer Show(std::string_view text, MsgButtons buttons, MsgIcon icon,
                         std::string_view title) = 0;
};

// Named controls of the main window: menus ("mnu..."), buttons, the number
// box and the main window's timer ("Timer1"), addressed by their names.
class IControls {
 public:
  virtual ~IControls() = default;
  // Every control name in the window's control order.
  virtual bool IsEnabled(std::string_view name) const = 0;
  virtual void SetEnabled(std::string_view name, bool on) = 0;
  virtual void SetVisible(std::string_view name, bool on) = 0;
  virtual std::string Text(std::string_view name) const = 0;
  virtual void SetText(std::string_view name, std::string_view text) = 0;
  virtual void SetFocus(std::string_view name) = 0;
};

// Status-bar panels by key ("Msg", "DCount", "UCount", "TimeLabel", "Time").
class IStatusBar {
 public:
  virtual ~IStatusBar() = default;
  virtual void SetPanel(std::string_view key, std::string_view text) = 0;
  virtual std::string Panel(std::string_view key) const = 0;
};

// The side view and the windows the game opens around it.
class IScene {
 public:
  virtual ~IScene() = default;
  // Paint the yard from the grid now.
  virtual void DrawRefresh() = 0;
  // Show the junction and the signs for a route (-1, 0, 1, 2).
  virtual void ShowSign(int /*state*/) {}
  // The completion window, shown without waiting, and closed again; `detail` is a line under the
  // title (the moves used and the fewest possible).
  virtual void ShowCompleteWindow(std::string_view /*title*/, std::string_view /*detail*/) {}
  virtual void CloseCompleteWindow() {}
  // The departure run's view over the yard: shown (cleared) or hidden again.
  virtual void AnimeView(bool /*visible*/) {}
  // One frame of the departure run: car i of the whole train at dst[i].Left, dst[i].Right wide.
  virtual void RenderScene(const std::vector<int>& /*left*/, const std::vector<int>& /*width*/) {}
  // The one-input console, shown modally: the string typed in it, or nothing when the player
  // closed it without OK.
  virtual std::optional<std::string> OneInputConsole() { return std::string(); }
};

class ISound {
 public:
  virtual ~ISound() = default;
  virtual void Beep() = 0;
  // Stop whatever tune is playing.
  virtual void StopSound() = 0;
};

// The one clock of the game. Waits keep the user interface alive; a test
// clock makes them instant and counts them.
class IClock {
 public:
  virtual ~IClock() = default;
  // Milliseconds since an arbitrary start, wrapping at 2^32.
  virtual std::uint32_t TickCount() = 0;
  // Let the message loop run once.
  virtual void PumpOnce() = 0;
  // Wait for ms milliseconds while the message loop keeps running.
  virtual void Wait(int ms) = 0;
};

// Plain lines appended to the game log file.
class IGameLog {
 public:
  virtual ~IGameLog() = default;
  virtual void WriteLine(std::string_view text) = 0;
};

// The string table: the text of a Japanese id in the current language.
class ITexts {
 public:
  virtual ~ITexts() = default;
  virtual std::string Text(int id) const = 0;
};

// Everything the core is handed, in one bundle.
struct Ports {
  IMessageBox& msg;
  IControls& controls;
  IStatusBar& status;
  IScene& scene;
  ISound& sound;
  IClock& clock;
  IGameLog& log;
  ITexts& texts;
};

}  // namespace kelvara
