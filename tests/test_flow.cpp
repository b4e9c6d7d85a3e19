// Making quizzes, the game commands, completion, the buttons, one-input strings and the answer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "fakes.h"
#include "model/game.h"
#include "yard_builder.h"

namespace kelvara::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct FlowTest : ::testing::Test {
  Fakes f;
  std::unique_ptr<Game> game;

  void SetUp() override { Make(1, 8); }
  void Make(int m, int n, std::uint64_t seed = 1) { game = TrainGame(f, m, n, seed); }
  std::vector<std::string> Answer() const {
    return std::vector<std::string>(game->AnserList.begin(), game->AnserList.begin() + game->AnserCount);
  }
  void ExpectAllUnitsPresent() const {
    std::multiset<std::string> units;
    for (int l = 0; l < kLines; ++l) {
      for (int p = 0; p < kVisible; ++p) {
        if (!game->yard.at(l, p).IsEmpty()) units.insert(game->yard.at(l, p).Text());
      }
    }
    ASSERT_EQ(static_cast<int>(units.size()), game->LocoUnits + game->TrainCars);
    for (int k = 1; k <= game->TrainCars; ++k) ASSERT_EQ(units.count(std::to_string(k)), 1u);
  }
};

// ---- making the quiz ---------------------------------------------------------------------

TEST_F(FlowTest, MoveCountsFollowTheLevel) {
  const std::pair<int, std::pair<int, int>> levels[] = {{5, {4, 6}}, {7, {5, 9}}, {10, {8, 12}}, {50, {40, 60}}};
  for (const auto& [level, range] : levels) {
    std::set<int> seen;
    for (std::uint64_t seed = 1; seed <= 60; ++seed) {
      Make(1, 6, seed);
      f.settings.QuestionLevel = level;
      game->DisMakeUp();
      ASSERT_GE(game->DCount, range.first) << "level " << level;
      ASSERT_LE(game->DCount, range.second) << "level " << level;
      seen.insert(game->DCount);
      EXPECT_EQ(f.status.Panel("DCount"), std::to_string(game->DCount));
    }
    if (level <= 7) {
      EXPECT_EQ(static_cast<int>(seen.size()), range.second - range.first + 1) << "every count turns up, level " << level;
    }
  }
}

TEST_F(FlowTest, QuizAlternatesSidingsWaitsAndLeavesTheLocomotiveAlone) {
  bool sawZero = false, sawPush = false;
  for (std::uint64_t seed = 1; seed <= 40; ++seed) {
    Make(2, 10, seed);
    f.clock.waits.clear();
    f.settings.QuestionLevel = 10;
    game->DisMakeUp();
    EXPECT_FALSE(game->MakingQuiz);
    int expected = 1;
    int pulls = 0;
    for (const std::string& entry : Answer()) {
      sawZero |= entry.size() == 5 && entry[0] == 'C' && entry.substr(3) == ":0";  // the locomotive alone
      sawPush |= entry[0] == 'P';
      ASSERT_EQ(entry.size() >= 5, true) << entry;
      EXPECT_EQ(entry[2] - '0', expected) << "seed " << seed << ": " << entry;
      if (entry[0] == 'C') {
        ++pulls;
        expected = expected == 1 ? 2 : 1;
      }
    }
    EXPECT_EQ(pulls, game->DCount);
    // Two 1000 ms waits a move, nothing else while no derailment happens.
    EXPECT_EQ(f.clock.TotalWaited(), 2000LL * game->DCount);
    EXPECT_EQ(LineText(game->yard, 0), ". . . . . . . . . . . . . . . . . . L1 L2") << "seed " << seed;
    EXPECT_EQ(game->yard.GetCarNum(1) + game->yard.GetCarNum(2), 10);
    ExpectAllUnitsPresent();
    EXPECT_EQ(f.status.Panel("Msg"), "");
  }
  EXPECT_TRUE(sawZero) << "a pull of the locomotive alone is recorded as 0 cars";
  EXPECT_TRUE(sawPush);
}

