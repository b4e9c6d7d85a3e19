// The side view and the windows the game opens around it, as the main window shows them: the
// yard redrawn frame by frame, the signs, the completion window, the departure run and the
// one-input console.
#pragma once

#include <QMap>
#include <QPixmap>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/ports.h"

namespace kelvara {
class Game;
class MIDIMCIClass;
class National;
struct AppSettings;
}  // namespace kelvara

namespace kelvara::qt {

class YardView;
class frmComplete;

class QtScene : public IScene {
 public:
  struct Parts {
    QWidget& main;                      // the main window: the other windows stand by it
    YardView*& view;                    // the yard, made with the main window's controls
    const std::unique_ptr<Game>& game;  // what the yard shows, once start-up has made it
    const AppSettings& settings;
    IClock& clock;
    IMessageBox& boxes;
    const National& texts;
    const int& zoom;
    // The console's text instead of the console window, when set.
    const std::function<std::optional<std::string>()>& console;
  };
  explicit QtScene(Parts parts) : p_(parts) {}

  void DrawRefresh() override;
  void ShowSign(int state) override;
  void ShowCompleteWindow(std::string_view title, std::string_view detail) override;
  void CloseCompleteWindow() override;
  void AnimeView(bool visible) override;
  void RenderScene(const std::vector<int>& left, const std::vector<int>& width) override;
  std::optional<std::string> OneInputConsole() override;

 private:
  Parts p_;
  QPointer<frmComplete> completeWindow_;
  QMap<QString, QPixmap> bigImages_;  // the departure run's pictures by file, size and zoom
  std::uint32_t lastFrame_ = 0;       // when the yard last changed on the screen
};

// Sound the game asks of the window: the beep, and the tune stopped (not while the window closes,
// when the player goes first).
class QtSound : public ISound {
 public:
  QtSound(const std::unique_ptr<MIDIMCIClass>& midi, const bool& closing) : midi_(midi), closing_(closing) {}
  void Beep() override;
  void StopSound() override;

 private:
  const std::unique_ptr<MIDIMCIClass>& midi_;
  const bool& closing_;
};

}  // namespace kelvara::qt
