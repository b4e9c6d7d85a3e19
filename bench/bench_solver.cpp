// The fewest-move solver over seeded quizzes of the default train set, and over positions reached
// by random play from them. One iteration solves the whole list; the counters give the median and
// the worst time and how many strings were proven shortest.
//   build/bench/kelvara_bench --benchmark_filter=Solve
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <set>
#include <utility>
#include <vector>

#include "fakes.h"
#include "model/game.h"

namespace {

using namespace kelvara;
using kelvara::testing::Fakes;

struct Quiz {
  Yard yard;
  int route = 0;
  int m = 0, n = 0;
};

// Every locomotive set and train length of the default set, quizzes of several levels and seeds.
std::vector<Quiz> MakeQuizzes(int maxCars, int seeds) {
  Fakes f;
  f.settings.TrdFolder = KELVARA_CARS_DIR;
  Game game(f.ports(), f.settings);
  game.LoadLocoList();
  std::set<std::pair<int, int>> sizes;
  for (const auto& train : game.ListTrainFiles()) {
    for (int set = 0; set < game.Loco.LocoSetCount(); ++set) {
      game.ChangeTrain(set, train.path);
      if (game.TrainCars <= maxCars && game.LocoUnits + game.TrainCars <= kVisible) {
        sizes.insert({game.LocoUnits, game.TrainCars});
      }
    }
  }
  std::vector<Quiz> quizzes;
  for (const auto& [m, n] : sizes) {
    for (const int level : {5, 10, 20, 30, 40, 50}) {
      for (int seed = 1; seed <= seeds; ++seed) {
        game.LocoUnits = m;
        game.TrainCars = n;
        f.settings.QuestionLevel = level;
        game.lib().Seed(static_cast<std::uint64_t>(seed * 7919 + level * 31 + m * 3 + n));
        game.SetCars();
        game.DisMakeUp();
        quizzes.push_back({game.yard, 0, m, n});
      }
    }
  }
  return quizzes;
}

// Positions a player may reach: a quiz, then a random number of random commands that neither
// derail nor show a message.
std::vector<Quiz> MakePositions(int count) {
  std::vector<Quiz> out;
  std::mt19937 random(12345);
  const std::vector<Quiz> quizzes = MakeQuizzes(16, 2);
  Fakes f;
  Game game(f.ports(), f.settings);
  while (static_cast<int>(out.size()) < count) {
    const Quiz& q = quizzes[random() % quizzes.size()];
    game.yard = q.yard;
    game.LocoUnits = q.m;
    game.TrainCars = q.n;
    game.Derailed = false;
    game.RunOneInput("");
    const int steps = static_cast<int>(random() % 12);
    for (int i = 0; i < steps; ++i) {
      const int line = game.Route;
      const int coupled = game.yard.GetCoupledCarsNum(line) - q.m;
      const int room = game.yard.GetMaxPushing(line);
      if (coupled >= 0 && (room == 0 || random() % 3 != 0)) {
        game.RunOneInputCommand({"C", static_cast<int>(random() % static_cast<unsigned>(coupled + 1))});
      } else if (room > 0) {
        game.RunOneInputCommand({"P", 1 + static_cast<int>(random() % static_cast<unsigned>(room))});
      }
    }
    if (!game.Derailed) out.push_back({game.yard, game.Route, q.m, q.n});
  }
  return out;
}

template <typename Solve>
void Measure(benchmark::State& state, const std::vector<Quiz>& list, Solve solve) {
  std::vector<double> ms;
  int proven = 0, solved = 0, unsolvable = 0;
  std::size_t peak = 0, states = 0;
  for (auto _ : state) {
    ms.clear();
    proven = solved = unsolvable = 0;
    for (const Quiz& q : list) {
      const auto start = std::chrono::steady_clock::now();
      const SolveResult r = solve(q);
      ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
      solved += r.outcome == SolveResult::Outcome::Solved ? 1 : 0;
      unsolvable += r.outcome == SolveResult::Outcome::NoSolution ? 1 : 0;
      proven += r.proven ? 1 : 0;
      peak = std::max(peak, r.bytes);
      states = std::max(states, r.states);
    }
  }
  std::sort(ms.begin(), ms.end());
  state.counters["positions"] = static_cast<double>(list.size());
  state.counters["solved"] = solved;
  state.counters["proven"] = proven;
  state.counters["unsolvable"] = unsolvable;
  state.counters["median_ms"] = ms[ms.size() / 2];
  state.counters["p90_ms"] = ms[ms.size() * 9 / 10];
  state.counters["worst_ms"] = ms.back();
  // The most memory one search took (its own count of its table, positions and queue), the most
  // positions it kept, and the process's high-water mark as the system saw it.
  state.counters["peak_search_MB"] = static_cast<double>(peak) / (1 << 20);
  state.counters["max_states"] = static_cast<double>(states);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["process_maxrss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024;
}

// Quizzes of up to 12 cars, from the start as the player meets them: proven shortest wanted.
void BM_SolveQuizzesUpTo12Cars(benchmark::State& state) {
  static const std::vector<Quiz> quizzes = MakeQuizzes(12, 2);
  Measure(state, quizzes, [](const Quiz& q) { return SolveFromConsole(q.yard, q.m, q.n); });
}
BENCHMARK(BM_SolveQuizzesUpTo12Cars)->Iterations(1)->Unit(benchmark::kMillisecond);

// Positions reached by play with trains of up to 20 units: a valid string within a second.
void BM_SolvePositionsUpTo20Units(benchmark::State& state) {
  static const std::vector<Quiz> positions = MakePositions(300);
  Measure(state, positions, [](const Quiz& q) { return SolveFewest(q.yard, q.route, q.m, q.n); });
}
BENCHMARK(BM_SolvePositionsUpTo20Units)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