TEST_F(FlowTest, NoLocomotiveNoQuizAndHugeLevelsStopAtFiveHundredMoves) {
  game->yard.Clear();
  SetLine(game->yard, 1, "1 2 3");
  game->DisMakeUp();
  EXPECT_EQ(game->AnserCount, 0);
  EXPECT_FALSE(game->MakingQuiz);
  EXPECT_TRUE(f.clock.waits.empty());

  f.settings.QuestionLevel = 100000;
  Make(1, 3);
  game->DisMakeUp();
  EXPECT_EQ(game->DCount, kMaxQuizMoves);
  EXPECT_LE(game->AnserCount, kAnserListSize);
}

// A yard no real game reaches (a car in front of the locomotive) makes the maker push into the
// stopper: it apologises and gives up.
TEST_F(FlowTest, DerailedQuizIsAbandoned) {
  for (std::uint64_t seed = 1; seed <= 200; ++seed) {
    Make(1, 5, seed);
    game->yard.Clear();
    SetLine(game->yard, 1, "5 . L1 1 2 3 4");
    f.msg.shown.clear();
    game->DisMakeUp();
    if (!game->Derailed) continue;
    ASSERT_EQ(f.msg.shown.size(), 6u);
    const ShownBox& sorry = f.msg.shown[5];
    EXPECT_EQ(sorry.text, "<5510>\r\n<5520>");
    EXPECT_EQ(sorry.icon, MsgIcon::Critical);
    EXPECT_EQ(sorry.title, "<5530>");
    EXPECT_THAT(f.log.lines, Contains("<5510>"));
    EXPECT_FALSE(game->MakingQuiz);
    EXPECT_EQ(Answer().back().substr(0, 3), "P 1") << "the push that derailed is recorded";
    return;
  }
  FAIL() << "no seed derailed the quiz";
}

// A player derails the train, then asks for a new game: the new quiz is the one play starts from.
TEST_F(FlowTest, ADerailmentDoesNotLeakIntoTheNextQuiz) {
  for (std::uint64_t seed = 1; seed <= 20; ++seed) {
    Make(1, 8, seed);
    f.settings.QuestionLevel = 3;
    game->mnuGameReDisMakeUp_Click();
    game->cmdBack_Click();  // back into siding 1 and couple
    f.controls.SetText("cmbCutTrainNum", "19");
    game->cmdBack_Click();  // push into the stopper
    ASSERT_TRUE(game->Derailed);
    Yard quiz;
    f.sound.onBeep = [&] { quiz = game->yard; };  // the beep follows the quiz at once
    f.msg.answers = {MsgAnswer::No};               // keep the train
    game->mnuGameNewGame_Click();
    f.sound.onBeep = nullptr;
    EXPECT_FALSE(game->Derailed);
    EXPECT_EQ(game->StartYard, quiz) << "seed " << seed;
    EXPECT_EQ(game->yard, quiz) << "seed " << seed;
  }
}

// A short train mixed by few moves can come out in order: that is made again, and the quiz played
// always needs a move.
TEST_F(FlowTest, AQuizThatCameOutSolvedIsMadeAgain) {
  int remade = 0;
  for (std::uint64_t seed = 1; seed <= 200; ++seed) {
    Make(1, 3, seed);
    f.settings.QuestionLevel = 1;
    game->mnuGameReDisMakeUp_Click();
    ASSERT_FALSE(game->Derailed);
    EXPECT_FALSE(game->SolvedBeforeAnyMove()) << "seed " << seed;
    EXPECT_GT(game->FewestMoves, 0) << "seed " << seed;
    remade += static_cast<int>(std::count(f.log.lines.begin(), f.log.lines.end(), "Quiz came out solved: made again"));
    // The answer list is the last making's own: as many pulls as that making's count.
    int pulls = 0;
    for (const auto& e : Answer()) pulls += e[0] == 'C' ? 1 : 0;
    EXPECT_EQ(pulls, game->DCount) << "seed " << seed;
    f.log.lines.clear();
  }
  EXPECT_GT(remade, 0) << "no seed made a solved quiz: the case is not tried";
}

// ---- game commands and their controls ------------------------------------------------------

