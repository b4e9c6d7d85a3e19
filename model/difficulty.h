// Quizzes chosen by the band of their fewest moves instead of by the level: the quiz maker is the
// same, handed a seed and a level under which it makes a quiz whose par lies in the band.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "model/yard.h"

namespace kelvara {

struct ParBand {
  int text;  // the id of its name in the option's list, "%1" and "%2" its bounds
  int low, high;  // the fewest moves it takes, both ends included
  // The levels tried for it, the likeliest first.
  std::array<int, 6> levels;
};

// Drawn from the par of 1,000 seeded quizzes a level band of every shipped train (the README
// has the figures): easy, medium, hard, expert, by the Back button's moves.
inline constexpr std::array<ParBand, 4> kParBands = {{
    {7110, 1, 5, {4, 5, 10, 4, 5, 20}},
    {7120, 6, 9, {10, 5, 20, 10, 30, 40}},
    {7130, 10, 13, {20, 30, 10, 40, 20, 50}},
    {7140, 14, 99, {30, 20, 40, 50, 30, 20}},
}};

// What the search for a quiz of a band found: the seed and the level the quiz maker makes it
// under, from the position it was asked about.
struct BandQuiz {
  bool found = false;
  std::uint64_t seed = 0;
  int level = 0;
  int par = -1;
  int tries = 0;
  std::size_t work = 0;  // positions its searches took
};

// How long the quiz maker looks for a quiz of a band: positions its searches may take from their
// queues, in all and for each try (some four seconds and half a second on a desktop of 2020),
// and a ceiling in time over them for a very slow machine. Counted in positions, a busy machine
// finds the quiz a quiet one finds, only later.
struct BandBudget {
  std::size_t work = 8'000'000;
  std::size_t tryWork = 1'200'000;
  std::chrono::milliseconds ceiling{20000};
};

// Tries seeds from `firstSeed` on silent copies of the game standing as `yard`, `route`, until
// one makes a quiz whose par (in the console's units or the Back button's) is proven inside the
// band; stops when the budget is spent or when called off.
BandQuiz FindBandQuiz(const Yard& yard, int route, int m, int n, bool console, const ParBand& band,
                      std::uint64_t firstSeed, const std::atomic<bool>* cancel, const BandBudget& budget = {});

}  // namespace kelvara
