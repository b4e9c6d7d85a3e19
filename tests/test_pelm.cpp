// The motion model of the departure run.
#include <gtest/gtest.h>

#include "fakes.h"
#include "scene/pelm.h"

namespace kelvara::testing {
namespace {

TEST(PelmTest, FramePacing) {
  FakeClock clock;
  PelmClass pelm(clock);
  pelm.TickTime(2000);
  pelm.TimeCount();
  EXPECT_EQ(pelm.TimeDelta(), 0) << "the first measurement starts the clock";
  EXPECT_EQ(pelm.SleepTime(), 2000);
  EXPECT_FALSE(pelm.TimeOver());

  clock.now += 2300;  // a frame that overran
  pelm.TimeCount();
  EXPECT_EQ(pelm.TimeDelta(), 2300);
  EXPECT_TRUE(pelm.TimeOver());
  EXPECT_EQ(pelm.SleepTime(), 0) << "-300 reads as 0";
  clock.now += 500;
  pelm.TimeCount();
  EXPECT_TRUE(pelm.TimeOver()) << "stays set until cleared";
  pelm.TimeOver(false);
  EXPECT_FALSE(pelm.TimeOver());

  pelm.SleepTime(-30);
  EXPECT_EQ(pelm.SleepTime(), 0);
  pelm.SleepTime(7000);
  EXPECT_EQ(pelm.SleepTime(), 5000);
}

TEST(PelmTest, DistanceAndLayout) {
  FakeClock clock;
  PelmClass pelm(clock);
  pelm.DrawHeight(300);
  EXPECT_FLOAT_EQ(pelm.PixcelsPerMeter(), 50.0f);
  EXPECT_FLOAT_EQ(pelm.MeterPerPixcels(), 0.02f);

  pelm.TickTime(2000);
  pelm.TimeDelta(5000);
  pelm.TrainSpeed(3);
  pelm.TrainDistance(10);
  pelm.AddDistance();
  EXPECT_NEAR(pelm.TrainDistance(), 10 - 1.6668, 1e-5) << "never more than one frame's worth";

  AnimeRects src{}, dst{};
  src[0].Right = 120;
  src[1].Right = 80;
  dst[2].Left = 777;
  pelm.TrainDistance(-1.5f);
  pelm.CarCount(3);
  pelm.CalcRect(src, dst);
  EXPECT_EQ(dst[0].Left, -75);
  EXPECT_EQ(dst[1].Left, 45);
  EXPECT_EQ(dst[1].Right, 80);
  EXPECT_EQ(dst[2].Left, 777) << "stops at the first zero width";

  AnimeRects untouched{};
  pelm.CarCount(0);
  pelm.CalcRect(src, untouched);
  EXPECT_EQ(untouched[0].Right, 0);
}

}  // namespace
}  // namespace kelvara::testing