TEST_F(FlowTest, NewGameAsksToChangeTheTrainOnlyAfterAGame) {
  game->mnuGameNewGame_Click();
  EXPECT_THAT(f.msg.Texts(), IsEmpty()) << "a train just loaded is not asked about";
  f.msg.answers = {MsgAnswer::No};
  game->mnuGameNewGame_Click();
  EXPECT_THAT(f.msg.Texts(), ElementsAre("<5250>"));
  EXPECT_EQ(f.msg.shown[0].buttons, MsgButtons::YesNo);
  EXPECT_EQ(f.msg.shown[0].icon, MsgIcon::Information);
}

TEST_F(FlowTest, RemakeMidGameMixesFromWhereTheCarsStandAndRecordsOnlyTheNewQuiz) {
  f.settings.QuestionLevel = 20;
  game->mnuGameReDisMakeUp_Click();
  const int firstCount = game->AnserCount;
  game->cmdBack_Click();  // the locomotive backs into siding 1
  f.settings.QuestionLevel = 5;
  game->mnuGameReDisMakeUp_Click();
  int pulls = 0;
  for (const auto& e : Answer()) pulls += e[0] == 'C' ? 1 : 0;
  EXPECT_EQ(pulls, game->DCount) << "the list was started afresh";
  EXPECT_LT(game->AnserCount, firstCount);
  EXPECT_EQ(Answer().front()[2], '1');
  ExpectAllUnitsPresent();
  // The answer reads latest first, each entry numbered.
  const std::string text = game->AnswerText();
  EXPECT_TRUE(text.starts_with("(" + std::to_string(game->AnserCount) + "): " + Answer().back() + "\r\n")) << text;
  EXPECT_TRUE(text.ends_with("\r\n(1): " + Answer().front() + "\r\n")) << text;
}

// ---- completion ----------------------------------------------------------------------------

struct CompletionTest : FlowTest {
  void Place(const std::string& siding1, const std::string& siding2) {
    game->yard.Clear();
    SetLine(game->yard, 1, siding1);
    SetLine(game->yard, 2, siding2);
  }
};

TEST_F(CompletionTest, TheFormationTest) {
  game->TrainCars = 3;
  f.settings.CompleteRunMainLine = f.settings.CompleteBigAnimaite = true;
  Place("", ". L1 1 2 3");
  EXPECT_TRUE(game->ChkGameEnd()) << "siding 2 counts too";
  EXPECT_EQ(f.scene.bigAnimations, 1);
  EXPECT_EQ(LineText(game->yard, 2), "") << "with both animations asked for, the small run-out comes first";
  Place(". L1 . 1 2 3", "");
  EXPECT_FALSE(game->ChkGameEnd()) << "a gap behind the locomotive";
  Place(". L1 1 3 2", "");
  EXPECT_FALSE(game->ChkGameEnd());
  Place(". . . . . . . . . . . . . . . . 1 2 3 L1", "1 2 3");
  EXPECT_FALSE(game->ChkGameEnd()) << "block at the stopper of siding 1 sends the test to siding 2, which fails";

  game->TrainCars = 12;
  Place(". . . . . . . L1 1 2 3 4 5 6 7 8 9 10 11", "");
  game->yard.at(1, 20) = Slot::Car(12);
  EXPECT_FALSE(game->ChkGameEnd()) << "car 12 beyond the stopper";
}

// ---- buttons ------------------------------------------------------------------------------

struct ButtonsTest : FlowTest {
  void SetUp() override {
    Make(1, 6);
    // A small quiz: cars 1 and 2 swapped.
    game->StartYard.Clear();
    SetLine(game->StartYard, 0, ". . . . . . . . . . . . . . . . . . . L1");
    SetLine(game->StartYard, 1, ". . . . . . . . . . . . . . 2 1 3 4 5 6");
    game->mnuGameRestart_Click();
  }
  void Number(const std::string& text) { f.controls.SetText("cmbCutTrainNum", text); }
};

