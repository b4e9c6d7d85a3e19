#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes.h"
#include "model/game.h"
#include "yard_builder.h"

namespace kelvara::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct MovesTest : ::testing::Test {
  Fakes f;
  Game game{f.ports(), f.settings};
  void SetUp() override { game.LocoUnits = 1; }
};

// ---- what each move leaves in the yard ------------------------------------------------------

// A move from a yard written line by line: the lines afterwards ("=" for unchanged) and the
// boxes shown on the way.
struct MoveCase {
  const char* what;
  int locoUnits;
  bool makingQuiz;
  std::vector<std::pair<int, std::string>> before;
  char move;  // C: CutTrain(from, 0, n); A: AddTrain(0, to); P: PushTrain(from, n)
  int line, n;
  std::vector<std::pair<int, std::string>> after;
  std::vector<std::string> boxes;
  int draws = -1;                 // redraws with every step drawn, when it matters
  const char* logLine = nullptr;  // a line the game log must have
};

TEST_F(MovesTest, EachMoveLeavesTheYardAsItShould) {
  const std::string head19 = ". . . . . . . . . . . . . . . . . . .";
  const MoveCase cases[] = {
      {"the count includes the locomotive", 1, false, {{1, "L1 1 2 3 4 5"}}, 'C', 1, 3,
       {{0, ". . . . . . . . . . . . . . . . . L1 1 2"}, {1, ". . . 3 4 5"}}, {}, -1, "CutTrain In 1 to 0 with 3"},
      {"the locomotive runs to the junction first", 2, false, {{2, ". . . L1 L2 7 8 . 9"}}, 'C', 2, 3,
       {{0, ". . . . . . . . . . . . . . . . . L1 L2 7"}, {2, ". . . . . . 8 . 9"}}, {}, 3 + 3 + 1},
      {"below the locomotive is raised to it, even in a quiz", 2, true, {{1, "L1 L2 1 2"}}, 'C', 1, 1,
       {{0, ". . . . . . . . . . . . . . . . . . L1 L2"}, {1, ". . 1 2"}}, {"<5470>"}},
      {"more than coupled is lowered, with a word", 1, false, {{1, "L1 1 . 2"}}, 'C', 1, 5,
       {{0, ". . . . . . . . . . . . . . . . . . L1 1"}, {1, ". . . 2"}}, {"4<5480>\r\n1<5490>"}, -1,
       "CutTrain Out 1 to 0 with 2"},
      {"more than coupled is silent while a quiz is made", 1, true, {{1, "L1 . 2"}}, 'C', 1, 3,
       {{0, head19 + " L1"}}, {}},
      {"nothing to pull: no negative count", 1, false, {{1, "1 2 3"}}, 'C', 1, 3, {{1, "="}}, {"2<5480>\r\n0<5490>"}},
      {"a locomotive at the stopper", 1, false, {{1, head19 + " L1"}}, 'C', 1, 1, {{1, "="}}, {"0<5480>\r\n0<5490>"}},
      {"into a full head shunt", 1, false, {{0, "9 . . . . . . . . . . . . . . . . . . 8"}, {1, "L1 1 2"}}, 'C', 1, 2,
       {{0, "="}, {1, "="}}, {"<5500>"}},
      {"a head shunt that cannot take every unit",
       1, false, {{0, ". . 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18"}, {1, "L1 19 20"}}, 'C', 1, 3,
       {{0, "="}, {1, "="}}, {"<5500>"}},
      {"one unit fewer fits", 1, false, {{0, ". . 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18"}, {1, "L1 19 20"}}, 'C',
       1, 2, {{0, "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 L1 19"}, {1, ". . 20"}}, {}},
      {"back in stops at the junction end, standing cars stay apart", 1, false,
       {{0, ". . . . . . . . . . . . . . . . L1 1 2 3"}, {1, ". . . . . . . . . . 4 5 6 7 8 9 10 11 12 13"}}, 'A', 1, 0,
       {{0, ""}, {1, "L1 1 2 3 . . . . . . 4 5 6 7 8 9 10 11 12 13"}}, {}, -1, "AddTrain Out 0 to 1"},
      {"the locomotive alone runs on until it couples", 1, false,
       {{0, head19 + " L1"}, {1, ". . . . . . . . . . 4 5 6 7 8 9 10 11 12 13"}}, 'A', 1, 0,
       {{1, ". . . . . . . . . L1 4 5 6 7 8 9 10 11 12 13"}}, {}, 1 + 9 + 1},
      {"back in pushes what it runs against", 1, false,
       {{0, ". . . . . . . . . . . . . . . . L1 1 2 3"}, {1, ". . 4 5 6 7 8 9 10 11 12"}}, 'A', 1, 0,
       {{1, "L1 1 2 3 4 5 6 7 8 9 10 11 12"}}, {}},
      {"back in never splits a locomotive", 2, false,
       {{0, ". . . . . . . . . . . . . . . . . . L1 L2"}, {1, ". 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20"}}, 'A',
       1, 0, {{0, "="}, {1, "="}}, {}},
      {"a push couples what it runs against", 1, false, {{1, "L1 1 . . 2 3"}}, 'P', 1, 3, {{1, ". . . L1 1 2 3"}}, {},
       3 + 1, "PushTrain Out 1 pushing 3"},
      {"a push of 0 asks how far, even in a quiz", 1, true, {{1, "L1 1"}}, 'P', 1, 0, {{1, "="}}, {"<5590>"}},
      {"a push without a locomotive in the siding", 1, false,
       {{1, "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20"}}, 'P', 1, 3, {{1, "="}}, {}},
  };
  for (const MoveCase& c : cases) {
    SCOPED_TRACE(c.what);
    Fakes fakes;
    Game g{fakes.ports(), fakes.settings};
    g.LocoUnits = c.locoUnits;
    g.MakingQuiz = c.makingQuiz;
    fakes.settings.ReplaceAnimate = fakes.settings.MakeLog = true;
    for (const auto& [line, text] : c.before) SetLine(g.yard, line, text);
    const Yard before = g.yard;
    if (c.move == 'C') g.CutTrain(c.line, 0, c.n);
    if (c.move == 'A') g.AddTrain(0, c.line);
    if (c.move == 'P') g.PushTrain(c.line, c.n);
    for (const auto& [line, text] : c.after) {
      EXPECT_EQ(LineText(g.yard, line), text == "=" ? LineText(before, line) : text) << "line " << line;
    }
    EXPECT_EQ(fakes.msg.Texts(), c.boxes);
    EXPECT_FALSE(g.Derailed);
    if (c.draws >= 0) {
      EXPECT_EQ(fakes.scene.draws, c.draws);
    }
    if (c.logLine) {
      EXPECT_THAT(fakes.log.lines, Contains(c.logLine));
    }
  }
}

