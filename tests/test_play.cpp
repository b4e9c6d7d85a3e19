// The state of play through the real window: what a command pressed during a move, a sign hold,
// a train change or the completion does; where Escape goes; what the status bar keeps.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QCheckBox>
#include <QTableWidget>
#include <QClipboard>
#include <QInputDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QMenu>
#include <QMenuBar>

#include "model/durations.h"
#include "sandbox.h"
#include "model/solver.h"
#include "window_fixture.h"
#include "yard_builder.h"

namespace kelvara::testing {
namespace {

using ::testing::Each;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

struct PlayTest : WindowFixture {
  void SetUp() override {
    WindowFixture::SetUp();
    Settings();
    Start();
    boxes.quiet = true;
  }
  Game& G() { return window->game(); }
  void NewGame(std::uint64_t seed) {
    G().lib().Seed(seed);
    Trigger("mnuGameNewGame");
    ASSERT_EQ(G().phase(), Phase::Playing);
  }
  // The yard the pull of `n` cars from the position on the screen makes, on a working copy.
  Yard PulledOnACopy(int n) {
    Sandbox box(G().yard, G().Route, G().LocoUnits, G().TrainCars);
    box.game().ports().controls.SetText("cmbCutTrainNum", std::to_string(n));
    box.game().cmdFront_Click();
    return box.game().yard;
  }
  void EscapeOnMain() {
    QTest::keyPress(window->windowHandle(), Qt::Key_Escape);
    QTest::keyRelease(window->windowHandle(), Qt::Key_Escape);
  }
};

// Undo, Restart, Back, New Game, Re-make, a train change, Hint and Redo on the frames of a pull
// and during its sign hold: the pull ends as it would alone, and enters the history whole.
TEST_F(PlayTest, ACommandDuringAMoveDoesNothing) {
  int cars = 0;
  for (std::uint64_t seed = 21; cars < 2 && seed < 40; ++seed) {
    NewGame(seed);
    Click("cmdBack");
    cars = G().yard.GetCoupledCarsNum(G().Route) - G().LocoUnits;
  }
  ASSERT_GE(cars, 2);
  const Yard before = G().yard;
  const Yard pulled = PulledOnACopy(cars);
  const std::vector<const char*> menus = {"mnuGameUndo", "mnuGameRestart", "mnuGameNewGame", "mnuGameReDisMakeUp",
                                          "mnuGameChangeTrainAuto", "mnuGameHint", "mnuGameRedo"};
  int frame = 0, holds = 0;
  onWait = [&](int ms) {
    ++frame;
    holds += ms == durations::kRouteHold ? 1 : 0;
    if (frame == 2 || ms == durations::kRouteHold) {
      for (const char* m : menus) {
        EXPECT_FALSE(Enabled(m)) << m << " at wait " << frame;
        window->menu(m)->trigger();
      }
      Button("cmdBack")->click();
      Button("cmdFront")->click();
      QTest::keyClick(NumberBox()->lineEdit(), Qt::Key_4);
    }
  };
  Number(std::to_string(cars));
  Click("cmdFront");
  onWait = nullptr;
  EXPECT_EQ(holds, 1);
  EXPECT_EQ(G().yard, pulled) << LineText(G().yard, 0) << " | " << LineText(G().yard, 1) << " | "
                              << LineText(G().yard, 2);
  EXPECT_EQ(NumberBox()->currentText(), "") << "no stray key in the number box";
  // One Ctrl+Z takes back the whole pull, route and all; the next the back-in.
  Trigger("mnuGameUndo");
  EXPECT_EQ(G().yard, before);
  Trigger("mnuGameUndo");
  EXPECT_EQ(G().yard, G().StartYard);
}

// After a train change in the middle of a game there is nothing to take back: the old train's
// yard never comes back under the new train's pictures.
TEST_F(PlayTest, ATrainChangeEndsTheGameAndItsHistory) {
  NewGame(5);
  Click("cmdBack");
  Number("1");
  Click("cmdFront");
  ASSERT_TRUE(Enabled("mnuGameUndo"));
  boxes.answers = {MsgAnswer::Yes};  // "the game in progress will be cancelled"
  Trigger("mnuGameChangeTrainAuto");
  EXPECT_EQ(G().phase(), Phase::Idle);
  EXPECT_FALSE(Enabled("mnuGameUndo"));
  Trigger("mnuGameUndo");
  EXPECT_EQ(G().yard, G().StartYard) << "the new train where it was placed";
  EXPECT_EQ(G().yard.GetLocoNum(kHeadShunt), G().LocoUnits);
  EXPECT_EQ(Panel("UCount")->text(), "0");
  EXPECT_EQ(Guide(), "");
  EXPECT_FALSE(Panel("Time")->text().isEmpty());
  EXPECT_FALSE(TimerOn()) << "the clock of the game that ended";
}

// Back before any game lets Front pull; a train change puts the locomotive back on the head
// shunt, and Front goes off with it.
TEST_F(PlayTest, FrontFollowsTheYardAcrossATrainChange) {
  Click("cmdBack");
  EXPECT_TRUE(Enabled("cmdFront"));
  Trigger("mnuGameChangeTrainAuto");
  EXPECT_FALSE(Enabled("cmdFront"));
  EXPECT_TRUE(Enabled("cmdBack"));
  const QString moves = Panel("UCount")->text();
  boxes.shown.clear();
  Click("cmdFront");
  EXPECT_THAT(boxes.shown, IsEmpty());
  EXPECT_EQ(Panel("UCount")->text(), moves);
}

// Escape during the completion window and the run-out neither closes the program nor stops the
// departure run; during the run it cuts it short.
TEST_F(PlayTest, EscapeDuringTheCompletion) {
  NewGame(8);
  const auto solution = SolveOneInput(G().yard, G().LocoUnits, G().TrainCars);
  ASSERT_TRUE(solution.has_value());
  window->settings().OneInput = true;
  console = std::optional<std::string>(*solution);
  bool ran = false, closedEarly = false;
  int frames = 0;
  onWait = [&](int ms) {
    if (ms == durations::kCompleteWindow) {
      QWidget* complete = Shown("frmComplete");
      ASSERT_NE(complete, nullptr);
      QTest::keyClick(complete, Qt::Key_Escape);
      closedEarly |= !complete->isVisible();
      EscapeOnMain();
    }
    if (G().phase() == Phase::Completing) EscapeOnMain();  // the run-out, and just after the window
    if (window->view().Running()) {
      ran = true;
      if (++frames == 3) EscapeOnMain();
    }
  };
  Click("cmdBack");
  onWait = nullptr;
  EXPECT_TRUE(window->isVisible());
  EXPECT_FALSE(closedEarly) << "the completion window stays its time";
  EXPECT_TRUE(ran) << "the departure run played";
  EXPECT_EQ(frames, 4) << "cut short: one more frame, the train beyond the left edge";
  EXPECT_EQ(G().phase(), Phase::Complete);
  EscapeOnMain();
  EXPECT_TRUE(window->isVisible()) << "just after the run, taken for one meant for it";
  window->game().ports().clock.Wait(durations::kEscapeAfterRun);
  EscapeOnMain();
  EXPECT_FALSE(window->isVisible()) << "now it is the idle main window's";
}

// Alt+G opens the Game menu; Escape closes it, a second Escape leaves the menu bar: neither ends
// the program.
TEST_F(PlayTest, EscapeThatLeavesTheMenuBarStaysThere) {
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_G, Qt::AltModifier);
  ASSERT_TRUE(WaitFor([&] { return QApplication::activePopupWidget() != nullptr; }));
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
  EXPECT_TRUE(WaitFor([&] { return QApplication::activePopupWidget() == nullptr; }));
  QWidget* focus = QApplication::focusWidget();
  ASSERT_NE(focus, nullptr);
  QTest::keyClick(focus, Qt::Key_Escape);

