// The main window: the yard, the two buttons and the number box, menus and status bar. It gives
// the game every port it needs, with Qt widgets behind them.
#pragma once

#include <QMainWindow>
#include <QMap>
#include <QPixmap>
#include <QPointer>
#include <memory>

#include "model/game.h"
#include "services/mylog.h"
#include "services/national.h"
#include "base/ports.h"
#include "services/settings.h"

class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
class QDialog;

namespace kelvara {
class MIDIMCIClass;
class FluidMci;
}  // namespace kelvara

namespace kelvara::qt {

class YardView;

struct StartOptions {
  std::string commandLine;  // the arguments joined by blanks
  bool noStartSound = false;  // "nss"
  bool noMidiLog = false;     // "nml"
  bool noSound = false;       // no sound device at all (tests)
  std::string programFolder;  // where settings, log and "Cars" live
  double timeScale = 1.0;     // 0 makes every wait a single turn of the event loop (tests)
};

class frmMain : public QMainWindow,
                private IMessageBox,
                private IControls,
                private IStatusBar,
                private IScene,
                private ISound,
                private IClock {
  Q_OBJECT

 public:
  explicit frmMain(const StartOptions& options);
  ~frmMain() override;

  // Start-up after the window is shown: signs, locomotive list, the first train.
  void Start();

  Game& game() { return *game_; }
  YardView& view() { return *view_; }
  AppSettings& settings() { return settings_; }
  QPushButton* button(const char* name) const;
  // Answers the next message boxes without showing them (tests); empty shows them.
  std::vector<MsgAnswer> scriptedAnswers;
  std::vector<std::string> shownMessages;
  // What the one-input console returns when scripted (tests); unset shows the console.
  std::optional<std::string> scriptedConsole;

 protected:
  void keyReleaseEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  // IMessageBox
  MsgAnswer Show(std::string_view text, MsgButtons b, MsgIcon i, std::string_view title) override;
  // IControls
  std::vector<std::string> Names() const override;
  bool IsEnabled(std::string_view name) const override;
  void SetEnabled(std::string_view name, bool on) override;
  void SetVisible(std::string_view name, bool on) override;
  std::string Caption(std::string_view name) const override;
  std::string Text(std::string_view name) const override;
  void SetText(std::string_view name, std::string_view text) override;
  void SetFocus(std::string_view name) override;
  // IStatusBar
  void SetPanel(std::string_view key, std::string_view text) override;
  std::string Panel(std::string_view key) const override;
  // IScene
  void DrawRefresh() override;
  void ShowSign(int state) override;
  void ShowCompleteWindow(std::string_view title) override;
  void CloseCompleteWindow() override;
  void AnimeView(bool visible) override;
  void RenderScene(const std::vector<int>& left, const std::vector<int>& width) override;
  std::string OneInputConsole() override;
  // ISound
  void Beep() override;
  void StopSound() override;
  // IClock
  std::uint32_t TickCount() override;
  void PumpOnce() override;
  void Wait(int ms) override;

  void BuildMenus();
  void BuildControls();
  QAction* Menu(QMenu* parent, const char* name, int caption);
  void ShowAnswer();
  void Run(void (Game::*command)());

  StartOptions options_;
  AppSettings settings_;
  National texts_;
  std::unique_ptr<MyLogClass> log_;
  std::unique_ptr<FileGameLog> gameLog_;
  std::unique_ptr<FluidMci> mci_;
  std::unique_ptr<MIDIMCIClass> midi_;
  std::unique_ptr<Game> game_;
  YardView* view_ = nullptr;
  QPushButton* front_ = nullptr;
  QPushButton* back_ = nullptr;
  QComboBox* cutNum_ = nullptr;
  QLabel* lblMsg_ = nullptr;
  QTimer* timer_ = nullptr;
  QMap<QString, QLabel*> panels_;
  QMap<QString, QPixmap> bigImages_;  // the departure run's pictures by file and size
  std::vector<std::pair<std::string, QObject*>> controls_;  // window order
  QPointer<QDialog> completeWindow_;
  bool closing_ = false;
};

}  // namespace kelvara::qt
