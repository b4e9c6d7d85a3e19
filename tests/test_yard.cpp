#include <gtest/gtest.h>

#include "fakes.h"
#include "model/game.h"
#include "yard_builder.h"

namespace kelvara::testing {
namespace {

TEST(YardQueryTest, CountsLookOnlyAtTheVisibleTrack) {
  Yard y;
  SetLine(y, 1, "L1 L2 1 2 . 3");
  y.at(1, 20) = Slot::Car(9);  // overflow does not count
  EXPECT_EQ(y.GetLocoNum(1), 2);
  EXPECT_EQ(y.GetCarNum(1), 3);
  EXPECT_EQ(y.GetLocoNum(2), 0);
  EXPECT_EQ(y.GetCarNum(2), 0);
}

TEST(YardQueryTest, LocoAfterPosition) {
  Yard y;
  EXPECT_EQ(y.GetLocoAfterPosition(1), 20) << "no locomotive";
  SetLine(y, 1, ". . L1 L2 5");
  EXPECT_EQ(y.GetLocoAfterPosition(1), 4);
  SetLine(y, 2, ". . . . . . . . . . . . . . . . . . L1 L2");
  EXPECT_EQ(y.GetLocoAfterPosition(2), 20) << "block reaching position 19";
}

TEST(YardQueryTest, CoupledCars) {
  Yard y;
  SetLine(y, 1, "L1 1 2 3 . 4 5");
  EXPECT_EQ(y.GetCoupledCarsNum(1), 4);
  SetLine(y, 1, "L1 . 1 2");
  EXPECT_EQ(y.GetCoupledCarsNum(1), 1) << "locomotive alone";
  SetLine(y, 1, ". . . . . . . . . . . . . . . . . . . L1");
  EXPECT_EQ(y.GetCoupledCarsNum(1), 0) << "block at the stopper counts 0, not the units";
  SetLine(y, 1, "1 2 3");
  EXPECT_EQ(y.GetCoupledCarsNum(1), 0) << "no locomotive";
  SetLine(y, 1, "L1 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19");
  EXPECT_EQ(y.GetCoupledCarsNum(1), 20);
}

TEST(YardQueryTest, MaxPushingCountsEveryFreeSlotBeyondTheLocomotive) {
  Yard y;
  SetLine(y, 1, "L1 1 . . . 2");
  EXPECT_EQ(y.GetMaxPushing(1), 17);
  SetLine(y, 1, "1 . .");
  EXPECT_EQ(y.GetMaxPushing(1), 0) << "no locomotive";
  SetLine(y, 1, "L1 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19");
  EXPECT_EQ(y.GetMaxPushing(1), 0);
}

struct GameFixture : ::testing::Test {
  Fakes f;
  Game game{f.ports(), f.settings};
};

using SetCarsTest = GameFixture;

TEST_F(SetCarsTest, WholeTrainInSidingOneLocomotiveAtTheJunctionEnd) {
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
    game.LocoUnits = c.m;
    game.TrainCars = c.n;
    game.SetCars();
    EXPECT_EQ(LineText(game.yard, 0), c.line0) << c.m << " + " << c.n;
    EXPECT_EQ(LineText(game.yard, 1), c.line1) << c.m << " + " << c.n;
    EXPECT_EQ(LineText(game.yard, 2), "");
  }
}

TEST_F(SetCarsTest, NoCarsShowsTheMessageAndKeepsTheYard) {
  SetLine(game.yard, 2, "L1 4 5");
  const Yard before = game.yard;
  game.TrainCars = 0;
  game.SetCars();
  ASSERT_EQ(f.msg.shown.size(), 1u);
  EXPECT_EQ(f.msg.shown[0].text, "<5680>");
  EXPECT_EQ(f.msg.shown[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(game.yard, before);
}

TEST_F(SetCarsTest, OversizedTrainNeverWritesOffTheTrack) {
  game.LocoUnits = 4;
  game.TrainCars = 60;  // far beyond 40 - m
  game.SetCars();
  int units = 0;
  for (int l = 0; l < 4; ++l) units += game.yard.GetLocoNum(l) + game.yard.GetCarNum(l);
  EXPECT_LE(units, 40);
  EXPECT_EQ(game.yard.GetCarNum(1), 20);
}

TEST_F(SetCarsTest, ClearsWhatAnEarlierDerailmentLeftBeyondTheStopper) {
  game.yard.at(1, 20) = Slot::Car(3);
  game.TrainCars = 3;
  game.SetCars();
  EXPECT_TRUE(game.yard.at(1, 20).IsEmpty());
}

using LogOutTest = GameFixture;

TEST_F(LogOutTest, WritesTheLineAndThreeDumpLinesOnlyWhenMakeLogIsOn) {
  game.LogOut("x");
  EXPECT_TRUE(f.log.lines.empty());
  f.settings.MakeLog = true;
  game.LocoUnits = 1;
  game.TrainCars = 2;
  game.SetCars();
  game.LogOut("CutTrain In 1 to 0 with 1");
  ASSERT_EQ(f.log.lines.size(), 4u);
  EXPECT_EQ(f.log.lines[0], "CutTrain In 1 to 0 with 1");
  EXPECT_EQ(f.log.lines[1], "Line 0: .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  . L1 ");
  EXPECT_EQ(f.log.lines[2], "Line 1: .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  1  2 ");
  EXPECT_EQ(f.log.lines[3].substr(0, 7), "Line 2:");
}

TEST(CalcTrainLengthTest, SumsUpToTheLastIndexMinusOneStoppingAtZeroWidth) {
  std::vector<AnimeRect> r(5);
  r[0].Right = 10;
  r[1].Right = 20;
  r[2].Right = 30;
  r[3].Right = 40;
  r[4].Right = 50;  // the last index is never read
  EXPECT_EQ(CalcTrainLength(r), 100);
  r[1].Right = 0;
  EXPECT_EQ(CalcTrainLength(r), 10);
  EXPECT_EQ(CalcTrainLength(std::vector<AnimeRect>{}), 0);
}

}  // namespace
}  // namespace kelvara::testing
