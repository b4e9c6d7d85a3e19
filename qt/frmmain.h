// The main window: the yard, the two buttons and the number box, the menus and the status bar.
// It starts the program in a fixed order, gives the game every port it needs with Qt widgets
// behind them, and opens the other windows.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <set>

#include "model/game.h"
#include "records/records.h"
#include "records/session.h"
#include "services/mylog.h"
#include "services/national.h"
#include "services/settings.h"
#include "services/startup.h"
#include "qt/qtclock.h"
#include "qt/qtcontrols.h"
#include "qt/qtscene.h"
#include "qt/qtmessagebox.h"
#include "qt/qtworker.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;

namespace kelvara {
class MIDIMCIClass;
class FluidMci;
}  // namespace kelvara

namespace kelvara::qt {

class YardView;
class frmComplete;
class frmSplash;

struct StartOptions {
  std::string commandLine;  // the arguments joined by blanks, as the old command line was
  bool noSound = false;     // no sound device at all (tests)
  std::string audioDriver;  // one FluidSynth audio driver instead of the usual order; "file" writes to /dev/null (tests)
  double timeScale = 1.0;   // 0 makes every wait a single turn of the event loop (tests)
  std::optional<std::uint64_t> seed;  // the same random numbers in every run, the start-up's train included (tests)

  // Stand-ins for the player and the desktop, for tests and tools; production leaves them empty.
  // The message box in place of the Qt one, handed the Qt one to fall back on.
  std::function<IMessageBox&(IMessageBox& qt)> messageBox;
  // The one-input console's text, or nothing for a console closed without OK, instead of the window.
  std::function<std::optional<std::string>()> console;
  // Called at each wait of the game before it waits.
  std::function<void(int ms)> onWait;
  // Opens a help page instead of the desktop's browser.
  std::function<bool(const QString& url)> openHelp;
};


// The window holds the game and hands it the ports it reaches the world through: the message
// boxes, the named controls, the status bar, the scene, the sound and the clock, each an adapter
// of its own.
class frmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit frmMain(StartOptions options);
  ~frmMain() override;

  // Start-up: the log, the switches, the settings, the splash and its tune, the yard, the main
  // window shown, the locomotive list and the first train. Runs from the event loop.
  void Form_Load();

  Game& game() { return *game_; }
  // The window was closed, during start-up or after.
  bool Closed() const { return closing_; }
  YardView& view() { return *view_; }
  AppSettings& settings() { return settings_; }
  const National& texts() const { return texts_; }
  QAction* menu(const char* name) const;

  // Opens the help page in the desktop's browser.
  void HelpShow();
  // Puts the window's whole picture at a whole-number size: 1, 2 or 3 pixels a pixel.
  void SetZoom(int zoom);
  // The window's outer size at a zoom: the picture and the controls on it grow with the zoom,
  // the menu bar, the status bar and the frame do not.
  QSize WindowSizeAt(int zoom) const;
  // The largest zoom whose window fits within that share of the area; 1 when none does.
  int LargestZoom(const QRect& area, double share = 1.0) const;
  // The work area of the screen the window is on.
  QRect WorkArea() const;

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void BuildMenus();
  void BuildControls();
  void SetContlorTag();
  void LayoutControls();
  // The sizes the screen can hold are offered; a size it can no longer hold gives way.
  void FitZoomToScreen();
  QAction* Item(QMenu* parent, const char* name);
  QMenu* TopMenu(const char* name);
  void Register(const char* name, QObject* object);
  QPushButton* button(const char* name) const;
  // A command of the game, and a window of this front end, through the game's one gate.
  bool Play(GameCommand command);
  bool Open(GameCommand command, const std::function<void()>& window);
  // A command of the player's, and then what became of it said by the yard to assistive
  // technology: refused, the yard as it now stands, derailed (the completion says itself).
  bool PlayAndTell(GameCommand command);
  void TellYard(bool done, int said, const std::string& first = {});
  // A line in the guide that the yard says as well.
  void Say(const std::string& text);
  // A line of the guide in passing (the cursor, a digit typed): shown where no notice stands, and
  // gone with the next command.
  void SayInPassing(const QString& text);
  // Enter on the yard: pulls out up to that cell's car.
  void PullAt(int cell);
  void Log(std::string_view text) const;
  std::string Msg(int id) const { return texts_.Text(id); }

  void ShowAnswer();
  void ShowOptions();
  void ShowTrainSelect();
  void ShowMakeUpTable();
  void ShowMadeUpTrain();
  void ShowCar(int cell);
  void ShowDataInstall();
  void ShowAbout();
  // Help > Keyboard shortcuts, read from the menus and buttons as they stand.
  void ShowShortcuts();
  void ShowStatistics();
  // Game > Play a quiz code: typed or pasted, then played, or the reason it was refused.
  void ShowPlayCode();
  // Game > Copy quiz code: to the clipboard, the guide saying it.
  void CopyCode();
  // The records: opened at start-up; the game left at the last end taken up again after it; the
  // game in progress kept when the window closes.
  void OpenRecords();
  void ResumeGameInProgress();
  void KeepGameInProgress();
  // Plays a tune through the game's rule: no tune after the sound device failed.
  void AfterOptions();

 public:
  // The searches of the fewest moves (for tests and the benchmark: how many are on their way).
  const QtWorker& Worker() const { return worker_; }

 private:

  StartOptions options_;
  StartupFlags flags_;
  AppSettings settings_;
  National texts_;
  std::unique_ptr<MyLogClass> log_;
  std::unique_ptr<FileGameLog> gameLog_;
  std::unique_ptr<FluidMci> mci_;
  std::unique_ptr<MIDIMCIClass> midi_;
  // Before the game: it goes after it, waiting for the searches the game has called off.
  QtWorker worker_;
  std::unique_ptr<Game> game_;
  std::unique_ptr<Records> records_;
  std::future<RecordsStart> recordsOpening_;
  bool kept_ = false;  // the game in progress was kept, or there was none to keep
  std::optional<SavedGame> pending_;  // the game left at the last end, until it is taken up

  YardView* view_ = nullptr;
  class Announcer* announcer_ = nullptr;
  QPushButton* front_ = nullptr;
  QPushButton* back_ = nullptr;
  QPushButton* animeTest_ = nullptr;
  QComboBox* cutNum_ = nullptr;
  QLabel* lblMsg_ = nullptr;
  QTimer* timer_ = nullptr;
  QPointer<frmSplash> splash_;
  QPointer<QWidget> trainWindow_, tableWindow_, carWindow_;

  int zoom_ = 1;
  bool startingUp_ = true;
  bool closing_ = false;
  // The guide's last line that only said where the cursor is or what was typed.
  QString transientGuide_;
  std::set<std::string> undrawableTold_;  // car pictures the player was told cannot be drawn
  bool escapeDown_ = false;   // Escape went down on this window, not on a menu or a dialog
  EscapeAction escapeMeant_ = EscapeAction::Nothing;  // what it was to do then
  std::pair<int, unsigned long> lastEscape_{0, 0};  // the last Escape event looked at

  // The ports.
  QtMessageBox qtBoxes_{*this, splash_};
  IMessageBox* boxes_ = &qtBoxes_;  // Qt's, or the stand-in's of the start options
  ClosingGuard msgBoxes_{boxes_, closing_};
  QtControls controls_{*this};
  QtStatusBar status_;
  QtClock clock_{options_.timeScale, options_.onWait, closing_};
  QtScene scene_{{*this, view_, game_, settings_, clock_, msgBoxes_, texts_, zoom_, options_.console}};
  QtSound sound_{midi_, closing_};
};

}  // namespace kelvara::qt