// ---- redraw gates ------------------------------------------------------------------------

// Redraws of a cut of 2 from position 1: 1 run + 2 draw-out steps + 1 at the end when every step
// is drawn, in play (ReplaceAnimate) or while a quiz is made (DisMakeUpDraw and its Animate).
TEST_F(MovesTest, StepAndEndOfMoveRedraws) {
  struct Case {
    bool making, draw, animate, replace;
    int expected;
  };
  const Case cases[] = {{false, false, false, false, 1}, {false, false, false, true, 4}, {false, true, true, false, 1},
                        {true, false, true, true, 0},    {true, true, false, true, 1},   {true, true, true, false, 4}};
  for (const Case& c : cases) {
    Fakes fakes;
    Game g{fakes.ports(), fakes.settings};
    g.LocoUnits = 1;
    g.MakingQuiz = c.making;
    fakes.settings.DisMakeUpDraw = c.draw;
    fakes.settings.DisMakeUpDrawAnimate = c.animate;
    fakes.settings.ReplaceAnimate = c.replace;
    SetLine(g.yard, 1, ". L1 1 2");
    g.CutTrain(1, 0, 2);
    EXPECT_EQ(fakes.scene.draws, c.expected) << "quiz " << c.making << ", draw " << c.draw << ", animate " << c.animate
                                             << ", replace " << c.replace;
  }
}

