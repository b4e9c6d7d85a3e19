// The records in the window: the game in progress kept at every way of closing and brought back
// at the next start, a changed train that refuses it, the statistics window and the new best.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QProcess>
#include <QTableWidget>
#include <csignal>

#include "model/solver.h"
#include "qt/frmstatistics.h"
#include "qt/qtplatform.h"
#include "window_fixture.h"

namespace kelvara::testing {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;

struct ProgressWindowTest : WindowFixture {
  // A game with a few moves and an undo in it.
  void PlaySome() {
    Game& game = window->game();
    game.lib().Seed(21);
    Trigger("mnuGameNewGame");
    ASSERT_TRUE(game.GameActive);
    Click("cmdBack");
    for (int i = 0; i < 3 && game.GameActive; ++i) {
      Number("1");
      if (!Enabled("cmdFront")) break;
      Click("cmdFront");
      Click("cmdBack");
    }
    Trigger("mnuGameUndo");
    window->game().ports().clock.Wait(0);
  }
  // What the window shows and holds of the game, field by field.
  struct Seen {
    Yard yard, start;
    int route;
    std::string ucount, dcount, answer;
    int moves, hints, undos;
    std::vector<SavedGame::Step> history;
    std::size_t historyAt;
    bool operator==(const Seen&) const = default;
  };
  Seen Now() {
    Game& g = window->game();
    const SavedGame s = g.SaveGame().value_or(SavedGame{});
    return {g.yard,     g.StartYard, g.Route,        Panel("UCount")->text().toStdString(),
            Panel("DCount")->text().toStdString(),  g.AnswerText(), g.MovesUsed, g.HintsUsed,
            g.UndosUsed, s.history,  s.historyAt};
  }
  std::vector<GameRecord> Recorded() {
    auto opened = Records::Open(dir / "records.sqlite");
    return opened.records ? opened.records->Games() : std::vector<GameRecord>{};
  }
};

TEST_F(ProgressWindowTest, TheGameComesBackAfterEveryWayOfClosing) {
  const std::vector<std::pair<std::string, std::function<void(ProgressWindowTest&)>>> ways = {
      {"File > End", [](ProgressWindowTest& t) { t.Trigger("mnuFileEnd"); }},
      {"Escape",
       [](ProgressWindowTest& t) {
         QTest::keyPress(t.window->windowHandle(), Qt::Key_Escape);
         QTest::keyRelease(t.window->windowHandle(), Qt::Key_Escape);
       }},
      {"the close box", [](ProgressWindowTest& t) { t.window->close(); }},
      {"SIGTERM",
       [](ProgressWindowTest& t) {
         qt::CloseOnTerminate(t.window.get());
         ::kill(::getpid(), SIGTERM);
         EXPECT_TRUE(WaitFor([&] { return !t.window->isVisible(); }));
       }},
      {"SIGTERM with the options open",
       [](ProgressWindowTest& t) {
         qt::CloseOnTerminate(t.window.get());
         WithModal([&] { t.Trigger("mnuOptionOption"); },
                   [&](QWidget&) {
                     ::kill(::getpid(), SIGTERM);
                     EXPECT_TRUE(WaitFor([&] { return !t.window->isVisible(); }));
                   });
       }},
  };
  Settings();
  for (const auto& [way, close] : ways) {
    SCOPED_TRACE(way);
    Start();
    PlaySome();
    const Seen before = Now();
    ASSERT_GT(before.history.size(), 2u);
    close(*this);
    ASSERT_FALSE(window->isVisible());
    window.reset();
    EXPECT_THAT(LogLines(), Contains("Kept the game in progress"));

    Start();
    Game& game = window->game();
    ASSERT_TRUE(game.GameActive) << "taken up after Wake up complete";
    EXPECT_EQ(Now(), before);
    EXPECT_EQ(Guide().toStdString(), window->texts().Text(6100));
    if (way == "SIGTERM") window->grab().save("/tmp/kelvara-resumed.png");
    EXPECT_TRUE(Enabled("mnuGameRedo")) << "the move undone before closing can be played again";
    // Undo goes back exactly as it would have in the game before.
    Trigger("mnuGameUndo");
    EXPECT_EQ(YardText(game.yard), before.history[before.historyAt - 1].yard);
    Trigger("mnuGameRedo");
    EXPECT_EQ(game.yard, before.yard);
    EXPECT_TRUE(Recorded().empty()) << "a game kept is not over";
    // Re-make ends it: recorded as left, with the moves of both sessions.
    Trigger("mnuGameReDisMakeUp");
    const auto games = Recorded();
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(games[0].end, GameEnd::Left);
    EXPECT_EQ(games[0].moves, before.moves);
    EXPECT_EQ(games[0].undos, before.undos + 1);
    window->close();
    window.reset();
    std::filesystem::remove(dir / "records.sqlite");
    std::filesystem::remove(dir / "records.sqlite-wal");
    std::filesystem::remove(dir / "records.sqlite-shm");
  }
}

// A start-up closed at any of its waits, before or after the records open, loses no game left.
TEST_F(ProgressWindowTest, AStartUpClosedEarlyKeepsTheGameLeft) {
  Settings();
  Start();
  PlaySome();
  const Seen before = Now();
  window->close();
  window.reset();
  for (int closeAt = 1; closeAt <= 6; ++closeAt) {
    SCOPED_TRACE(closeAt);
    int waits = 0;
    onWait = [&](int) {
      if (++waits == closeAt && window) window->close();
    };
    Start();
    onWait = nullptr;
    window.reset();
    auto opened = Records::Open(dir / "records.sqlite");
    ASSERT_TRUE(opened.records && opened.records->KeptGames().size() == 1) << "lost at wait " << closeAt << " of " << waits;
  }
  Start();
  ASSERT_TRUE(window->game().GameActive);
  EXPECT_EQ(Now(), before);
}

// Killed in the middle of a game: the next start brings back the game and its history as they
// stood after the last move. The window that is killed is a process of its own (the test below).
TEST_F(ProgressWindowTest, AKillInTheMiddleOfAGameLosesNoMoveMade) {
  Settings();
  QProcess killed;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("KELVARA_WINDOW_DIR", QString::fromStdString(dir.str()));
  killed.setProcessEnvironment(env);
  killed.start(QCoreApplication::applicationFilePath(),
               {"--gtest_filter=ProgressWindowTest.DISABLED_PlayedThenKilled", "--gtest_also_run_disabled_tests"});
  ASSERT_TRUE(killed.waitForFinished(300000)) << "the window to kill never ended";
  EXPECT_EQ(killed.exitStatus(), QProcess::CrashExit) << killed.readAll().toStdString();
  const auto lines = SplitLines(ReadFileBytes(dir / "seen.txt").value_or(""));
  ASSERT_EQ(lines.size(), 4u) << "what the killed window showed";

  Start();
  Game& game = window->game();
  ASSERT_TRUE(game.GameActive) << "taken up";
  const SavedGame now = *game.SaveGame();
  EXPECT_EQ(now.yard, lines[0]);
  EXPECT_EQ(std::to_string(now.history.size()), lines[1]);
  EXPECT_EQ(std::to_string(now.historyAt), lines[2]);
  EXPECT_EQ(std::to_string(now.moves), lines[3]);
  EXPECT_TRUE(Enabled("mnuGameUndo")) << "with its history";
}

TEST_F(ProgressWindowTest, DISABLED_PlayedThenKilled) {
  ASSERT_NE(HandedFolder(), nullptr) << "started by AKillInTheMiddleOfAGameLosesNoMoveMade";
  Start();
  PlaySome();
  const SavedGame g = *window->game().SaveGame();
  dir.Write("seen.txt", g.yard + "\n" + std::to_string(g.history.size()) + "\n" + std::to_string(g.historyAt) + "\n" +
                            std::to_string(g.moves) + "\n");
  std::raise(SIGKILL);
}

TEST_F(ProgressWindowTest, AChangedTrainIsNotTakenUp) {
  Settings();
  Start();
  PlaySome();
  const std::string train = window->game().TRD.TrainFileName;
  window->close();
  window.reset();
  // The player's own copy of the train, changed: its cars are not the saved game's.
  std::filesystem::remove(dir / "Cars");
  std::filesystem::create_directories(dir / "Cars");
  for (const auto& e : std::filesystem::directory_iterator(KELVARA_CARS_DIR)) {
    std::filesystem::copy(e.path(), dir / ("Cars/" + e.path().filename().string()));
  }
  const std::string copy = dir / ("Cars/" + std::filesystem::path(train).filename().string());
  std::string bytes = ReadFileBytes(copy).value_or("");
  ASSERT_FALSE(bytes.empty());
  bytes.insert(0, "Changed ");  // the train's name, its first line
  dir.Write("Cars/" + std::filesystem::path(train).filename().string(), bytes);

  Start();
  EXPECT_FALSE(window->game().GameActive);
  EXPECT_EQ(Guide().toStdString(), window->texts().Text(6110));
  const auto games = Recorded();
  ASSERT_EQ(games.size(), 1u) << "the game that cannot go on is recorded as left";
  EXPECT_EQ(games[0].end, GameEnd::Left);
  window->close();
  window.reset();
  Start();
  EXPECT_NE(Guide().toStdString(), window->texts().Text(6110)) << "said once, not at every start";
}

TEST_F(ProgressWindowTest, StatisticsWindowAndTheNewBest) {
  for (const bool japanese : {false, true}) {
    SCOPED_TRACE(japanese ? "ja" : "en");
    std::filesystem::remove(dir / "records.sqlite");
    ::setenv("LC_ALL", japanese ? "ja_JP.UTF-8" : "en_US.UTF-8", 1);
    Settings();
    Start("nsp nss");
    ::unsetenv("LC_ALL");
    Game& game = window->game();
    // A completed game, played in the window: the first on this train is its best.
    game.lib().Seed(11);
    Trigger("mnuGameNewGame");
    const auto solution = SolveOneInput(game.yard, game.LocoUnits, game.TrainCars);
    ASSERT_TRUE(solution);
    QString detail;
    onWait = [&](int) {
      if (QWidget* w = Shown("frmComplete"); w && detail.isEmpty()) {
        detail = w->findChild<QLabel*>("lblDetail")->text();
        w->grab().save(QString("/tmp/kelvara-best-%1.png").arg(japanese ? "ja" : "en"));
      }
    };
    console = *solution;
    window->game().settings().OneInput = true;
    Click("cmdBack");
    onWait = nullptr;
    window->game().settings().OneInput = false;
    ASSERT_FALSE(game.GameActive);
    EXPECT_THAT(detail.toStdString(), HasSubstr(window->texts().Text(6130)));
    // And a few more games straight into the records.
    {
      auto opened = Records::Open(dir / "records.sqlite");
      ASSERT_TRUE(opened.records);
      for (int i = 0; i < 40; ++i) {
        GameRecord r;
        r.train = {i % 3 ? "yamanote.trd" : "freight.trd", "0123456789abcdef"};
        r.moves = 6 + i % 7;
        r.fewest = 6;
        r.playedMs = 50'000 + 1000 * i;
        r.end = i % 9 == 4 ? GameEnd::Derailed : i % 11 == 5 ? GameEnd::Left : GameEnd::Completed;
        opened.records->GameEnded(r);
      }
    }
    WithModal([&] { Trigger("mnuGameStatistics"); },
              [&](QWidget& w) {
                auto* s = qobject_cast<qt::frmStatistics*>(&w);
                ASSERT_NE(s, nullptr);
                EXPECT_THAT(s->lblSummary->text().toStdString(), HasSubstr(japanese ? "41" : "Games played: 41"));
                EXPECT_EQ(s->lstTrains->rowCount(), 3);
                EXPECT_FALSE(s->lstTrains->findItems(QString::fromStdString(game.TRD.TrainComment), Qt::MatchExactly).isEmpty())
                    << "the train played is listed by its name";
                EXPECT_EQ(s->chart->games().size(), 41u);
                EXPECT_EQ(s->focusWidget(), s->cmdClose) << "the window's keyboard starts on Close";
                w.grab().save(QString::fromStdString("/tmp/kelvara-statistics-" + std::string(japanese ? "ja" : "en") + ".png"));
                // Reset asks first; No keeps everything.
                boxes.answers = {MsgAnswer::No};
                s->cmdReset->click();
                EXPECT_EQ(s->lstTrains->rowCount(), 3);
                boxes.answers = {MsgAnswer::Yes};
                s->cmdReset->click();
                EXPECT_EQ(s->lstTrains->rowCount(), 0);
                EXPECT_TRUE(s->chart->games().empty());
              });
    EXPECT_TRUE(Recorded().empty());
    window->close();
    window.reset();
  }
}

// Records that cannot be kept say so once, and the game plays on.
TEST_F(ProgressWindowTest, NoRecordsAndThePlayGoesOn) {
  std::filesystem::create_directories(dir / "records.sqlite");  // a folder where the file should be
  Settings();
  Start();
  ASSERT_EQ(std::count_if(boxes.shown.begin(), boxes.shown.end(),
                          [&](const std::string& t) { return t.starts_with(window->texts().Text(6140)); }),
            1);
  PlaySome();
  Trigger("mnuGameReDisMakeUp");
  EXPECT_TRUE(window->game().GameActive);
  WithModal([&] { Trigger("mnuGameStatistics"); },
            [&](QWidget& w) {
              auto* s = qobject_cast<qt::frmStatistics*>(&w);
              ASSERT_NE(s, nullptr);
              EXPECT_EQ(s->lblSummary->text().toStdString(), window->texts().Text(6140));
              EXPECT_FALSE(s->cmdReset->isEnabled());
            });
}

}  // namespace
}  // namespace kelvara::testing
