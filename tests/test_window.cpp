// The main window, offscreen: start-up and shutdown, the picture, a whole game through its
// buttons, and where Escape goes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QTimer>

#include "base/product.h"
#include "model/durations.h"
#include "yard_builder.h"
#include "qt/pictures.h"
#include "window_fixture.h"

namespace kelvara::testing {
namespace {

using ::testing::HasSubstr;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using ::testing::UnorderedElementsAreArray;

const std::vector<std::string> kStartLines = {
    "SetInto MIDIMCIClass", "Path MIDIMCIClass", "Set MIDI", "Path MsgGuideClass", "Path PelmClass",
    "Path TRDClass", "Path LocoClass", "Path TRDClass", "Path LocoClass", "Draw curve", "Path Set Stopper",
    "Draw junction and Sign", "Path Show Main Window", "Path Message Guide", "Path Font Setting",
    "Path Car object making", "Path RepositionimgCar", "Path Loco.LoadLst", "Path SetCarNumGuide",
    "Path Unload Splash"};
const std::vector<std::string> kEndLines = {"Into Form_Unload", "SavePossition",   "MIDI = Nothing",
                                            "Loco2 = Nothing",  "TRD2 = Nothing",  "Loco = Nothing",
                                            "TRD = Nothing",    "Pelm = Nothing",  "MsgGuide = Nothing",
                                            "MyLog = Nothing"};

// ---- start-up and shutdown ---------------------------------------------------------------------

using StartUpTest = WindowFixture;

TEST_F(StartUpTest, LogLinesOfAFirstRunAndALaterOne) {
  dir.Write("kelvara.log", "a line of the last run\r\n");
  Start("/e nsp nss");  // no settings yet: a first run writes them
  EXPECT_TRUE(std::filesystem::exists(dir / "kelvara.ini"));
  window->close();
  auto lines = LogLines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_TRUE(lines[0].starts_with(std::string(kProductName) + " Ver 1.0 起動開始 ")) << lines[0];
  EXPECT_EQ(lines[1], "CreateIni");
  std::vector<std::string> expected(kStartLines);
  expected.insert(expected.begin(), lines.begin(), lines.begin() + 2);
  expected.push_back(lines[expected.size()]);  // "Wake up complete" and the time
  EXPECT_TRUE(expected.back().starts_with("Wake up complete")) << expected.back();
  expected.insert(expected.end(), kEndLines.begin(), kEndLines.end());
  EXPECT_THAT(lines, ElementsAreArray(expected));

  Start("/e nsp nss");  // the settings exist now
  window->close();
  EXPECT_EQ(LogLines()[1], "LoadIni");
}

TEST_F(StartUpTest, EverySwitch) {
  Settings();
  struct Case {
    std::string line;
    bool splash, startLog, endLog, animeTest, tempKept, tune, midiLog;
  };
  const Case cases[] = {
      {"/e", true, true, true, false, false, true, true},
      {"/e NSP nss", false, true, true, false, false, false, true},   // any letter case
      {"/e xnsp", true, true, true, false, false, true, true},        // whole words only
      {"/nsp /nss", false, true, true, false, false, true, true},     // the second keeps its slash
      {"nsl nel nml", true, false, false, false, false, true, false},
      {"oa ndt nsp", false, true, true, true, true, true, true},
      {"-nml nsl nel", true, false, false, false, false, true, false},  // a leading "-" as a "/"
      {"/e nsp  nss", false, true, true, false, false, true, true},      // two blanks end the words
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const std::string temp = dir.Write("kelvara-tune-old1.tmp", "left by a crash");
    bool splash = false;
    onWait = [&](int) {
      splash |= Shown("frmSplash") != nullptr;
    };
    Start(c.line, /*sound=*/true);
    const auto lines = LogLines();
    auto has = [&](const std::string& l) { return std::find(lines.begin(), lines.end(), l) != lines.end(); };
    EXPECT_EQ(splash, c.splash);
    EXPECT_EQ(has("Path Sprash"), c.splash && c.startLog);
    EXPECT_EQ(has("Path Show Main Window"), c.startLog);
    EXPECT_EQ(Button("cmdBigAnimeTest")->isVisible(), c.animeTest);
    EXPECT_EQ(std::filesystem::exists(temp), c.tempKept);
    const std::string midiLog = ReadFileBytes(dir / "MIDIMCI.log").value_or("");
    EXPECT_EQ(midiLog.find("STARTUP.MID") != std::string::npos || midiLog.find("OutPut") != std::string::npos,
              c.tune && c.midiLog);
    EXPECT_EQ(!midiLog.empty(), c.midiLog);
    EXPECT_EQ(Shown("frmSplash"), nullptr) << "the splash goes before the first train";
    window->close();
    const auto after = LogLines();
    EXPECT_EQ(std::find(after.begin(), after.end(), "Into Form_Unload") != after.end(), c.endLog);
    window.reset();
  }
}

// A sound device that does not work: one box at start-up, above the splash, then a silent game.
TEST_F(StartUpTest, ABoxDuringStartUpStandsAboveTheSplash) {
  Settings("GameSound=ON\r\nSuccessSound=ON\r\n");
  qputenv("KELVARA_SOUNDFONT", (dir / "missing.sf2").c_str());
  qt::StartOptions o = Options();
  boxes.quiet = false;  // a real box, over the splash
  o.audioDriver = "file";
  o.commandLine = "/e";  // with the splash
  o.timeScale = 0;
  window = std::make_unique<qt::frmMain>(o);
  WithModal([&] { window->Form_Load(); }, [&](QWidget& box) {  // the failing sound's box
    EXPECT_EQ(box.parentWidget() ? box.parentWidget()->objectName() : QString(), "frmSplash");
    EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint) << "the splash stays on top itself";
  });
  qunsetenv("KELVARA_SOUNDFONT");
  boxes.quiet = true;
  window->game().lib().Seed(3);
  Trigger("mnuGameNewGame");
  EXPECT_THAT(boxes.shown, ElementsAreArray({window->texts().Text(5200)}))
      << "once: the restart's tune is not tried again";
}

// ---- the picture ------------------------------------------------------------------------------

struct PictureTest : WindowFixture {
  void SetUp() override {
    WindowFixture::SetUp();
    Settings();
    Start();
  }
  // The display region of the picture shows exactly that part of the sheet.
  static bool Shows(const QImage& picture, QRect display, qt::Part part) {
    const QImage want = qt::PartsSheet().copy(qt::PartRect(part)).convertToFormat(QImage::Format_RGB32);
    return picture.copy(QRect(display.topLeft(), want.size())) == want;
  }
  static bool HasColour(const QImage& image, QRect box, const std::function<bool(QColor)>& match) {
    for (int y = box.top(); y <= box.bottom(); ++y) {
      for (int x = box.left(); x <= box.right(); ++x) {
        if (match(image.pixelColor(x, y))) return true;
      }
    }
    return false;
  }
  static bool Drawn(const QImage& image, QRect box) {
    return HasColour(image, box, [](QColor c) { return c != QColor(Qt::black); });
  }
};

TEST_F(PictureTest, SignsForEachRoute) {
  using qt::Part;
  // The junction, the signal, the two shunting signs and the lever.
  const QRect places[] = {{39, 216, 15, 8}, {560, 52, 11, 20}, {92, 172, 11, 20}, {92, 244, 11, 20}, {25, 248, 33, 13}};
  struct Case {
    int state;
    Part parts[5];
  };
  const Case cases[] = {
      {1, Part::JunctionRoute1, Part::SignalLine1, Part::ShuntProceed, Part::ShuntStop, Part::LeverRoute1},
      {0, Part::JunctionRoute1, Part::SignalStop, Part::ShuntStop, Part::ShuntStop, Part::LeverRoute1},
      {2, Part::JunctionRoute2, Part::SignalLine2, Part::ShuntStop, Part::ShuntProceed, Part::LeverRoute2},
      {-1, Part::JunctionRoute1, Part::SignalLine2, Part::ShuntStop, Part::ShuntProceed, Part::LeverRoute1},
  };
  for (const Case& c : cases) {
    if (c.state != 1) window->game().SetSign(c.state);
    const QImage p = window->view().DesignPicture();
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(Shows(p, places[i], c.parts[i])) << "state " << c.state << ", place " << i;
  }
}

TEST_F(PictureTest, CellsAndNumberRows) {
  const QImage p = window->view().DesignPicture();
  EXPECT_EQ(p.pixelColor(300, 72), QColor(128, 0, 0)) << "line 0's rail";
  const int cars = window->game().TrainCars;
  // The train stands in siding 1 up to the stopper, the locomotive at the head shunt's junction end.
  EXPECT_TRUE(Drawn(p, qt::YardView::CellRect(39)));
  EXPECT_FALSE(Drawn(p, qt::YardView::CellRect(20 + 19 - cars))) << "the slot before the train is empty";
  EXPECT_TRUE(Drawn(p, qt::YardView::CellRect(19)));
  EXPECT_FALSE(Drawn(p, qt::YardView::CellRect(0)));
  // Car numbers in yellow over the cars, the guide in green over every slot.
  auto yellow = [](QColor c) { return c.red() > 180 && c.green() > 180 && c.blue() < 90; };
  auto green = [](QColor c) { return c.green() > 90 && c.red() < 60 && c.blue() < 60; };
  EXPECT_TRUE(HasColour(p, QRect(104 + 24 * 19, 144, 24, 17), yellow));
  EXPECT_FALSE(HasColour(p, QRect(104 + 24 * 19, 144, 24, 17), green));
  EXPECT_TRUE(HasColour(p, QRect(104, 128, 24, 17), green));
  window->settings().CarNumGuide = false;
  window->menu("mnuViewAnser")->setEnabled(false);
  window->game().mnuGameRestart_Click();
  EXPECT_FALSE(HasColour(window->view().DesignPicture(), QRect(104, 128, 480, 17), green)) << "guides off";

  // Read straight from the file at full size, a shipped picture is the one Qt reads: the shrinking
  // itself is the bitmap tests', the channels' order is this one's.
  for (const auto& entry : std::filesystem::directory_iterator(KELVARA_CARS_DIR)) {
    if (entry.path().extension() != ".bmp") continue;
    const QImage qts = qt::LoadPicture(entry.path().string()).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(qt::LoadShrunkPicture(entry.path().string(), qts.width(), qts.height()), qts) << entry.path();
  }
}

// Run also on a screen scaled to 150 % (QT_SCALE_FACTOR, see tests/CMakeLists.txt): the zoom counts
// the screen's own pixels, so the blocks stay whole at any scale.
TEST_F(PictureTest, WholeNumberZoomKeepsEveryPixel) {
  const QImage one = window->view().DesignPicture();
  const double ratio = window->view().devicePixelRatioF();
  for (int zoom : {1, 2, 3}) {
    window->SetZoom(zoom);
    const QImage shot = window->view().grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_GE(shot.width(), one.width() * zoom);
    ASSERT_GE(shot.height(), one.height() * zoom);
    EXPECT_EQ(shot.copy(0, 0, one.width() * zoom, one.height() * zoom),
              one.scaled(one.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation))
        << "each pixel a " << zoom << " x " << zoom << " block of its colour, at a scale of " << ratio;
    const double z = zoom / ratio;
    EXPECT_EQ(Button("cmdFront")->geometry(),
              QRect(qRound(216 * z), qRound(304 * z), qRound(57 * z), qRound(25 * z)));
    // A click lands on the cell it is drawn in.
    for (int cell : {0, 27, 59}) {
      int clicked = -1;
      auto c = QObject::connect(&window->view(), &qt::YardView::cellClicked, [&](int i) { clicked = i; });
      const QPointF centre = QPointF(qt::YardView::CellRect(cell).center()) * z;
      QTest::mouseClick(&window->view(), Qt::LeftButton, {}, centre.toPoint());
      QObject::disconnect(c);
      EXPECT_EQ(clicked, cell) << "zoom " << zoom;
    }
  }
  window->SetZoom(1);
}

// ---- a whole game -------------------------------------------------------------------------------

struct GameTest : WindowFixture {
  void SetUp() override {
    WindowFixture::SetUp();
    Settings();
  }
  // Plays a one-input string with the buttons: C n is a pull and a back-in, P n a push.
  void Play(const std::string& solution) {
    for (const OneInputCommand& c : ParseOneInput(solution)) {
      if (!window->game().GameActive) return;  // complete: the string may still end with a push
      Number(std::to_string(c.number));
      if (c.letter == "C") {
        ASSERT_TRUE(Enabled("cmdFront")) << solution;
        Click("cmdFront");
        EXPECT_FALSE(Enabled("cmdFront"));
        EXPECT_TRUE(Enabled("cmdBack"));
      }
      Click("cmdBack");
    }
  }
};

TEST_F(GameTest, EnabledStatesFromStartUpToTheEndOfAGame) {
  // During start-up nothing answers a click: the window is not shown yet, or nothing on it is
  // enabled.
  int startWaits = 0;
  std::vector<std::string> duringStart;
  onWait = [&](int) {
    ++startWaits;
    if (window->isVisible()) duringStart = EnabledControls();
    Button("cmdBack")->click();
  };
  Start();
  onWait = nullptr;
  EXPECT_GT(startWaits, 0);
  EXPECT_THAT(duringStart, IsEmpty());
  EXPECT_EQ(window->game().AnserCount, 0) << "no click reached the game";
  EXPECT_THAT(EnabledControls(), UnorderedElementsAreArray(MenusWithout(
                                     {"mnuGameRestart", "mnuViewAnser", "mnuViewClearAnimation", "mnuGameReDisMakeUp",
                                      "mnuGameHint", "mnuGameUndo", "mnuGameRedo", "mnuGameCopyCode"},
                                     {"cmdBack"})));

  Game& game = window->game();
  game.lib().Seed(11);
  std::vector<std::string> whileMaking;
  onWait = [&](int ms) {
    if (game.MakingQuiz && ms == 1000) whileMaking = EnabledControls();
  };
  Trigger("mnuGameNewGame");
  onWait = nullptr;
  EXPECT_THAT(whileMaking, IsEmpty()) << "nothing but the close box while the quiz is made";
  ASSERT_TRUE(game.GameActive);
  EXPECT_THAT(EnabledControls(), UnorderedElementsAreArray(MenusWithout(
                                     {"mnuGameRestart", "mnuViewClearAnimation", "mnuGameUndo", "mnuGameRedo"},
                                     {"cmdBack", "cmbCutTrainNum"})));

  const QImage before = window->view().DesignPicture();
  const auto solution = SolveOneInput(game.yard, game.LocoUnits, game.TrainCars);
  ASSERT_TRUE(solution.has_value());
  std::vector<std::string> duringWindow, duringRun;
  bool escapeShown = false;
  QString detail;
  onWait = [&](int ms) {
    if (ms == 3000) {
      duringWindow = EnabledControls();
      if (QWidget* w = Shown("frmComplete")) detail = w->findChild<QLabel*>("lblDetail")->text();
    }
    if (window->view().Running()) {
      duringRun = EnabledControls();
      escapeShown = window->menu("mnuEscape")->isVisible() && window->menu("mnuEscape")->isEnabled();
    }
  };
  Click("cmdBack");  // into siding 1, where every one-input run begins
  EXPECT_TRUE(Enabled("mnuGameRestart")) << "the first back-in of a game gives Restart";
  EXPECT_NE(window->view().DesignPicture(), before) << "the locomotive's cells moved";
  Play(*solution);
  onWait = nullptr;

  EXPECT_FALSE(game.GameActive) << "completed with " << *solution;
  // The completion window names the moves used and the fewest.
  EXPECT_THAT(detail.toStdString(), HasSubstr("Moves: " + std::to_string(game.MovesUsed)));
  EXPECT_THAT(detail.toStdString(), HasSubstr("fewest possible: " + std::to_string(game.FewestMoves)));
  // While the completion window is up and the train runs, nothing answers but the run's escape;
  // the number box takes no input once the game is over.
  EXPECT_THAT(duringWindow, IsEmpty());
  EXPECT_THAT(duringRun, IsEmpty());
  EXPECT_TRUE(escapeShown);
  EXPECT_FALSE(window->menu("mnuEscape")->isVisible());
  EXPECT_THAT(EnabledControls(), UnorderedElementsAreArray(MenusWithout(
                                     {"mnuGameReDisMakeUp", "mnuGameHint", "mnuGameUndo", "mnuGameRedo"}, {})));
  EXPECT_THAT(boxes.shown, IsEmpty());
  EXPECT_EQ(LineText(game.yard, 1) + LineText(game.yard, 2), "") << "the finished train ran out";
}

TEST_F(GameTest, HintsMarkTheCarsAndUndoTakesMovesBackFromTheKeyboard) {
  Start();
  Game& game = window->game();
  game.lib().Seed(17);
  Trigger("mnuGameNewGame");
  ASSERT_TRUE(game.GameActive);

  // The first hint: back in. Then one that pulls: its cars get a bar under them, and the guide
  // says what to do. Shortcuts reach the active window only.
  window->activateWindow();
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_H, Qt::ControlModifier);
  Settle();
  EXPECT_FALSE(game.HintCells.empty());
  EXPECT_EQ(game.ports().status.Panel("Msg"), game.HintText);
  Click("cmdBack");
  EXPECT_TRUE(game.HintCells.empty()) << "marks last until the next move";
  Trigger("mnuGameHint");
  ASSERT_FALSE(game.HintLine.empty());
  ASSERT_FALSE(game.HintCells.empty());
  const QImage marked = window->view().DesignPicture();
  for (const int cell : game.HintCells) {
    const QRect r = qt::YardView::CellRect(cell);
    EXPECT_EQ(marked.pixelColor(r.center().x(), r.bottom() + 4), QColor(255, 170, 0)) << "cell " << cell;
  }
  EXPECT_THAT(game.ports().status.Panel("Msg"),
              HasSubstr(game.HintLine.front().number > 0 ? "pull out" : "locomotive alone"));

