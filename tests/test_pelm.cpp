// The motion model of the departure run.
#include <gtest/gtest.h>

#include "fakes.h"
#include "model/pelm.h"

namespace kelvara::testing {
namespace {

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

#include <gmock/gmock.h>

#include "model/game.h"

namespace kelvara::testing {
namespace {

using ::testing::Contains;

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
  EXPECT_EQ(d[0], "11.0 m");
  EXPECT_EQ(d[1], "8.0 m");
  EXPECT_EQ(d[2], "5.0 m");
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
