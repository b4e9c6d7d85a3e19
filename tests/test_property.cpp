// Random yards, random moves: no unit is ever duplicated, lost (but through a broken stopper),
// split from its locomotive or moved past another along the track.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <numeric>
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

class RandomYard {
 public:
  explicit RandomYard(std::mt19937& rng) : rng_(rng) {}

  // A legal yard: the head shunt packed against the junction with the locomotive at its far side,
  // sidings with the locomotive (if there) nearest the junction, cars anywhere behind it.
  Yard Make(int m, int n) {
    Yard y;
    std::vector<int> cars(n);
    std::iota(cars.begin(), cars.end(), 1);
    std::shuffle(cars.begin(), cars.end(), rng_);
    const int locoLine = Pick(0, 2);
    std::array<std::vector<int>, 3> onLine;
    std::array<int, 3> capacity = {20, 20, 20};
    capacity[locoLine] -= m;
    if (locoLine != 0) capacity[0] = 0;  // cars wait on the head shunt only with the locomotive
    for (int car : cars) {
      std::vector<int> open;
      for (int l = 0; l < 3; ++l) {
        if (static_cast<int>(onLine[l].size()) < capacity[l]) open.push_back(l);
      }
      onLine[open[Pick(0, static_cast<int>(open.size()) - 1)]].push_back(car);
    }
    // Head shunt: [loco][cars] packed against position 19.
    std::vector<Slot> head;
    if (locoLine == 0) {
      for (int u = 1; u <= m; ++u) head.push_back(Slot::Loco(u));
    }
    for (int c : onLine[0]) head.push_back(Slot::Car(c));
    for (std::size_t i = 0; i < head.size(); ++i) y.at(0, kVisible - head.size() + i) = head[i];
    // Sidings: items in order with random gaps; the locomotive block is one item.
    for (int l = 1; l <= 2; ++l) {
      std::vector<std::vector<Slot>> items;
      if (locoLine == l) {
        std::vector<Slot> block;
        for (int u = 1; u <= m; ++u) block.push_back(Slot::Loco(u));
        items.push_back(block);
      }
      for (int c : onLine[l]) items.push_back({Slot::Car(c)});
      int width = 0;
      for (auto& it : items) width += static_cast<int>(it.size());
      int free = kVisible - width;
      int p = 0;
      for (auto& it : items) {
        const int gap = Pick(0, std::min(free, 3));
        free -= gap;
        p += gap;
        for (const Slot& s : it) y.at(l, p++) = s;
      }
    }
    return y;
  }

  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

 private:
  std::mt19937& rng_;
};

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
  RandomYard gen(rng);
  long moves = 0;
  int derailments = 0;
  for (int round = 0; round < 2000; ++round) {
    auto f = std::make_unique<Fakes>();
    Game game(f->ports(), f->settings);
    const int m = gen.Pick(1, 4);
    const int n = gen.Pick(0, 20);
    game.LocoUnits = m;
    game.TrainCars = n;
    game.yard = gen.Make(m, n);
    ExpectLocomotiveWhole(game.yard, m);
    int lostAllowed = 0;

    for (int step = 0; step < 60; ++step, ++moves) {
      const Yard before = game.yard;
      const auto unitsBefore = Units(before);
      game.MakingQuiz = gen.Pick(0, 1) == 1;
      const int beepsBefore = f->sound.beeps;
      bool derailed = false;
      switch (gen.Pick(0, 2)) {
        case 0:
          game.CutTrain(gen.Pick(1, 2), 0, gen.Pick(-1, 22));
          break;
        case 1:
          game.AddTrain(0, gen.Pick(1, 2));
          break;
        default:
          game.PushTrain(gen.Pick(1, 2), gen.Pick(0, 6));
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