  // A move, then Ctrl+Z in the number box (where the focus rests) takes it back, Ctrl+Y and
  // Ctrl+Shift+Z play it again.
  const Yard start = game.yard;
  const OneInputCommand next = game.HintLine.front();
  Play(next.letter + std::to_string(next.number));
  const Yard after = game.yard;
  ASSERT_NE(after, start);
  QLineEdit* box = NumberBox()->lineEdit();
  box->setFocus();
  QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
  if (next.letter == "C") QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);  // the back-in, then the pull
  EXPECT_EQ(game.yard, start);
  EXPECT_THAT(game.ports().status.Panel("Msg"), HasSubstr("Undo : ")) << "the hint is gone with its position";
  QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
  if (next.letter == "C") QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(game.yard, after);
}

// Each drawn step of a move stays a frame on the screen; steps that are not drawn cost nothing.
TEST_F(GameTest, MovesAreSeenToSlide) {
  Start();
  window->game().lib().Seed(5);
  Trigger("mnuGameNewGame");
  Click("cmdBack");
  std::vector<int> frames;
  onWait = [&](int ms) {
    if (ms <= durations::kStepFrame) frames.push_back(ms);
  };
  Game& game = window->game();
  const int units = game.yard.GetCoupledCarsNum(game.Route);
  ASSERT_GT(units, game.LocoUnits);
  Number(std::to_string(units - game.LocoUnits));
  Click("cmdFront");  // every unit coupled crosses the seam: a frame each, at least
  EXPECT_GE(static_cast<int>(frames.size()), units);
  frames.clear();
  window->settings().ReplaceAnimate = false;
  Click("cmdBack");
  EXPECT_LE(frames.size(), 1u) << "one redraw at the end of the move, at most one frame to finish";
}