  EXPECT_TRUE(window->isVisible()) << "the second Escape only left the menu bar";
  EXPECT_EQ(window->menuBar()->activeAction(), nullptr);
  // The window system gives the main window its activation back in its own time.
  EXPECT_TRUE(WaitFor([&] { return QApplication::activeWindow() == window.get() && !window->menuBar()->hasFocus(); }));
  EscapeOnMain();
  EXPECT_FALSE(window->isVisible());
}

// The status bar describes the game on the screen.
TEST_F(PlayTest, TheStatusBarForgetsWhatNoLongerHolds) {
  NewGame(17);
  EXPECT_EQ(Panel("DCount")->toolTip().toStdString(), window->texts().GetCaptionText(136));
  EXPECT_EQ(Panel("UCount")->toolTip().toStdString(), window->texts().GetCaptionText(137));
  Trigger("mnuGameHint");
  EXPECT_EQ(Guide().toStdString(), G().HintText);
  Click("cmdBack");
  EXPECT_EQ(Guide(), "") << "the hint went with its position";

  // A derailment's last word goes with Restart.
  ASSERT_EQ(G().yard.GetLocoNum(kHeadShunt), 0);
  Number("25");  // more than the siding holds
  Click("cmdBack");
  ASSERT_EQ(G().phase(), Phase::Derailed);
  EXPECT_EQ(Guide().toStdString(), window->texts().Text(5660));
  EXPECT_FALSE(Enabled("cmbCutTrainNum"));
  Trigger("mnuGameRestart");
  EXPECT_EQ(Guide(), "");
  EXPECT_EQ(Panel("UCount")->text(), "0");

  // No to a new train leaves no "Get Train Random..." behind.
  boxes.answers = {MsgAnswer::No};
  Trigger("mnuGameChangeTrainAuto");
  EXPECT_EQ(Guide(), "");
  EXPECT_EQ(G().phase(), Phase::Playing);

  // A finished game's counts go when it is played again.
  window->settings().OneInput = true;
  console = std::optional<std::string>(*SolveOneInput(G().yard, G().LocoUnits, G().TrainCars));
  Click("cmdBack");
  ASSERT_EQ(G().phase(), Phase::Complete);
  EXPECT_FALSE(Guide().isEmpty());
  Trigger("mnuGameRestart");
  EXPECT_EQ(Guide().toStdString(), window->texts().Text(5720)) << "one input mode, no old counts";
}

// The play clock stops where the train ran into the car stopper, not after the boxes that say so;
// a notice of the game's stays in the guide whatever the cursor or the number box says.
TEST_F(PlayTest, TheClockStopsAtTheDerailmentAndNoticesStay) {
  NewGame(8);
  Click("cmdBack");
  ASSERT_EQ(G().yard.GetLocoNum(kHeadShunt), 0);
  std::vector<QString> shown;
  onWait = [&](int ms) {
    if (ms != durations::kDerailMessages && ms != durations::kDerailStep) return;
    G().Timer1_Timer();
    shown.push_back(Panel("Time")->text());
  };
  Number("25");
  Click("cmdBack");
  onWait = nullptr;
  ASSERT_EQ(G().phase(), Phase::Derailed);
  ASSERT_FALSE(shown.empty());
  G().ports().clock.Wait(5000);
  G().Timer1_Timer();
  shown.push_back(Panel("Time")->text());
  EXPECT_THAT(shown, Each(shown.front())) << "the time of the derailment, through every box and after";

  // A notice stays until a command replaces it: the cursor's text does not hide it.
  Trigger("mnuGameNewGame");
  Trigger("mnuGameCopyCode");
  const QString notice = Guide();
  ASSERT_THAT(notice.toStdString(), HasSubstr("Quiz code copied"));
  window->view().SetCursor(kVisible + 3);
  EXPECT_EQ(Guide(), notice);
  // What the cursor said goes with the move that used it.
  Click("cmdBack");
  Trigger("mnuGameRestart");
  Click("cmdBack");
  ASSERT_EQ(Guide(), "");
  window->view().SetCursor(G().Route * kVisible + G().yard.GetLocoAfterPosition(G().Route));
  const QString cursor = Guide();
  ASSERT_FALSE(cursor.isEmpty());
  Number("1");
  Click("cmdFront");
  EXPECT_NE(Guide(), cursor);
}

// A quiz made for the buttons and finished in the console is measured in the console's commands.
TEST_F(PlayTest, TheFewestMovesAreCountedInTheUnitsPlayed) {
  NewGame(2);
  // A quiz made while the route shows siding 2: the buttons back into 2 first, the console into 1.
  Click("cmdBack");
  Number("1");
  Click("cmdFront");
  Trigger("mnuGameReDisMakeUp");
  ASSERT_EQ(G().Route, 2);
  const SolveResult typed = SolveFromConsole(G().StartYard, G().LocoUnits, G().TrainCars);
  ASSERT_EQ(typed.outcome, SolveResult::Outcome::Solved);
  window->settings().OneInput = true;
  console = std::optional<std::string>(CommandsText(typed.commands));
  Click("cmdBack");
  ASSERT_EQ(G().phase(), Phase::Complete);
  EXPECT_EQ(G().FewestMoves, static_cast<int>(typed.commands.size()));
  EXPECT_LE(G().FewestMoves, G().MovesUsed);
}

// The par in the status bar from the start of play, the fewest from here after each move when
// the option asks, and the completion's mark for a game finished in the fewest moves. With
// KELVARA_SHOTS set to a folder, the window and the completion window are saved there.
TEST_F(PlayTest, TheParStandsInTheStatusBarAndTheFewestMovesAreMarked) {
  const char* shots = std::getenv("KELVARA_SHOTS");
  auto shoot = [&](QWidget& w, const char* name) {
    if (shots != nullptr) w.grab().save(QString(shots) + "/" + name + ".png");
  };
  window->settings().OneInput = true;
  window->settings().ParFromHere = true;
  NewGame(5);
  Settle();
  ASSERT_TRUE(G().FewestProven);
  // The moves made beside the par, counted alike.
  const std::string par = " / par " + std::to_string(G().FewestMoves);
  EXPECT_EQ(Panel("Par")->text().toStdString(), "Moves 0" + par + " (from here " + std::to_string(G().FewestMoves) + ")");
  EXPECT_EQ(Panel("Par")->toolTip().toStdString(), window->texts().GetCaptionText(144));

  // One command off the shortest way, then the rest of a shortest string from there.
  const SolveResult best = SolveFromConsole(G().yard, G().LocoUnits, G().TrainCars);
  ASSERT_TRUE(best.proven);
  console = std::optional<std::string>("C0");
  Click("cmdBack");
  Settle();
  const std::string fromHere = Panel("Par")->text().toStdString();
  EXPECT_THAT(fromHere, HasSubstr(par + " (from here ")) << "the quiz's par stays; the rest is the position's";
  EXPECT_EQ(fromHere, "Moves 1" + par + " (from here " + std::to_string(G().FewestFromHere) + ")");
  shoot(*window, "par");
  Trigger("mnuGameRestart");
  Settle();
  EXPECT_EQ(Panel("Par")->text().toStdString(), "Moves 0" + par + " (from here " + std::to_string(G().FewestMoves) + ")");

  QString detail;
  onWait = [&](int ms) {
    if (ms != durations::kCompleteWindow) return;
    if (QWidget* w = Shown("frmComplete")) {
      detail = w->findChild<QLabel*>("lblDetail")->text();
      shoot(*w, "complete");
    }
  };
  console = std::optional<std::string>(CommandsText(best.commands));
  Click("cmdBack");
  onWait = nullptr;
  ASSERT_EQ(G().phase(), Phase::Complete);
  EXPECT_EQ(G().MovesUsed, G().FewestMoves);
  EXPECT_THAT(detail.toStdString(), HasSubstr("Finished in the fewest possible moves!"));
  EXPECT_THAT(Panel("Msg")->accessibleName().toStdString(), HasSubstr("Finished in the fewest possible moves!"))
      << "the guide's lines side by side, read whole";

  // One move more than the fewest: no mark.
  Trigger("mnuGameRestart");
  Settle();
  console = std::optional<std::string>("P1");
  Click("cmdBack");
  if (G().phase() == Phase::Playing) {
    const SolveResult rest = SolveFromConsole(G().yard, G().LocoUnits, G().TrainCars);
    ASSERT_EQ(rest.outcome, SolveResult::Outcome::Solved);
    onWait = [&](int ms) {
      if (QWidget* w = Shown("frmComplete"); w != nullptr && ms == durations::kCompleteWindow) {
        detail = w->findChild<QLabel*>("lblDetail")->text();
      }
    };
    console = std::optional<std::string>(CommandsText(rest.commands));
    Click("cmdBack");
    onWait = nullptr;
    ASSERT_EQ(G().phase(), Phase::Complete);
    if (G().MovesUsed > G().FewestMoves) {
      EXPECT_THAT(detail.toStdString(), Not(HasSubstr("fewest possible moves!")));
    }
  }
}

// The options choose quizzes by band and the fewest from here; the level is off while a band
// chooses, and both are written to the settings file.
TEST_F(PlayTest, TheOptionsChooseTheDifficultyAndTheParFromHere) {
  WithModal([&] { Trigger("mnuOptionOption"); }, [&](QWidget& options) {
    auto* difficulty = options.findChild<QComboBox*>("cmbDifficulty");
    auto* level = options.findChild<QComboBox*>("cmbLevel");
    auto* here = options.findChild<QCheckBox*>("chkParFromHere");
    ASSERT_TRUE(difficulty && level && here);
    ASSERT_EQ(difficulty->count(), 1 + static_cast<int>(kParBands.size()));
    EXPECT_EQ(difficulty->itemText(0), "By the level");
    EXPECT_EQ(difficulty->itemText(1), QString("Easy (par %1 to %2)").arg(kParBands[0].low).arg(kParBands[0].high));
    EXPECT_EQ(difficulty->currentIndex(), 0);
    EXPECT_TRUE(level->isEnabled());
    EXPECT_FALSE(here->isChecked()) << "off by default: nothing is spoiled";
    difficulty->setCurrentIndex(3);
    EXPECT_FALSE(level->isEnabled());
    here->setChecked(true);
    if (const char* shots = std::getenv("KELVARA_SHOTS")) options.grab().save(QString(shots) + "/options.png");
    QTest::mouseClick(options.findChild<QPushButton*>("cmdOk"), Qt::LeftButton);
  });
  EXPECT_EQ(window->settings().Difficulty, 3);
  EXPECT_TRUE(window->settings().ParFromHere);
  const std::string ini = ReadFileBytes(MyLibClass::GetIniFileName()).value_or("");
  EXPECT_THAT(ini, HasSubstr("Difficulty=3"));
  EXPECT_THAT(ini, HasSubstr("ParFromHere=True"));

  // A new game by band on a train of ten cars or more (they reach the hard band in a few tries,
  // see the README's figures): its par inside the band, the level left as it was.
  const int levelBefore = window->settings().QuestionLevel;
  for (const auto& t : G().ListTrainFiles()) {
    G().ChangeTrain(0, t.path);
    if (G().TrainCars >= 10 && G().TrainCars <= 14) break;
  }
  ASSERT_GE(G().TrainCars, 10);
  NewGame(8);
  Settle();
  const ParBand& band = kParBands[2];
  EXPECT_EQ(Guide().indexOf("made by the level"), -1) << G().TrainCars << " cars";
  EXPECT_TRUE(G().FewestProven);
  EXPECT_GE(G().FewestMoves, band.low) << G().TrainCars << " cars";
  EXPECT_LE(G().FewestMoves, band.high);
  EXPECT_EQ(window->settings().QuestionLevel, levelBefore);
}

// Game > Copy quiz code puts the quiz's code on the clipboard; Game > Play a quiz code offers it,
// refuses a typing error with a box, and plays a good code from its start.
TEST_F(PlayTest, QuizCodesAreCopiedAndPlayed) {
  const char* shots = std::getenv("KELVARA_SHOTS");
  NewGame(21);
  const Yard start = G().yard;
  Trigger("mnuGameCopyCode");
  const QString code = QApplication::clipboard()->text();
  ASSERT_EQ(code.toStdString(), G().QuizCodeText().value_or(""));
  EXPECT_EQ(Guide(), "Quiz code copied: " + code);
  Click("cmdBack");  // a move: the code still names the quiz's start

  auto play = [&](const QString& typed, const char* shot) {
    WithModal([&] { Trigger("mnuGamePlayCode"); }, [&](QWidget& w) {
      auto* ask = qobject_cast<QInputDialog*>(&w);
      ASSERT_NE(ask, nullptr);
      EXPECT_EQ(ask->textValue(), code) << "the clipboard's code offered";
      ask->setTextValue(typed);
      if (shots != nullptr && shot != nullptr) w.grab().save(QString(shots) + "/" + shot + ".png");
      ask->accept();
    });
  };
  QString typo = code;
  typo[3] = typo[3] == 'A' ? 'B' : 'A';
  boxes.shown.clear();
  play(typo, "code");
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0], "This quiz code has a typing error: check it again.");
  EXPECT_NE(G().yard, start) << "the game as it was";

  boxes.shown.clear();
  play(code.toLower().replace('-', ' '), nullptr);
  // A game with a move made is left only after a question (answered Yes here).
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0], "A game is in progress. Leave it and play this quiz?");
  EXPECT_EQ(G().yard, start);
  EXPECT_EQ(G().phase(), Phase::Playing);
  EXPECT_EQ(G().MovesUsed, 0);
  EXPECT_EQ(Guide(), "The quiz of the code.");
  Settle();
  EXPECT_GE(G().FewestMoves, 0);
}

