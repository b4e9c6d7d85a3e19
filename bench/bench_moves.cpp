// Moves per second with the redraw gates off; compare runs of the same machine side by side.
#include <benchmark/benchmark.h>

#include "fakes.h"
#include "model/game.h"

namespace {

using kelvara::Game;
using kelvara::testing::Fakes;

struct Bench {
  Fakes f;
  Game game{f.ports(), f.settings};
  Bench() {
    game.LocoUnits = 2;
    game.TrainCars = 12;
    game.SetCars();
  }
};

// A pull of 6 units from siding 1 and the back-in into siding 2, then the way back.
void BM_CutAndAdd(benchmark::State& state) {
  Bench b;
  b.game.AddTrain(0, 1);
  int from = 1;
  for (auto _ : state) {
    const int to = 3 - from;
    b.game.CutTrain(from, 0, 6);
    b.game.AddTrain(0, to);
    from = to;
  }
  state.counters["moves/s"] = benchmark::Counter(2.0 * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CutAndAdd);

// A push of 4 car lengths into a siding with room, reset from a copy each time.
void BM_Push(benchmark::State& state) {
  Bench b;
  b.game.CutTrain(1, 0, 2);
  b.game.AddTrain(0, 2);
  const kelvara::Yard start = b.game.yard;
  for (auto _ : state) {
    b.game.yard = start;
    benchmark::DoNotOptimize(b.game.PushTrain(2, 4));
  }
  state.counters["moves/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Push);

}  // namespace