// ---- Escape -----------------------------------------------------------------------------------------

struct EscapeTest : PictureTest {
  void SetUp() override {
    PictureTest::SetUp();
    boxes.quiet = false;  // the boxes here are real ones, closed by Escape
  }
  // Keys for the main window come through its QWindow, as the window system delivers them.
  void EscapeOnMain(bool press = true, bool release = true) {
    if (press) QTest::keyPress(window->windowHandle(), Qt::Key_Escape);
    if (release) QTest::keyRelease(window->windowHandle(), Qt::Key_Escape);
  }
  // Runs `inside` once the modal window or popup is up, then closes it with an Escape press; the
  // release reaches the main window, as it does when a dialog closes on the press.
  void EscapeIn(const std::function<void()>& open) {
    QTimer::singleShot(0, [this] {
      QWidget* target = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                          : QApplication::activeModalWidget();
      ASSERT_NE(target, nullptr);
      QTest::keyPress(target, Qt::Key_Escape);
      EscapeOnMain(false, true);
    });
    open();
  }
};

TEST_F(EscapeTest, OnlyAnEscapeOnTheMainWindowCloses) {
  QMenu* menu = window->menu("mnuGame")->menu();
  EscapeIn([&] { menu->exec(window->mapToGlobal(QPoint(20, 20))); });
  EXPECT_TRUE(window->isVisible()) << "after a menu";
  EscapeIn([&] { Trigger("mnuHelpAbout"); });
  EXPECT_TRUE(window->isVisible()) << "after a dialog";
  window->game().Route = 0;  // Back now warns in a box
  EscapeIn([&] { Click("cmdBack"); });
  EXPECT_TRUE(window->isVisible()) << "after a message box";

  EscapeOnMain();
  EXPECT_FALSE(window->isVisible()) << "pressed and released here";
}

