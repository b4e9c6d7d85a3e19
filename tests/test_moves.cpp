#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fakes.h"
#include "model/game.h"
#include "yard_builder.h"

namespace kelvara::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct MovesTest : ::testing::Test {
  Fakes f;
  Game game{f.ports(), f.settings};
  void SetUp() override { game.LocoUnits = 1; }
};

// ---- CutTrain ----------------------------------------------------------------------------

TEST_F(MovesTest, CutCountIncludesTheLocomotive) {
  SetLine(game.yard, 1, "L1 1 2 3 4 5");
  game.CutTrain(1, 0, 3);
  EXPECT_EQ(LineText(game.yard, 0), ". . . . . . . . . . . . . . . . . L1 1 2");
  EXPECT_EQ(LineText(game.yard, 1), ". . . 3 4 5");
  EXPECT_THAT(f.msg.shown, IsEmpty());
}

TEST_F(MovesTest, CutRunsTheLocomotiveToTheJunctionFirst) {
  f.settings.ReplaceAnimate = true;
  SetLine(game.yard, 2, ". . . L1 L2 7 8 . 9");
  game.LocoUnits = 2;
  game.CutTrain(2, 0, 3);
  EXPECT_EQ(LineText(game.yard, 0), ". . . . . . . . . . . . . . . . . L1 L2 7");
  EXPECT_EQ(LineText(game.yard, 2), ". . . . . . 8 . 9");
  EXPECT_EQ(f.scene.draws, 3 + 3 + 1) << "3 run steps, 3 draw-out steps, 1 end of move";
}

TEST_F(MovesTest, CutBelowTheLocomotiveIsRaisedToItWithAWarning) {
  game.LocoUnits = 2;
  SetLine(game.yard, 1, "L1 L2 1 2");
  game.MakingQuiz = true;  // shown even while a quiz is made
  game.CutTrain(1, 0, 1);
  ASSERT_EQ(f.msg.shown.size(), 1u);
  EXPECT_EQ(f.msg.shown[0].text, "<5470>");
  EXPECT_EQ(f.msg.shown[0].icon, MsgIcon::Exclamation);
  EXPECT_EQ(f.msg.shown[0].buttons, MsgButtons::Ok);
  EXPECT_EQ(LineText(game.yard, 0), ". . . . . . . . . . . . . . . . . . L1 L2");
  EXPECT_EQ(LineText(game.yard, 1), ". . 1 2");
}

TEST_F(MovesTest, CutMoreThanCoupledIsLoweredWithAMessage) {
  SetLine(game.yard, 1, "L1 1 . 2");
  game.CutTrain(1, 0, 5);
  EXPECT_THAT(f.msg.Texts(), ElementsAre("4<5480>\r\n1<5490>"));
  EXPECT_EQ(LineText(game.yard, 0), ". . . . . . . . . . . . . . . . . . L1 1");
  EXPECT_EQ(LineText(game.yard, 1), ". . . 2");
}

TEST_F(MovesTest, CutMoreThanCoupledIsSilentWhileMakingAQuiz) {
  SetLine(game.yard, 1, "L1 . 2");
  game.MakingQuiz = true;
  game.CutTrain(1, 0, 3);
  EXPECT_THAT(f.msg.shown, IsEmpty());
  EXPECT_EQ(LineText(game.yard, 0), ". . . . . . . . . . . . . . . . . . . L1") << "drawn out alone";
}

TEST_F(MovesTest, CutWithNothingToPullMovesNothingAndNeverShowsANegativeCount) {
  SetLine(game.yard, 1, "1 2 3");  // no locomotive in the siding
  Yard before = game.yard;
  game.CutTrain(1, 0, 3);
  EXPECT_THAT(f.msg.Texts(), ElementsAre("2<5480>\r\n0<5490>"));
  EXPECT_EQ(game.yard, before);

  f.msg.shown.clear();
  SetLine(game.yard, 1, ". . . . . . . . . . . . . . . . . . . L1");  // at the stopper
  before = game.yard;
  game.CutTrain(1, 0, 1);
  EXPECT_THAT(f.msg.Texts(), ElementsAre("0<5480>\r\n0<5490>"));
  EXPECT_EQ(game.yard, before);
}

TEST_F(MovesTest, CutIntoAFullHeadShuntMovesNothing) {
  SetLine(game.yard, 0, "9 . . . . . . . . . . . . . . . . . . 8");
  SetLine(game.yard, 1, "L1 1 2");
  const Yard before = game.yard;
  game.CutTrain(1, 0, 2);
  EXPECT_THAT(f.msg.Texts(), ElementsAre("<5500>"));
  EXPECT_EQ(game.yard, before);
}