TEST_F(MovesTest, BackInToAFullSidingStopsHalfDoneWithoutTheClosingLine) {
  f.settings.MakeLog = true;
  SetLine(game.yard, 0, ". . . . . . . . . . . . . . . . . L1 20 21");
  SetLine(game.yard, 1, ". 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 22");
  game.AddTrain(0, 1);
  EXPECT_EQ(LineText(game.yard, 0), ". . . . . . . . . . . . . . . . . . L1 20");
  EXPECT_EQ(game.yard.at(1, 0), Slot::Car(21));
  EXPECT_EQ(f.scene.draws, 0) << "no end-of-move redraw";
  for (const auto& l : f.log.lines) EXPECT_EQ(l.find("AddTrain Out"), std::string::npos);
  EXPECT_EQ(f.log.lines[0], "AddTrain in 0 to 1");
}

TEST_F(MovesTest, PushIntoTheStopperDerailsInOrder) {
  f.settings.MakeLog = true;
  game.GameActive = true;
  game.UserName = "kiri";
  f.controls.SetEnabled("mnuGameNewGame", false);
  f.controls.SetEnabled("mnuGameRestart", false);
  SetLine(game.yard, 1, ". . . . . . . . . . . . . . . L1 1 2 . .");

  EXPECT_FALSE(game.PushTrain(1, 5));

  EXPECT_THAT(f.msg.Texts(), ElementsAre("<5600>", "<5610>", "<5620>", "<5630>", "<5640> kiri <5650>"));
  for (const auto& box : f.msg.shown) EXPECT_EQ(box.buttons, MsgButtons::Ok);
  EXPECT_THAT(f.clock.waits, ElementsAre(1000, 1000, 3000));
  EXPECT_EQ(f.sound.events, (std::vector<std::string>{"stop", "beep", "beep"}));
  EXPECT_TRUE(game.Derailed);
  EXPECT_FALSE(game.GameActive);
  for (const char* off : {"cmdFront", "cmdBack", "Timer1"}) EXPECT_FALSE(f.controls.IsEnabled(off)) << off;
  for (const char* on : {"mnuGameNewGame", "mnuGameRestart"}) EXPECT_TRUE(f.controls.IsEnabled(on)) << on;
  EXPECT_EQ(f.status.Panel("Msg"), "<5660>");
  // Two free steps, then cars 2 and 1 through the stopper; the locomotive ends at position 19.
  EXPECT_EQ(game.yard.at(1, 19), Slot::Loco(1));
  EXPECT_EQ(game.yard.at(1, 20), Slot::Car(1)) << "overflow keeps the last unit driven through";
  EXPECT_EQ(f.log.lines.back().substr(0, 7), "Line 2:");
  EXPECT_EQ(f.log.lines[f.log.lines.size() - 4], "PushTrain Out 1 pushing 5");

  SetLine(game.yard, 1, "L1 1");
  EXPECT_TRUE(game.PushTrain(1, 1));
  EXPECT_FALSE(game.Derailed) << "the next push starts with the flag clear";
}