// The departure run comes in from the right; an Escape during it cuts it short and leaves the
// window open.
TEST_F(EscapeTest, DuringTheDepartureRunItCutsTheRunShort) {
  std::vector<QImage> frames;
  std::vector<int> fronts;
  onWait = [&](int) {
    if (!window->view().Running()) return;
    frames.push_back(window->view().grab().toImage());
    fronts.push_back(window->game().gAnimeDstRect[0].Left);
    if (frames.size() == 3) EscapeOnMain();
  };
  window->game().CompleteAnimate();
  ASSERT_EQ(frames.size(), 4u) << "one more frame, the train beyond the left edge";
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(window->view().Running());
  EXPECT_FALSE(Drawn(frames[0], frames[0].rect())) << "the front beyond the right edge";
  const int left = fronts[2];
  ASSERT_GT(left, 2);
  ASSERT_LT(left, qt::kDesignWidth);
  EXPECT_TRUE(Drawn(frames[2], QRect(left, 0, qt::kDesignWidth - left, qt::kDesignHeight)));
  EXPECT_FALSE(Drawn(frames[2], QRect(0, 0, left - 2, qt::kDesignHeight))) << "black ahead of the train";
}

// An Escape meant for the run that reaches the window after the run ended (a screen reader
// passes keys on after looking at them) leaves the window open: one that went down during the
// run and comes up after it, and one that arrives whole just after; later, Escape closes again.
TEST_F(EscapeTest, AnEscapeMeantForTheRunDoesNotClose) {
  bool pressed = false;
  onWait = [&](int) {
    if (window->view().Running() && !pressed) {
      pressed = true;
      EscapeOnMain(true, false);
    }
  };
  window->game().CompleteAnimate();
  ASSERT_TRUE(pressed);
  onWait = nullptr;
  EscapeOnMain(false, true);
  EXPECT_TRUE(window->isVisible());
  EscapeOnMain();
  EXPECT_TRUE(window->isVisible()) << "just after the run";
  window->game().ports().clock.Wait(durations::kEscapeAfterRun);
  EscapeOnMain();
  EXPECT_FALSE(window->isVisible()) << "a whole Escape afterwards closes";
}