TEST_F(ButtonsTest, PullBackAndPush) {
  game->Do(GameCommand::Back);  // in, coupled to the train, which now fills the siding up to the stopper
  EXPECT_EQ(LineText(game->yard, 1), ". . . . . . . . . . . . . L1 2 1 3 4 5 6");
  EXPECT_TRUE(f.controls.IsEnabled("cmdFront"));
  EXPECT_FALSE(f.controls.IsEnabled("cmdBack")) << "no push against the stopper";
  Number("2");
  f.clock.waits.clear();
  game->Do(GameCommand::Front);
  EXPECT_EQ(LineText(game->yard, 0), ". . . . . . . . . . . . . . . . . L1 2 1");
  EXPECT_EQ(game->Route, 2);
  EXPECT_THAT(f.clock.waits, ElementsAre(5000)) << "the sign holds the head-shunt route";
  EXPECT_FALSE(f.controls.IsEnabled("cmdFront"));
  EXPECT_EQ(f.controls.Text("cmbCutTrainNum"), "");
  EXPECT_EQ(f.status.Panel("UCount"), "1");

  game->Do(GameCommand::Back);
  EXPECT_EQ(LineText(game->yard, 2), "L1 2 1");
  Number("3");
  game->Do(GameCommand::Back);
  EXPECT_EQ(LineText(game->yard, 2), ". . . L1 2 1");
  EXPECT_EQ(f.status.Panel("UCount"), "1") << "pushes are not counted";
  EXPECT_TRUE(game->GameActive);
  Number("");
  game->Do(GameCommand::Front);
  EXPECT_EQ(LineText(game->yard, 0), ". . . . . . . . . . . . . . . . . . . L1") << "no number: the locomotive alone";
}

TEST_F(ButtonsTest, BackWhileTheSignShowsNoSiding) {
  game->Route = 0;
  const Yard before = game->yard;
  f.clock.waits.clear();
  game->Do(GameCommand::Back);
  EXPECT_THAT(f.msg.Texts(), ElementsAre("<5690>\r\n<5700>"));
  EXPECT_EQ(f.msg.shown[0].icon, MsgIcon::Critical);
  EXPECT_THAT(f.clock.waits, ElementsAre(4000));
  EXPECT_EQ(game->yard, before);
}

TEST_F(ButtonsTest, ClickingACarFillsInTheNumber) {
  f.settings.CarNumOnMouse = true;
  game->Do(GameCommand::Back);  // L1 at 13, cars at 14..19
  game->imgCar_Click(20 + 16);
  EXPECT_EQ(f.controls.Text("cmbCutTrainNum"), "3");
  EXPECT_EQ(f.controls.focus, "cmdFront");
  game->imgCar_Click(20 + 13);
  EXPECT_EQ(f.controls.Text("cmbCutTrainNum"), "0") << "the locomotive itself";
  f.settings.CarNumOnMouse = false;
  game->imgCar_Click(20 + 19);
  EXPECT_EQ(f.controls.Text("cmbCutTrainNum"), "0");
  f.settings.CarNumOnMouse = true;
  game->imgCar_Click(40 + 5);  // a line without the locomotive
  EXPECT_EQ(f.controls.Text("cmbCutTrainNum"), "0");
}

// ---- one-input strings ---------------------------------------------------------------------

TEST(OneInputParseTest, Commands) {
  using C = OneInputCommand;
  EXPECT_THAT(ParseOneInput("c5p3"), ElementsAre(C{"C", 5}, C{"P", 3}));
  EXPECT_THAT(ParseOneInput("5C2"), ElementsAre(C{"C", 2}));
  EXPECT_THAT(ParseOneInput("C1 2"), ElementsAre(C{"C", 1}, C{" ", 2}));
  EXPECT_THAT(ParseOneInput("C12"), ElementsAre(C{"C", 12}));
  EXPECT_THAT(ParseOneInput("P"), ElementsAre(C{"P", 0}));
  EXPECT_THAT(ParseOneInput("x両C1"), ElementsAre(C{"X", 0}, C{"両", 0}, C{"C", 1}));
  EXPECT_THAT(ParseOneInput(""), IsEmpty());
  EXPECT_THAT(ParseOneInput("C99999999999"), ElementsAre(C{"C", 2147483647}));
  std::string many;
  for (int i = 0; i < 150; ++i) many += "P" + std::to_string(i);
  const auto parsed = ParseOneInput(many);
  ASSERT_EQ(parsed.size(), 101u);
  EXPECT_EQ(parsed.back(), (C{"P", 100}));
}