// The queries on one siding: units, cars, the position after the locomotive, the cars coupled
// to it (the locomotive counted) and the free slots beyond it, gaps included.
TEST(YardQueryTest, OneSiding) {
  struct Case {
    const char* line;
    int locos, cars, after, coupled, pushing;
  };
  const Case cases[] = {
      {"L1 L2 1 2 . 3", 2, 3, 2, 4, 15},
      {"", 0, 0, 20, 0, 0},
      {". . L1 L2 5", 2, 1, 4, 3, 15},
      {"L1 1 2 3 . 4 5", 1, 5, 1, 4, 14},
      {"L1 . 1 2", 1, 2, 1, 1, 17},                                       // the locomotive alone
      {". . . . . . . . . . . . . . . . . . . L1", 1, 0, 20, 0, 0},         // at the stopper counts 0
      {". . . . . . . . . . . . . . . . . . L1 L2", 2, 0, 20, 0, 0},        // a block reaching position 19
      {"1 2 3", 0, 3, 20, 0, 0},                                          // no locomotive
      {"L1 1 . . . 2", 1, 2, 1, 2, 17},
      {"L1 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19", 1, 19, 1, 20, 0},
  };
  for (const Case& c : cases) {
    Yard y;
    SetLine(y, 1, c.line);
    y.at(1, 20) = Slot::Car(30);  // beyond the stopper: never counted
    EXPECT_EQ(y.GetLocoNum(1), c.locos) << c.line;
    EXPECT_EQ(y.GetCarNum(1), c.cars) << c.line;
    EXPECT_EQ(y.GetLocoAfterPosition(1), c.after) << c.line;
    EXPECT_EQ(y.GetCoupledCarsNum(1), c.coupled) << c.line;
    EXPECT_EQ(y.GetMaxPushing(1), c.pushing) << c.line;
  }
}

using SetCarsTest = MovesTest;

TEST_F(SetCarsTest, WholeTrainInSidingOneAsFarAsItFits) {
  struct Case {
    int m, n;
    const char *line0, *line1;
  };
  const Case cases[] = {
      {1, 5, ". . . . . . . . . . . . . . . . . . . L1", ". . . . . . . . . . . . . . . 1 2 3 4 5"},
      {1, 20, ". . . . . . . . . . . . . . . . . . . L1", "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20"},
      {2, 22, ". . . . . . . . . . . . . . . . L1 L2 1 2", "3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22"},
  };
  for (const Case& c : cases) {
    game.yard.at(1, 20) = Slot::Car(3);  // what a derailment left beyond the stopper goes
    game.LocoUnits = c.m;
    game.TrainCars = c.n;
    game.SetCars();
    EXPECT_EQ(LineText(game.yard, 0), c.line0) << c.m << " + " << c.n;
    EXPECT_EQ(LineText(game.yard, 1), c.line1) << c.m << " + " << c.n;
    EXPECT_EQ(LineText(game.yard, 2), "");
    EXPECT_TRUE(game.yard.at(1, 20).IsEmpty());
  }
  // Far beyond 40 - m cars: siding 1 full, nothing written off the track.
  game.LocoUnits = 4;
  game.TrainCars = 60;
  game.SetCars();
  int units = 0;
  for (int l = 0; l < 4; ++l) units += game.yard.GetLocoNum(l) + game.yard.GetCarNum(l);
  EXPECT_LE(units, 40);
  EXPECT_EQ(game.yard.GetCarNum(1), 20);
  // No cars: the message, and the yard as it was.
  const Yard before = game.yard;
  game.TrainCars = 0;
  game.SetCars();
  EXPECT_THAT(f.msg.Texts(), ElementsAre("<5680>"));
  EXPECT_EQ(game.yard, before);
}

using LogOutTest = MovesTest;

TEST_F(LogOutTest, WritesTheLineAndThreeDumpLinesOnlyWhenMakeLogIsOn) {
  game.LogOut("x");
  EXPECT_TRUE(f.log.lines.empty());
  f.settings.MakeLog = true;
  game.TrainCars = 2;
  game.SetCars();
  game.LogOut("CutTrain In 1 to 0 with 1");
  EXPECT_THAT(f.log.lines, ElementsAre("CutTrain In 1 to 0 with 1",
                                       "Line 0: .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  . L1 ",
                                       "Line 1: .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  1  2 ",
                                       ::testing::StartsWith("Line 2:")));
}

}  // namespace
}  // namespace kelvara::testing