TEST_F(MovesTest, CutRefusedWhenTheHeadShuntCannotTakeEveryUnit) {
  // 18 units wait on the head shunt: pulling 3 more would push one off its far end.
  SetLine(game.yard, 0, ". . 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18");
  SetLine(game.yard, 1, "L1 19 20");
  const Yard before = game.yard;
  game.CutTrain(1, 0, 3);
  EXPECT_THAT(f.msg.Texts(), ElementsAre("<5500>"));
  EXPECT_EQ(game.yard, before);
  game.CutTrain(1, 0, 2);
  EXPECT_EQ(game.yard.at(0, 0), Slot::Car(1));
  EXPECT_EQ(game.yard.at(0, 18), Slot::Loco(1));
}

TEST_F(MovesTest, CutLogsInAndOutWithTheFinalCount) {
  f.settings.MakeLog = true;
  SetLine(game.yard, 1, "L1 1");
  game.CutTrain(1, 0, 4);
  ASSERT_EQ(f.log.lines.size(), 8u);
  EXPECT_EQ(f.log.lines[0], "CutTrain In 1 to 0 with 4");
  EXPECT_EQ(f.log.lines[1].substr(0, 7), "Line 0:");
  EXPECT_EQ(f.log.lines[4], "CutTrain Out 1 to 0 with 2");
  EXPECT_EQ(f.log.lines[7].substr(0, 7), "Line 2:");
}

// ---- redraw gates ------------------------------------------------------------------------

struct GateCase {
  bool making, draw, animate, replace;
  int expected;  // for a cut of 2 from position 1: 1 run + 2 draw-out steps + 1 end
};

class RedrawGateTest : public MovesTest, public ::testing::WithParamInterface<GateCase> {};

TEST_P(RedrawGateTest, StepAndEndOfMoveRedraws) {
  const GateCase c = GetParam();
  game.MakingQuiz = c.making;
  f.settings.DisMakeUpDraw = c.draw;
  f.settings.DisMakeUpDrawAnimate = c.animate;
  f.settings.ReplaceAnimate = c.replace;
  SetLine(game.yard, 1, ". L1 1 2");
  game.CutTrain(1, 0, 2);
  EXPECT_EQ(f.scene.draws, c.expected);
}

INSTANTIATE_TEST_SUITE_P(Gates, RedrawGateTest,
                         ::testing::Values(GateCase{false, false, false, false, 1},
                                           GateCase{false, false, false, true, 4},
                                           GateCase{false, true, true, false, 1},
                                           GateCase{true, false, true, true, 0},
                                           GateCase{true, true, false, true, 1},
                                           GateCase{true, true, true, false, 4}),
                         [](const ::testing::TestParamInfo<GateCase>& info) {
                           const GateCase& c = info.param;
                           return std::string(c.making ? "Quiz" : "Play") + (c.draw ? "Draw" : "NoDraw") +
                                  (c.animate ? "Animate" : "Still") + (c.replace ? "Replace" : "NoReplace");
                         });

// ---- AddTrain ----------------------------------------------------------------------------

TEST_F(MovesTest, BackInStopsAtTheJunctionEndLeavingStandingCarsUncoupled) {
  SetLine(game.yard, 0, ". . . . . . . . . . . . . . . . L1 1 2 3");
  SetLine(game.yard, 1, ". . . . . . . . . . 4 5 6 7 8 9 10 11 12 13");
  game.AddTrain(0, 1);
  EXPECT_EQ(LineText(game.yard, 0), "");
  EXPECT_EQ(LineText(game.yard, 1), "L1 1 2 3 . . . . . . 4 5 6 7 8 9 10 11 12 13");
}

TEST_F(MovesTest, LocomotiveAloneRunsOnUntilItCouples) {
  f.settings.ReplaceAnimate = true;
  SetLine(game.yard, 0, ". . . . . . . . . . . . . . . . . . . L1");
  SetLine(game.yard, 1, ". . . . . . . . . . 4 5 6 7 8 9 10 11 12 13");
  game.AddTrain(0, 1);
  EXPECT_EQ(LineText(game.yard, 1), ". . . . . . . . . L1 4 5 6 7 8 9 10 11 12 13");
  EXPECT_EQ(f.scene.draws, 1 + 9 + 1);
}

