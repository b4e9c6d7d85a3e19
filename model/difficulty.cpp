// The quiz maker by band: the real quiz maker on a silent copy of the game, tried seed by seed.
#include "model/difficulty.h"

#include "model/game.h"
#include "model/sandbox.h"
#include "model/solver.h"

namespace kelvara {

namespace {

// The par of a quiz as it stands: the console backs into siding 1 itself; the Back button's first
// back-in, into the siding the route shows, is not a move.
std::optional<int> ProvenPar(const Yard& start, int route, int m, int n, bool console, int shortest, int longest,
                             const std::atomic<bool>* cancel) {
  SolverLimits limits;
  limits.time = kBandTrySolve;
  limits.cancel = cancel;
  limits.longest = longest;  // a quiz longer than the band is of no use: that is soon known
  limits.enough = shortest - 1;  // nor one shorter, which the first searches most often find
  SolveResult r;
  if (console) {
    r = SolveFromConsole(start, m, n, limits);
  } else {
    if (route != 1 && route != 2) return std::nullopt;
    Sandbox box(start, route, m, n);
    box.game().AddTrain(kHeadShunt, route);
    r = SolveFewest(box.game().yard, route, m, n, limits);
  }
  if (r.outcome != SolveResult::Outcome::Solved) return std::nullopt;
  if (!r.proven) return static_cast<int>(r.commands.size()) < shortest ? std::optional<int>(0) : std::nullopt;
  return static_cast<int>(r.commands.size());
}

}  // namespace

BandQuiz FindBandQuiz(const Yard& yard, int route, int m, int n, bool console, const ParBand& band,
                      std::uint64_t firstSeed, const std::atomic<bool>* cancel, std::chrono::milliseconds bound) {
  BandQuiz out;
  const auto until = std::chrono::steady_clock::now() + bound;
  for (int k = 0; std::chrono::steady_clock::now() < until; ++k) {
    if (cancel != nullptr && cancel->load()) break;
    const std::uint64_t seed = firstSeed + static_cast<std::uint64_t>(k) * 0x9E3779B97F4A7C15ull;
    const int level = band.levels[static_cast<std::size_t>(k) % band.levels.size()];
    Sandbox box(yard, route, m, n);
    Game& g = box.game();
    g.settings().QuestionLevel = level;
    g.lib().Seed(seed);
    g.MakeQuiz();
    ++out.tries;
    if (g.Derailed) continue;
    const auto par = ProvenPar(g.yard, g.Route, m, n, console, band.low, band.high, cancel);
    if (par && *par >= band.low && *par <= band.high) {
      out.found = true;
      out.seed = seed;
      out.level = level;
      out.par = *par;
      break;
    }
  }
  return out;
}

}  // namespace kelvara
