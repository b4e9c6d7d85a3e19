// The quiz maker by band: the real quiz maker on a silent copy of the game, tried seed by seed.
#include "model/difficulty.h"

#include "model/game.h"
#include "base/nullports.h"
#include "model/rules.h"
#include "model/solver.h"

namespace kelvara {

namespace {

constexpr std::size_t kQuizMakingWork = 200;

// The par of a quiz as it stands: the console backs into siding 1 itself; the Back button's first
// back-in, into the siding the route shows, is not a move.
std::optional<int> ProvenPar(const Yard& start, int route, int m, int n, bool console, int shortest, int longest,
                             const std::atomic<bool>* cancel, std::size_t work, std::size_t& used,
                             std::chrono::steady_clock::time_point until) {
  SolverLimits limits;
  limits.work = work;
  limits.time = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
  limits.cancel = cancel;
  limits.longest = longest;  // a quiz longer than the band is of no use: that is soon known
  limits.enough = shortest - 1;  // nor one shorter, which the first searches most often find
  SolveResult r;
  if (console) {
    r = SolveFromConsole(start, m, n, limits);
  } else {
    if (route != 1 && route != 2) return std::nullopt;
    r = SolveFewest(rules::AddTrain(start, kHeadShunt, route).yard, route, m, n, limits);
  }
  used += r.work;
  if (r.outcome != SolveResult::Outcome::Solved) return std::nullopt;
  if (!r.proven) return static_cast<int>(r.commands.size()) < shortest ? std::optional<int>(0) : std::nullopt;
  return static_cast<int>(r.commands.size());
}

}  // namespace

BandQuiz FindBandQuiz(const Yard& yard, int route, int m, int n, bool console, const ParBand& band,
                      std::uint64_t firstSeed, const std::atomic<bool>* cancel, const BandBudget& budget) {
  BandQuiz out;
  const auto until = std::chrono::steady_clock::now() + budget.ceiling;
  for (int k = 0; out.work < budget.work && std::chrono::steady_clock::now() < until; ++k) {
    if (cancel != nullptr && cancel->load()) break;
    const std::uint64_t seed = firstSeed + static_cast<std::uint64_t>(k) * 0x9E3779B97F4A7C15ull;
    const int level = band.levels[static_cast<std::size_t>(k) % band.levels.size()];
    // The quiz New Game makes with this seed and level, drawn as the game draws it.
    NullPorts quiet;
    MyLibClass random(quiet.ports().clock);
    random.Seed(seed);
    const std::vector<rules::QuizMaking> makings =
        rules::MakeQuiz({yard, route, m, n}, level, kMaxQuizMoves, Game::kQuizRemakes,
                        [&random](double lower, double upper) { return random.GetRandom(lower, upper); });
    const rules::Quiz& made = makings.back().quiz;
    ++out.tries;
    // Making a quiz costs about as much as a search's 200 positions: a train whose quizzes all
    // solve at once spends its budget too.
    out.work += kQuizMakingWork;
    if (made.failed) continue;
    const std::size_t left = budget.work - std::min(out.work, budget.work);
    const auto par = ProvenPar(made.yard, route, m, n, console, band.low, band.high, cancel,
                               std::min(budget.tryWork, left), out.work, until);
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