TEST_F(MovesTest, BackInPushesCarsItRunsAgainst) {
  SetLine(game.yard, 0, ". . . . . . . . . . . . . . . . L1 1 2 3");
  SetLine(game.yard, 1, ". . 4 5 6 7 8 9 10 11 12");
  game.AddTrain(0, 1);
  EXPECT_EQ(LineText(game.yard, 1), "L1 1 2 3 4 5 6 7 8 9 10 11 12");
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

TEST_F(MovesTest, BackInNeverSplitsALocomotive) {
  game.LocoUnits = 2;
  SetLine(game.yard, 0, ". . . . . . . . . . . . . . . . . . L1 L2");
  SetLine(game.yard, 1, ". 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20");
  const Yard before = game.yard;
  game.AddTrain(0, 1);
  EXPECT_EQ(game.yard, before);
}

TEST_F(MovesTest, BackInLogsBothLines) {
  f.settings.MakeLog = true;
  SetLine(game.yard, 0, ". . . . . . . . . . . . . . . . . . . L1");
  game.AddTrain(0, 2);
  ASSERT_EQ(f.log.lines.size(), 8u);
  EXPECT_EQ(f.log.lines[0], "AddTrain in 0 to 2");
  EXPECT_EQ(f.log.lines[4], "AddTrain Out 0 to 2");
}

// ---- PushTrain ---------------------------------------------------------------------------

TEST_F(MovesTest, PushCouplesWhatItRunsAgainst) {
  f.settings.ReplaceAnimate = true;
  SetLine(game.yard, 1, "L1 1 . . 2 3");
  EXPECT_TRUE(game.PushTrain(1, 3));
  EXPECT_EQ(LineText(game.yard, 1), ". . . L1 1 2 3");
  EXPECT_EQ(f.scene.draws, 3 + 1);
  EXPECT_FALSE(game.Derailed);
}

TEST_F(MovesTest, PushOfZeroAsksHowFarAndMovesNothing) {
  game.MakingQuiz = true;  // shown while making a quiz as well
  SetLine(game.yard, 1, "L1 1");
  const Yard before = game.yard;
  EXPECT_FALSE(game.PushTrain(1, 0));
  EXPECT_THAT(f.msg.Texts(), ElementsAre("<5590>"));
  EXPECT_EQ(game.yard, before);
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
  EXPECT_FALSE(f.controls.IsEnabled("cmdFront"));
  EXPECT_FALSE(f.controls.IsEnabled("cmdBack"));
  EXPECT_FALSE(f.controls.IsEnabled("Timer1"));
  EXPECT_TRUE(f.controls.IsEnabled("mnuGameNewGame"));
  EXPECT_TRUE(f.controls.IsEnabled("mnuGameRestart"));
  EXPECT_EQ(f.status.Panel("Msg"), "<5660>");
  // Two free steps, then cars 2 and 1 through the stopper; the locomotive ends at position 19.
  EXPECT_EQ(game.yard.at(1, 19), Slot::Loco(1));
  EXPECT_EQ(game.yard.at(1, 20), Slot::Car(1)) << "overflow keeps the last unit driven through";
  EXPECT_EQ(f.log.lines.back().substr(0, 7), "Line 2:");
  EXPECT_EQ(f.log.lines[f.log.lines.size() - 4], "PushTrain Out 1 pushing 5");
}

TEST_F(MovesTest, DerailmentWhileMakingAQuizStillShowsItsMessages) {
  game.MakingQuiz = true;
  SetLine(game.yard, 2, ". . . . . . . . . . . . . . . . . L1 1 2");
  EXPECT_FALSE(game.PushTrain(2, 1));
  EXPECT_EQ(f.msg.shown.size(), 5u);
}

TEST_F(MovesTest, NextPushClearsTheDerailedFlag) {
  SetLine(game.yard, 1, ". . . . . . . . . . . . . . . . . . L1 1");
  EXPECT_FALSE(game.PushTrain(1, 1));
  SetLine(game.yard, 1, "L1 1");
  EXPECT_TRUE(game.PushTrain(1, 1));
  EXPECT_FALSE(game.Derailed);
}

TEST_F(MovesTest, PushWithoutALocomotiveInTheSidingNeitherMovesNorDerails) {
  game.GameActive = true;
  SetLine(game.yard, 1, "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20");
  const Yard before = game.yard;
  EXPECT_FALSE(game.PushTrain(1, 3));
  EXPECT_EQ(game.yard, before);
  EXPECT_FALSE(game.Derailed);
  EXPECT_TRUE(game.GameActive);
  EXPECT_THAT(f.msg.shown, IsEmpty());
  EXPECT_EQ(f.sound.beeps, 1);
  EXPECT_TRUE(f.clock.waits.empty());
}

}  // namespace
}  // namespace kelvara::testing
