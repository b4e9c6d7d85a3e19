// A monkey at the real window: every command fired at random moments, on the frames of every move,
// while the quiz is made, during the sign hold, the completion and the departure run. After each
// event the yard must hold every unit once and equal what the accepted commands make when they
// are replayed on a working copy of the game; taking everything back must give the quiz's start;
// and the window must still be open.
//
// KELVARA_MONKEY_GAMES sets the number of games (default 24); KELVARA_MONKEY_SEED the seed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <map>
#include <random>

#include "fakes.h"
#include "yard_builder.h"
#include "model/solver.h"
#include "window_fixture.h"

namespace kelvara::testing {
namespace {

int EnvNumber(const char* name, int fallback) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0' ? std::atoi(v) : fallback;
}

// Every unit in the visible and overflow slots of the three lines, counted.
std::map<std::string, int> Units(const Yard& yard) {
  std::map<std::string, int> units;
  for (int line = 0; line < kLines; ++line) {
    for (int p = 0; p <= kLastPosition; ++p) {
      if (!yard.at(line, p).IsEmpty()) ++units[yard.at(line, p).Text()];
    }
  }
  return units;
}

// One accepted command of the player, to be played again on the copy.
struct Step {
  enum Kind { Front, Back, Console, Undo, Redo } kind;
  std::string text;  // the number box, or the string typed into the console
};

struct MonkeyTest : WindowFixture {
  std::mt19937 random;
  // The position a game started from, and the commands accepted since.
  Yard startYard;
  int startRoute = -1;
  bool startActive = false;
  std::vector<Step> steps;
  int fired = 0, refusedWhileBusy = 0, acceptedWhileBusy = 0;
  std::string failure;

  int Pick(int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); }
  Game& G() { return window->game(); }

  void Snapshot() {
    startYard = G().yard;
    startRoute = G().Route;
    startActive = G().GameActive;
    steps.clear();
  }

  // The accepted commands played again on a copy of the game with recording ports.
  Yard Replay() {
    Fakes f;
    f.settings = window->settings();
    f.settings.MakeLog = false;
    Game copy(f.ports(), f.settings);
    copy.LocoUnits = G().LocoUnits;
    copy.TrainCars = G().TrainCars;
    copy.StartYard = startYard;
    copy.yard = startYard;
    copy.Route = startRoute;
    if (startActive) copy.mnuGameRestart_Click();
    copy.Route = startRoute;
    for (const Step& s : steps) {
      f.controls.SetText("cmbCutTrainNum", s.text);
      switch (s.kind) {
        case Step::Front: copy.cmdFront_Click(); break;
        case Step::Back: copy.cmdBack_Click(); break;
        case Step::Console:
          f.settings.OneInput = true;
          f.scene.console = s.text;
          copy.cmdBack_Click();
          f.settings.OneInput = false;
          break;
        case Step::Undo: copy.mnuGameUndo_Click(); break;
        case Step::Redo: copy.mnuGameRedo_Click(); break;
      }
    }
    return copy.yard;
  }

  void Check(const std::string& where) {
    if (!failure.empty()) return;
    if (!window->isVisible()) {
      failure = "the window closed " + where;
      return;
    }
    const Phase p = G().phase();
    if (p == Phase::Completing || p == Phase::DepartureRun) return;  // the train runs out of the yard
    const auto units = Units(G().yard);
    const int total = G().LocoUnits + G().TrainCars;
    const bool ranOut = p == Phase::Complete && units.empty();
    if (!ranOut) {
      int count = 0;
      for (const auto& [unit, n] : units) {
        count += n;
        if (n != 1) failure = unit + " stands " + std::to_string(n) + " times " + where;
      }
      if (count != total) failure = std::to_string(count) + " units of " + std::to_string(total) + " " + where;
    }
    if (failure.empty() && IsSettled(p) && !(Replay() == G().yard)) {
      failure = "the yard is not what the accepted commands make " + where + "\n  window: " +
                LineText(G().yard, 0) + " | " + LineText(G().yard, 1) + " | " + LineText(G().yard, 2);
    }
  }

