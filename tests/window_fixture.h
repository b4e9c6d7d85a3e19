// The real main window started offscreen in a scratch program folder, for the window tests.
#pragma once

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QComboBox>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <map>

#include "base/paths.h"
#include "base/program.h"
#include "base/textfile.h"
#include "qt/frmmain.h"
#include "qt/yardview.h"
#include "qt/qtplatform.h"
#include "tempdir.h"

namespace kelvara::testing {

// Runs the event loop until `done` holds or the time is up; whether it held. QTRY_VERIFY and
// QTRY_COMPARE must not be used here: they report to QTest, so a time-out leaves a GoogleTest
// test passing.
// The time is a ceiling for a test that fails, never what it measures: generous, so that a busy
// machine gives the verdict a quiet one does.
// The loop is a real one, as the game's own is: what asks the window meanwhile (a screen reader
// over the accessibility bus) is answered at once, not after a sleep.
template <class F>
bool WaitFor(F done, int ms = 60000) {
  if (done()) return true;
  QEventLoop loop;
  QTimer poll, ceiling;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // as QTest::qWait does
    if (done()) loop.quit();
  });
  QObject::connect(&ceiling, &QTimer::timeout, &loop, &QEventLoop::quit);
  ceiling.setSingleShot(true);
  poll.start(5);
  ceiling.start(ms);
  loop.exec();
  return done();
}

// The event loop runs for a while.
inline void Pump(int ms) { WaitFor([] { return false; }, ms); }

// Runs `check` on the modal window that `open` shows, then closes it. The window may take a while:
// opening it can turn the event loop first (loading train files does).
inline void WithModal(const std::function<void()>& open, const std::function<void(QWidget&)>& check) {
  bool seen = false;
  QTimer poll;
  poll.setInterval(5);
  int tries = 0;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr && ++tries < 12000) return;
    poll.stop();
    ASSERT_NE(modal, nullptr) << "no modal window came up";
    seen = true;
    check(*modal);
    modal->close();
  });
  poll.start();
  open();
  poll.stop();
  EXPECT_TRUE(seen);
}

// The player at the message boxes: scripted answers first, then, when quiet, the default button
// without a box; otherwise the real box. Every text asked is kept.
struct ScriptedBoxes : IMessageBox {
  IMessageBox* real = nullptr;
  std::vector<MsgAnswer> answers;
  bool quiet = true;
  std::vector<std::string> shown;
  MsgAnswer Show(std::string_view text, MsgButtons b, MsgIcon i, std::string_view title) override {
    shown.emplace_back(text);
    if (!answers.empty()) {
      const MsgAnswer a = answers.front();
      answers.erase(answers.begin());
      return a;
    }
    if (quiet || real == nullptr) return b == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    return real->Show(text, b, i, title);
  }
};

// The folder a test hands a window test it starts as a process of its own, if any.
inline const char* HandedFolder() { return std::getenv("KELVARA_WINDOW_DIR"); }

struct WindowFixture : ::testing::Test {
  TempDir dir = HandedFolder() != nullptr ? TempDir(std::string(HandedFolder())) : TempDir();
  std::unique_ptr<qt::frmMain> window;
  ScriptedBoxes boxes;
  // What the one-input console returns when set; unset shows the console.
  std::optional<std::optional<std::string>> console;
  // Called at every wait of the game; help pages opened, when set.
  std::function<void(int)> onWait;
  std::function<bool(const QString&)> openHelp;

  // The stand-ins above, for a window a test starts itself.
  qt::StartOptions Options() {
    qt::StartOptions o;
    o.messageBox = [this](IMessageBox& real) -> IMessageBox& {
      boxes.real = &real;
      return boxes;
    };
    o.console = [this]() -> std::optional<std::string> {
      if (console) return *console;
      ADD_FAILURE() << "the console was opened with no text for it";
      return std::nullopt;
    };
    o.onWait = [this](int ms) {
      if (onWait) onWait(ms);
    };
    o.openHelp = [this](const QString& url) { return openHelp ? openHelp(url) : true; };
    return o;
  }

