// The fewest-move solver: from a position of the game, a one-input string with the fewest
// commands that completes the train.
//
// The search runs forward over the moves of the game (a push cannot be taken back, so the goal
// cannot be searched backwards), best first by g + h with h weighted up, and then by A* when
// that has not settled it. Between two commands the locomotive stands in the siding the route
// shows; a position is the 40 slots of the two sidings, a byte each, and a table of the positions
// seen, bounded by a state budget, keeps each once. The lower bound: a unit sequence of a siding
// (its units from the junction, gaps ignored) changes under a C only where the pulled block meets
// the cars of the other siding, and not at all under a P, so every command joins at most one of
// the neighbouring pairs (locomotive, 1), (1, 2) ... (n - 1, n) the finished train needs; the
// number of pairs not yet joined never overestimates. A string that short must make every command
// the one C that joins a pair, so where that chain gets stuck or leaves a gap one more is needed;
// where it completes the train, it is a string at once. Every search keeps only positions that
// could still lead to a string shorter than the best in hand; when none is left, that string is a
// shortest one. Every string found is played once more through the game's own moves before it
// is returned.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "model/command.h"
#include "model/rules.h"
#include "model/yard.h"

namespace kelvara {

// About a second of searching on a desktop of 2020.
inline constexpr std::size_t kDefaultWork = 2'000'000;

struct SolverLimits {
  // The memory a search may take, its table of positions and its queue together (some 45 bytes a
  // position); past it the search gives up instead of growing.
  std::size_t maxBytes = std::size_t{64} << 20;
  // The positions it may take from its queues, all its searches together: past them the best
  // string found so far is given, not proven shortest. A count, not a time, so that a busy or a
  // slow machine proves what a quiet one does.
  std::size_t work = kDefaultWork;
  // A ceiling in time over that, for the player's sake on a very slow machine.
  std::chrono::milliseconds time{4000};
  // Set from another thread to call the search off: it returns Cancelled within a millisecond
  // or so.
  const std::atomic<bool>* cancel = nullptr;
  // Only strings of at most this many commands are looked for (-1: any): NoSolution then says
  // that none is as short, and the search that finds so is far quicker.
  int longest = -1;
  // A string of at most this many commands found by the first searches is handed back at once,
  // not proven shortest (-1: never): for a caller that only asks whether one is that short.
  int enough = -1;
};

struct SolveResult {
  enum class Outcome {
    Solved,      // `commands` completes the train
    NoSolution,  // every reachable position was seen: nothing completes it (a derailment ahead,
                 // a locomotive standing at a car stopper, a car off the sidings)
    GaveUp,      // the budget ran out before any string was found
    Cancelled,   // called off by its caller; nothing found counts
  };
  Outcome outcome = Outcome::GaveUp;
  std::vector<OneInputCommand> commands;
  bool proven = false;     // no shorter string exists
  std::size_t states = 0;  // positions kept
  std::size_t work = 0;    // positions taken from the queues
  std::size_t bytes = 0;   // the most memory one search took
};

// From a position between two commands (after a Back, or after a one-input string's first back
// into siding 1): `route` is the siding the next command works on.
SolveResult SolveFewest(const Yard& yard, int route, int locoUnits, int trainCars, const SolverLimits& limits = {});

// As the console plays a string: first the route to siding 1 and the back into it from wherever
// the locomotive stands, then the commands.
SolveResult SolveFromConsole(const Yard& yard, int locoUnits, int trainCars, const SolverLimits& limits = {});

// SolveFromConsole's string, or nothing when there is none.
std::optional<std::string> SolveOneInput(const Yard& yard, int locoUnits, int trainCars);


}  // namespace kelvara