  // A command of any kind, through the window as the player gives it. Returns the step it makes
  // when it was accepted and is one the copy plays again.
  std::optional<Step> Fire(bool busy) {
    ++fired;
    static const char* const kMenus[] = {"mnuGameRestart", "mnuGameReDisMakeUp", "mnuGameHint", "mnuGameUndo",
                                         "mnuGameRedo", "mnuGameNewGame", "mnuGameChangeTrainAuto",
                                         "mnuViewAnser", "mnuViewClearAnimation", "mnuOptionOption",
                                         "mnuHelpAbout", "mnuViewMakeUpTable"};
    const int what = Pick(busy ? 9 : 12);
    auto accepted = [&](bool on) {
      if (busy) (on ? acceptedWhileBusy : refusedWhileBusy)++;
      return on;
    };
    if (what <= 2) {  // Front or Back with a number typed in
      const bool front = what == 0;
      const std::string number = std::to_string(Pick(5));
      QComboBox* box = NumberBox();
      const std::string text = box->isEnabled() ? number : box->currentText().toStdString();
      if (box->isEnabled()) Number(number);
      const char* button = front ? "cmdFront" : "cmdBack";
      if (!accepted(Enabled(button))) {
        Click(button);  // a disabled button takes no click: nothing may happen
        return std::nullopt;
      }
      const bool console = window->settings().OneInput;
      Click(button);
      if (console) return std::nullopt;
      return Step{front ? Step::Front : Step::Back, text};
    }
    if (what == 3) {  // a click on a car fills in the number box
      QTest::mouseClick(&window->view(), Qt::LeftButton, {}, qt::YardView::CellRect(Pick(60)).center());
      return std::nullopt;
    }
    if (what == 4) {  // Escape on the main window: it must never close the window while busy
      if (!busy) return std::nullopt;
      QTest::keyPress(window->windowHandle(), Qt::Key_Escape);
      QTest::keyRelease(window->windowHandle(), Qt::Key_Escape);
      return std::nullopt;
    }
    if (what == 5 && Pick(2) == 0) {
      // The yard's keys: the cursor and the digits at any time; Enter and B only while something
      // runs, where they must be refused like the buttons (when settled they are moves the copy
      // cannot follow).
      static const int kKeys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_End, Qt::Key_3,
                                  Qt::Key_Return, Qt::Key_B, Qt::Key_Backspace};
      const int key = kKeys[Pick(busy ? 9 : 6)];
      QTest::keyClick(&window->view(), static_cast<Qt::Key>(key));
      return std::nullopt;
    }
    const char* item = kMenus[Pick(busy ? 12 : 9)];
    const bool on = accepted(Enabled(item));
    const std::string name(item);
    Trigger(item);
    if (!on) return std::nullopt;
    if (name == "mnuGameUndo") return Step{Step::Undo, {}};
    if (name == "mnuGameRedo") return Step{Step::Redo, {}};
    if (name == "mnuGameRestart" || name == "mnuGameReDisMakeUp" || name == "mnuGameNewGame" ||
        name == "mnuGameChangeTrainAuto") {
      Snapshot();
    }
    return std::nullopt;
  }
};

TEST_F(MonkeyTest, CommandsAtRandomMomentsNeverCorruptTheGame) {
  const int games = EnvNumber("KELVARA_MONKEY_GAMES", 24);
  random.seed(static_cast<unsigned>(EnvNumber("KELVARA_MONKEY_SEED", 7)));
  Settings("DisMakeUpDrawAnimate=True\r\nQuestionLevel=4\r\n");
  Start();
  // Any modal window a command opens is closed again at once.
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [] {
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  closer.start(0);
  // While anything runs, commands rain on it.
  onWait = [&](int) {
    if (!failure.empty() || Pick(3) != 0) return;
    // A wait belongs to a move or a sequence that runs: nothing fired now may run.
    const Phase before = G().phase();
    if (const auto step = Fire(true)) {
      failure = std::string("a command ran while ") + PhaseName(before);
    }
    Check(std::string("after a command fired while ") + PhaseName(before));
  };

  int completed = 0;
  for (int game = 0; game < games && failure.empty(); ++game) {
    SCOPED_TRACE("game " + std::to_string(game));
    G().lib().Seed(static_cast<std::uint64_t>(1000 + game));
    Trigger("mnuGameNewGame");
    Snapshot();
    Check("after New Game");
    for (int i = 0; i < 6 && failure.empty(); ++i) {
      if (const auto step = Fire(false)) steps.push_back(*step);
      Check("after a command");
    }
    if (!failure.empty()) break;
    if (G().phase() == Phase::Playing) {
      // Everything taken back gives the quiz's start.
      while (Enabled("mnuGameUndo")) {
        Trigger("mnuGameUndo");
        steps.push_back({Step::Undo, {}});
      }
      if (!(G().yard == G().StartYard)) failure = "undoing everything did not give the quiz's start";
      Check("after undoing everything");
      // Then the rest of the game as typed into the console, with commands raining on its moves.
      if (const auto solution = SolveOneInput(G().yard, G().LocoUnits, G().TrainCars)) {
        window->settings().OneInput = true;
        console = std::optional<std::string>(*solution);
        steps.push_back({Step::Console, *solution});
        Click("cmdBack");
        window->settings().OneInput = false;
        completed += G().phase() == Phase::Complete ? 1 : 0;
        Check("after the solution");
      }
    }
  }
  onWait = nullptr;
  EXPECT_EQ(failure, "");
  EXPECT_GT(refusedWhileBusy, games) << "the monkey reached the moves' frames";
  EXPECT_EQ(acceptedWhileBusy, 0) << "nothing but the run's escape answers while something runs";
  EXPECT_GT(completed, games / 2);
  EXPECT_TRUE(window->isVisible());
  std::cout << "[ monkey   ] " << games << " games, " << completed << " completed, " << fired << " commands fired, "
            << refusedWhileBusy << " refused while busy\n";
}

}  // namespace
}  // namespace kelvara::testing