// Game > Today's quiz: the day's quiz from the shipped set, its code in the guide; finished, the
// statistics count the day in the daily streak.
TEST_F(PlayTest, TodaysQuizAndItsStreak) {
  const char* shots = std::getenv("KELVARA_SHOTS");
  boxes.shown.clear();
  Trigger("mnuGameDaily");
  ASSERT_EQ(G().phase(), Phase::Playing) << (boxes.shown.empty() ? "" : boxes.shown[0]) << " set " << G().DefaultSetFolder;
  const std::string today = DailyDate(std::chrono::system_clock::now());
  EXPECT_EQ(G().DailyDay, today);
  const auto code = G().QuizCodeText();
  ASSERT_TRUE(code);
  EXPECT_EQ(Guide().toStdString(), "Today's quiz (" + today + ", UTC). Quiz code: " + *code);
  if (shots != nullptr) window->grab().save(QString(shots) + "/daily.png");
  window->settings().OneInput = true;
  const SolveResult best = SolveFromConsole(G().yard, G().LocoUnits, G().TrainCars);
  ASSERT_EQ(best.outcome, SolveResult::Outcome::Solved);
  console = std::optional<std::string>(CommandsText(best.commands));
  Click("cmdBack");
  ASSERT_EQ(G().phase(), Phase::Complete);
  WithModal([&] { Trigger("mnuGameStatistics"); }, [&](QWidget& w) {
    const QString summary = w.findChild<QLabel*>("lblSummary")->text();
    EXPECT_TRUE(summary.contains("Daily quiz: a streak of 1 days, completed on 1 days")) << summary.toStdString();
    auto* quizzes = w.findChild<QTableWidget*>("lstQuizzes");
    ASSERT_NE(quizzes, nullptr);
    ASSERT_EQ(quizzes->rowCount(), 1);
    EXPECT_EQ(quizzes->item(0, 3)->text().toStdString(), *code) << "the best per quiz, by its code";
    if (shots != nullptr) w.grab().save(QString(shots) + "/streak.png");
  });
}

