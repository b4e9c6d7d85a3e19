// Random moves from a game's start: no unit is ever duplicated, lost (but through a broken stopper),
// split from its locomotive or moved past another along the track.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>

#include "fakes.h"
#include "model/game.h"

namespace kelvara::testing {
namespace {

struct Where {
  int line;
  int pos;
};

// Key for a unit: cars by number, locomotive units as negative numbers.
int Key(const Slot& s) { return s.IsLoco() ? -s.number() : s.number(); }

std::map<int, Where> Units(const Yard& y) {
  std::map<int, Where> out;
  for (int l = 0; l < kLines; ++l) {
    for (int p = 0; p < kVisible; ++p) {
      const Slot& s = y.at(l, p);
      if (s.IsEmpty()) continue;
      EXPECT_TRUE(out.emplace(Key(s), Where{l, p}).second) << "unit " << s.Text() << " twice";
    }
  }
  return out;
}

// Units share a path when both stand on the head shunt and one siding (or on the same line).
bool CommonPath(Where a, Where b) { return a.line == 0 || b.line == 0 || a.line == b.line; }
int Coordinate(Where w) { return w.line == 0 ? w.pos : kVisible + w.pos; }

void ExpectLocomotiveWhole(const Yard& y, int m) {
  int total = 0;
  for (int l = 0; l < kLines; ++l) total += y.GetLocoNum(l);
  ASSERT_EQ(total, m) << "locomotive units lost or duplicated";
  for (int l = 0; l < kLines; ++l) {
    const int p = y.FirstLocoPosition(l);
    if (p < 0) continue;
    for (int u = 1; u <= m; ++u) {
      ASSERT_LT(p + u - 1, kVisible);
      ASSERT_EQ(y.at(l, p + u - 1), Slot::Loco(u)) << "locomotive split or out of order on line " << l;
    }
    return;
  }
}

TEST(YardPropertyTest, RandomMovesKeepEveryUnitAndTheOrderAlongTheTrack) {
  std::mt19937 rng(20261206);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  long moves = 0;
  int derailments = 0;
  for (int round = 0; round < 2000; ++round) {
    auto f = std::make_unique<Fakes>();
    Game game(f->ports(), f->settings);
    // The train as a game starts it (more than 20 units reach onto the head shunt); the random
    // moves then scatter it over the yard, gaps and all.
    const int m = pick(1, 4);
    const int n = pick(1, 22);
    game.LocoUnits = m;
    game.TrainCars = n;
    game.SetCars();
    ExpectLocomotiveWhole(game.yard, m);
    int lostAllowed = 0;

    for (int step = 0; step < 60; ++step, ++moves) {
      const Yard before = game.yard;
      const auto unitsBefore = Units(before);
      game.MakingQuiz = pick(0, 1) == 1;
      const int beepsBefore = f->sound.beeps;
      bool derailed = false;
      switch (pick(0, 2)) {
        case 0:
          game.CutTrain(pick(1, 2), 0, pick(-1, 22));
          break;
        case 1:
          game.AddTrain(0, pick(1, 2));
          break;
        default:
          game.PushTrain(pick(1, 2), pick(0, 6));
          derailed = game.Derailed;
          break;
      }
      const auto unitsAfter = Units(game.yard);
      ExpectLocomotiveWhole(game.yard, m);
      if (::testing::Test::HasFatalFailure()) return;

      const int lost = static_cast<int>(unitsBefore.size() - unitsAfter.size());
      if (derailed) {
        ++derailments;
        // At most one unit through the stopper per blocked step.
        EXPECT_LE(lost, 1 + (f->sound.beeps - beepsBefore));
        lostAllowed += lost;
      } else {
        ASSERT_EQ(lost, 0) << "a unit vanished without a derailment";
      }
      for (const auto& [key, after] : unitsAfter) {
        ASSERT_TRUE(unitsBefore.count(key)) << "a unit appeared from nowhere";
      }
      for (const auto& [a, wa] : unitsAfter) {
        for (const auto& [b, wb] : unitsAfter) {
          if (a >= b) continue;
          const Where ba = unitsBefore.at(a), bb = unitsBefore.at(b);
          if (!CommonPath(ba, bb) || !CommonPath(wa, wb)) continue;
          ASSERT_EQ(Coordinate(ba) < Coordinate(bb), Coordinate(wa) < Coordinate(wb))
              << "units passed each other in round " << round << " step " << step;
        }
      }
    }
    EXPECT_EQ(static_cast<int>(Units(game.yard).size()) + lostAllowed, m + n);
  }
  EXPECT_GE(moves, 100000);
  EXPECT_GT(derailments, 0) << "the generator should reach the stopper sometimes";
}

}  // namespace
}  // namespace kelvara::testing
