// Quizzes chosen by the band of their fewest moves instead of by the level: the quiz maker is the
// same, handed a seed and a level under which it makes a quiz whose par lies in the band.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
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
};

// The longest the quiz maker looks for a quiz of a band, and each try's search for its par.
inline constexpr std::chrono::milliseconds kBandSearch{4000};
inline constexpr std::chrono::milliseconds kBandTrySolve{600};

// Tries seeds from `firstSeed` on silent copies of the game standing as `yard`, `route`, until
// one makes a quiz whose par (in the console's units or the Back button's) is proven inside the
// band; stops at the time bound or when called off.
BandQuiz FindBandQuiz(const Yard& yard, int route, int m, int n, bool console, const ParBand& band,
                      std::uint64_t firstSeed, const std::atomic<bool>* cancel,
                      std::chrono::milliseconds bound = kBandSearch);

}  // namespace kelvara