TEST_F(FlowTest, OneInputRunPlaysEachCommand) {
  Make(1, 8);
  game->mnuGameRestart_Click();
  f.clock.waits.clear();
  game->RunOneInput("c5C2p3");
  // C5: siding 1 -> siding 2; C2: siding 2 -> siding 1 with 2 of those 5; P3 in siding 1.
  EXPECT_EQ(LineText(game->yard, 2), ". . . 3 4 5");
  EXPECT_EQ(LineText(game->yard, 1), ". . . L1 1 2 . . . . . . . . . . . 6 7 8");
  EXPECT_EQ(game->Route, 1);
  EXPECT_EQ(f.status.Panel("UCount"), "3");
  EXPECT_EQ(f.status.Panel("Msg"), "<5720> : <5740>");
  EXPECT_THAT(f.status.history, Contains("Msg=<5720> ( 2 ) : C 5"));
  EXPECT_THAT(f.status.history, Contains("Msg=<5720> ( 0 ) : P 3"));
  // 5000 for the first sign, then 1000 before each command and 5000 for each route change.
  EXPECT_THAT(f.clock.waits, ElementsAre(5000, 1000, 5000, 1000, 5000, 1000));
}

TEST_F(FlowTest, OneInputEdgeCases) {
  Make(1, 4);
  game->mnuGameRestart_Click();
  game->RunOneInput("");
  EXPECT_EQ(LineText(game->yard, 1), ". . . . . . . . . . . . . . . L1 1 2 3 4") << "only the back-in";
  game->RunOneInput("P0C0");
  EXPECT_THAT(f.msg.Texts(), ElementsAre("<5590>"));
  EXPECT_EQ(LineText(game->yard, 2), "L1") << "C0 takes the locomotive alone";
  game->RunOneInput("");  // a second run begins by backing into siding 1 again
  EXPECT_EQ(game->Route, 1);
}

// ---- whole games ------------------------------------------------------------------------------

struct DepartureTest : ::testing::Test {
  Fakes f;
  std::unique_ptr<Game> game;
  void SetUp() override {
    game = std::make_unique<Game>(f.ports(), f.settings);
    game->ViewWidth = 600;
    game->ViewHeight = 384;  // 64 pixels a metre
    // A train 1280 pixels long: 20 metres.
    for (int i = 0; i < 10; ++i) game->gAnimeSrcRect[static_cast<std::size_t>(i)] = AnimeRect{0, 0, 128, 384};
    game->Pelm.CarCount(10);
    f.controls.Add("mnuEscape", false);
  }
  std::vector<std::string> Distances() const {
    std::vector<std::string> out;
    for (const auto& h : f.status.history) {
      if (h.starts_with("Msg=") && h.size() > 4) out.push_back(h.substr(4));
    }
    return out;
  }
};

TEST_F(DepartureTest, RunsFromRightToLeftThreeMetresAFrame) {
  f.controls.SetEnabled("mnuViewAnser", false);
  game->CompleteAnimate();
  const auto d = Distances();
  ASSERT_GE(d.size(), 3u);
  EXPECT_THAT(std::vector<std::string>(d.begin(), d.begin() + 3), ElementsAre("11.0 m", "8.0 m", "5.0 m"));
  EXPECT_EQ(d.back(), "-22.0 m") << "(-25 + 20 + 3 < 0) ends the run";
  EXPECT_EQ(f.scene.frames.size(), d.size());
  EXPECT_EQ(f.scene.frames[0][0], 11 * 64);
  EXPECT_EQ(f.scene.frames[0][1], 11 * 64 + 128) << "cars follow each other without gaps";
  // Each frame lasts its 2000 ms in all.
  for (int w : f.clock.waits) EXPECT_LE(w, 2000);
  EXPECT_EQ(f.clock.waits.size(), d.size());
  EXPECT_EQ(f.status.Panel("Msg"), "");
  EXPECT_FALSE(f.scene.animeVisible);
  EXPECT_FALSE(f.controls.visible["mnuEscape"]);
  EXPECT_FALSE(f.controls.IsEnabled("mnuViewAnser")) << "menus come back as they were";
  EXPECT_TRUE(f.controls.IsEnabled("mnuGameNewGame"));
}

}  // namespace
}  // namespace kelvara::testing