// Closing the window in the middle of any wait winds the game down at once and safely.
TEST_F(PlayTest, ClosingDuringAnyWait) {
  struct Case {
    const char* where;
    std::function<bool(int ms)> now;  // close at this wait
    std::function<void()> run;
  };
  const Case cases[] = {
      {"making the quiz", [&](int ms) { return ms == durations::kQuizMove; }, [&] { Trigger("mnuGameNewGame"); }},
      {"the sign hold", [&](int ms) { return ms == durations::kRouteHold; },
       [&] {
         Number("1");
         Click("cmdFront");
       }},
      {"the completion window", [&](int ms) { return ms == durations::kCompleteWindow; },
       [&] {
         window->settings().OneInput = true;
         console = std::optional<std::string>(*SolveOneInput(G().yard, G().LocoUnits, G().TrainCars));
         Click("cmdBack");
       }},
      {"the departure run", [&](int) { return window->view().Running(); },
       [&] { Button("cmdBigAnimeTest")->click(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.where);
    window.reset();
    Start("/e nsp nss oa");
    NewGame(6);
    Click("cmdBack");
    int waitsAfter = 0;
    bool closed = false;
    onWait = [&](int ms) {
      if (closed) ++waitsAfter;
      if (!closed && c.now(ms)) {
        closed = true;
        window->close();
      }
    };
    c.run();
    onWait = nullptr;
    EXPECT_TRUE(closed);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(G().phase(), Phase::Closing);
    EXPECT_LT(waitsAfter, 200) << "it wound down rather than playing on";
    const auto lines = LogLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "MyLog = Nothing"), lines.end());
  }
}

// The window shows what the game's one table computes, control by control, at every step.
TEST_F(PlayTest, TheWindowShowsTheTable) {
  auto same = [&](const std::string& when) {
    const auto states = G().ControlStates();
    for (std::size_t i = 0; i < std::size(kMainControls); ++i) {
      const std::string name(kMainControls[i].name);
      if (IsSeparator(name) || name == "Timer1") continue;
      EXPECT_EQ(Enabled(name.c_str()), states[i] && ScreenHolds(name)) << name << " " << when;
    }
    EXPECT_EQ(TimerOn(), states[std::size(kMainControls) - 1]) << "Timer1 " << when;
  };
  same("after start-up");
  NewGame(9);
  same("at play");
  Click("cmdBack");
  same("after Back");
  Number("2");
  Click("cmdFront");
  same("after Front");
  Trigger("mnuGameUndo");
  same("after Undo");
  window->settings().OneInput = true;
  console = std::optional<std::string>(*SolveOneInput(G().yard, G().LocoUnits, G().TrainCars));
  Click("cmdBack");
  same("after completion");
}

}  // namespace
}  // namespace kelvara::testing