  void SetUp() override {
    if (HandedFolder() == nullptr) {
      std::filesystem::create_directory_symlink(KELVARA_CARS_DIR, dir / "Cars");
      std::filesystem::create_directory_symlink(std::string(KELVARA_BUILD_DIR) + "/help", dir / "help");
    }
    SetProgramPaths(dir.str(), "kelvara");
    QFile::remove(qt::QSettingsStore::FileName());  // no window place from an earlier test
  }
  void TearDown() override {
    if (window && window->isVisible()) window->close();
    window.reset();
  }
  // Settings of a later run, the size picked 1x unless the lines say otherwise; without them the
  // start is a first run.
  void Settings(std::string lines = "") {
    if (lines.find("Zoom=") == std::string::npos) lines += "Zoom=1\r\n";
    dir.Write("kelvara.ini", "[Kelvara]\r\nTRD_FOLDER=" + (dir / "Cars") +
                                 "\r\nQuestionLevel=5\r\nCarNumGuide=True\r\nLookCarNumber=True\r\nCarNumOnMouse=True\r\n"
                                 "ReplaceAnimate=True\r\nDisMakeUpDraw=True\r\nCompleteRunMainLine=True\r\n"
                                 "CompleteBigAnimaite=True\r\nMakeLog=True\r\nGameSound=OFF\r\nSuccessSound=OFF\r\n" +
                                 lines);
  }
  void Start(const std::string& commandLine = "/e nsp nss", bool sound = false) {
    qt::StartOptions o = Options();
    o.noSound = !sound;
    o.audioDriver = "file";
    o.timeScale = 0;
    o.seed = 1;  // the start-up picks a train at random: the same one in every run, so a test's quiz is too
    o.commandLine = commandLine;
    boxes.quiet = true;
    window = std::make_unique<qt::frmMain>(o);
    window->Form_Load();
  }
  // The log's lines without their numbers.
  std::vector<std::string> LogLines() const {
    std::vector<std::string> out;
    for (const std::string& line : SplitLines(ReadFileBytes(dir / "kelvara.log").value_or(""))) {
      const auto at = line.find(" : ");
      out.push_back(at == std::string::npos ? line : line.substr(at + 3));
    }
    return out;
  }
  bool Enabled(const char* name) const {
    if (QAction* a = window->menu(name)) return a->isEnabled();
    if (QPushButton* b = Button(name)) return b->isEnabled();
    if (std::string(name) == "cmbCutTrainNum") return NumberBox()->isEnabled();
    ADD_FAILURE() << "no control " << name;
    return false;
  }
  // Every menu item, then the controls under the picture: the window's controls but the
  // separators, the clock and the two that are hidden unless a run or a switch shows them.
  static inline const std::vector<std::string> kControls = [] {
    std::vector<std::string> names;
    for (const MainControl& c : kMainControls) {
      if (IsSeparator(c.name) || c.name == "Timer1" || c.name == "mnuEscape" || c.name == "cmdBigAnimeTest") continue;
      names.emplace_back(c.name);
    }
    return names;
  }();
  // Every one of them that is enabled, for comparing whole states at once.
  std::vector<std::string> EnabledControls() const {
    std::vector<std::string> on;
    for (const std::string& name : kControls) {
      if (Enabled(name.c_str())) on.push_back(name);
    }
    return on;
  }
  // A size the screen cannot hold stays off whatever the game's state.
  bool ScreenHolds(const std::string& name) const {
    if (!name.starts_with("mnuViewZoom")) return true;
    return window->LargestZoom(window->WorkArea()) >= name.back() - '0';
  }
  // The menu items, but those named off and the sizes the screen cannot hold, and the controls
  // named on.
  std::vector<std::string> MenusWithout(const std::vector<std::string>& off, std::vector<std::string> on) const {
    std::vector<std::string> out;
    for (const std::string& m : kControls) {
      if (m.starts_with("mnu") && std::find(off.begin(), off.end(), m) == off.end() && ScreenHolds(m)) out.push_back(m);
    }
    out.insert(out.end(), on.begin(), on.end());
    return out;
  }
  // The shown top-level window of that name, if there is one.
  static QWidget* Shown(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == name && w->isVisible()) return w;
    }
    return nullptr;
  }
  // The window's controls by their names, as the window system knows them.
  QPushButton* Button(const char* name) const { return window->findChild<QPushButton*>(name); }
  QComboBox* NumberBox() const { return window->findChild<QComboBox*>("cmbCutTrainNum"); }
  QLabel* Panel(const char* key) const { return window->findChild<QLabel*>(QString("staBar_") + key); }
  // The guide's whole text, as the game wrote it (the panel shows one line of it).
  QString Guide() const { return QString::fromStdString(window->game().ports().status.Panel("Msg")); }
  // A hint's search runs on the worker: the hint waits for its answer.
  void Trigger(const char* menu) {
    window->menu(menu)->trigger();
    if (std::string(menu) == "mnuGameHint") Settle();
  }
  // Until every search posted has been answered, the event loop running meanwhile.
  void Settle() {
    WaitFor([this] { return window->Worker().Pending() == 0; }, 300000);
    ASSERT_EQ(window->Worker().Pending(), 0) << "a search never answered";
  }
  // The play-time clock of the status bar runs.
  bool TimerOn() const { return window->findChild<QTimer*>("Timer1")->isActive(); }
  void Click(const char* button) { QTest::mouseClick(Button(button), Qt::LeftButton); }
  void Number(const std::string& text) { NumberBox()->setEditText(QString::fromStdString(text)); }
};

}  // namespace kelvara::testing