// The formation windows take the keyboard each time they are asked for, also when already open
// behind the main window: their Escape closes them and never the game.
TEST_F(EscapeTest, TheFormationWindowsTakeTheKeyboardAndTheirEscape) {
  for (const char* item : {"mnuViewMakeUpTable", "mnuViewMakeedUpTrain"}) {
    SCOPED_TRACE(item);
    Trigger(item);
    ASSERT_TRUE(WaitFor([&] { return qobject_cast<QDialog*>(QApplication::activeWindow()) != nullptr; }));
    QWidget* shown = QApplication::activeWindow();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == window.get(); }));
    Trigger(item);
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == shown; }));
    QTest::keyClick(shown, Qt::Key_Escape);
    EXPECT_FALSE(shown->isVisible());
    EXPECT_TRUE(window->isVisible());
  }
}

// ---- help -------------------------------------------------------------------------------------------

TEST_F(StartUpTest, HelpOpensThePageOrSaysWhyNot) {
  Settings();
  Start();
  std::vector<QString> opened;
  openHelp = [&](const QString& url) {
    opened.push_back(url);
    return true;
  };
  window->HelpShow();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_TRUE(opened[0].endsWith("help/index.htm#en")) << opened[0].toStdString();
  EXPECT_THAT(boxes.shown, IsEmpty());

  // Without the help pages: the pre-help page after a word, then only the words.
  std::filesystem::remove(dir / "help");
  dir.Write("help/index0.htm", "<p>pre-help</p>");
  window->HelpShow();
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_TRUE(opened[1].endsWith("help/index0.htm#en"));
  std::filesystem::remove(dir / "help/index0.htm");
  window->HelpShow();
  EXPECT_EQ(opened.size(), 2u);
  const std::string none = window->texts().GetSystemErrorText(2) + "\r\n";
  const std::string noPre = window->texts().GetSystemErrorText(3) + "\r\n";
  EXPECT_THAT(boxes.shown, ElementsAreArray({none, none, noPre}));
}

}  // namespace
}  // namespace kelvara::testing
