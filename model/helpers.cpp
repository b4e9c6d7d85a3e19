// Play helpers: the fewest moves of a quiz, hints from a shortest string, undo and redo.
#include <algorithm>
#include <chrono>
#include <thread>
#include <string>

#include "model/durations.h"
#include "model/game.h"
#include "model/rules.h"

namespace kelvara {

std::string Fill(std::string text, const std::string& one, const std::string& two) {
  for (const auto& [mark, value] : {std::pair<std::string, std::string>{"%1", one}, {"%2", two}}) {
    for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size())) {
      text.replace(at, mark.size(), value);
    }
  }
  return text;
}

namespace {

// The cells (line x 20 + slot) of what a command moves: the locomotive and the cars it pulls, or
// the locomotive and the cars coupled to it that a push moves first.
std::vector<int> MovedCells(const Yard& yard, int line, int locoUnits, const OneInputCommand& c) {
  std::vector<int> cells;
  const int p = yard.FirstLocoPosition(line);
  if (p < 0) return cells;
  const int units = c.letter == "C" ? locoUnits + c.number : yard.GetCoupledCarsNum(line);
  for (int k = p; k < p + units && k < kVisible; ++k) cells.push_back(line * kVisible + k);
  return cells;
}

}  // namespace

std::string PlainCaption(std::string caption) {
  if (const auto open = caption.find("(&"); open != std::string::npos) caption.erase(open);
  caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
  return caption;
}

std::string Game::MovesText() const {
  const std::string used = std::to_string(MovesUsed);
  std::string text = FewestMoves < 0 ? Fill(Msg(5940), used)
                                     : Fill(Msg(FewestProven ? 5820 : 5880), used, std::to_string(FewestMoves));
  if (HintsUsed > 0) text += Fill(Msg(5830), std::to_string(HintsUsed));
  return text;
}

// ---- the one rule ------------------------------------------------------------------------------

bool Game::CanHint() const {
  // Asked by the table in a settled phase, and by the commands themselves while they run.
  return GameActive && !MakingQuiz && !closing_ && busy_ != Phase::Completing && busy_ != Phase::DepartureRun;
}
bool Game::CanUndo() const { return CanHint() && historyAt_ > 0; }
bool Game::CanRedo() const { return CanHint() && historyAt_ + 1 < history_.size(); }

// ---- history -----------------------------------------------------------------------------------

void Game::StartHistory() {
  history_.clear();
  historyAt_ = 0;
  MovesUsed = 0;
  HintsUsed = 0;
  UndosUsed = 0;
  HintCells.clear();
  HintText.clear();
  RecordStep("Start");
}

void Game::RecordStep(std::string label) {
  if (!history_.empty()) history_.resize(historyAt_ + 1);  // a new move drops what could be redone
  history_.push_back({yard, Route, ports_.status.Panel("UCount"), MovesUsed, std::move(label)});
  // A game of thousands of moves takes back its last few thousand: what is kept stays a size a
  // saved game may have.
  if (history_.size() > kHistoryMost) history_.erase(history_.begin(), history_.end() - kHistoryMost);
  historyAt_ = history_.size() - 1;
  HintCells.clear();
  PositionChanged();
}

void Game::Restore(const HistoryEntry& entry) {
  yard = entry.yard;
  // The route as the signs showed it, without the five seconds of a stop on the head shunt.
  Route = entry.route;
  ports_.scene.ShowSign(entry.route);
  ports_.status.SetPanel("UCount", entry.ucount);
  MovesUsed = entry.moves;
  ports_.controls.SetText("cmbCutTrainNum", "");
  HintCells.clear();
  PositionChanged();
  ports_.scene.DrawRefresh();
}

void Game::mnuGameUndo_Click() {
  if (!CanUndo()) return;
  const std::string undone = history_[historyAt_].label;
  ++UndosUsed;
  Restore(history_[--historyAt_]);
  // Said in the guide too: a hint shown there belonged to the position that is gone.
  const std::string line = Msg(5840) + " : " + undone;
  MsgGuide.Msg(line);
  LogOut(line);
}

void Game::mnuGameRedo_Click() {
  if (!CanRedo()) return;
  Restore(history_[++historyAt_]);
  const std::string line = Msg(5850) + " : " + history_[historyAt_].label;
  MsgGuide.Msg(line);
  LogOut(line);
}

// ---- the solver in the game --------------------------------------------------------------------

namespace {

// Where a shortest string for the position on the screen starts: the console begins every string
// with the back into siding 1 itself; the Back button's back-in after a pull is that pull's, not a
// command, so a plan starts after it. Nothing when the route shows no siding to back into.
std::optional<std::pair<Yard, int>> PlanStart(const Yard& yard, int route, bool console) {
  if (console) return std::pair{yard, route};
  if (yard.GetLocoNum(kHeadShunt) == 0) return std::pair{yard, route};
  if (route != 1 && route != 2) return std::nullopt;
  return std::pair{rules::AddTrain(yard, kHeadShunt, route).yard, route};
}

}  // namespace

Game::~Game() {
  Cancel(parJob_);
  Cancel(hereJob_);
}

void Game::Cancel(std::shared_ptr<SolveJob>& job) {
  if (job) job->cancel = true;
  job.reset();
}

std::shared_ptr<Game::SolveJob> Game::StartSolve(const Yard& from, int route, bool console,
                                                 std::function<void(SolveJob&)> then) {
  auto job = std::make_shared<SolveJob>();
  job->yard = from;
  job->route = route;
  job->console = console;
  const auto start = PlanStart(from, route, console);
  // The search itself touches nothing of the game: it has the position, the train's size and
  // its call-off flag.
  auto work = [job, start, m = LocoUnits, n = TrainCars] {
    if (!start || job->cancel) return;
    SolverLimits limits;
    limits.cancel = &job->cancel;
    const auto& [yard, route] = *start;
    const SolveResult r =
        job->console ? SolveFromConsole(yard, m, n, limits) : SolveFewest(yard, route, m, n, limits);
    if (r.outcome == SolveResult::Outcome::Solved) job->plan = Plan{yard, route, job->console, r.commands, r.proven};
  };
  auto done = [this, job, then = std::move(then), alive = std::weak_ptr<char>(alive_)] {
    if (alive.expired()) return;
    job->done = true;
    if (job->cancel) return;
    // An answer is taken in as a move is: its redraw may wait a frame, and nothing the player
    // presses meanwhile may run in the middle of it. Inside a move or a sequence, that one holds.
    std::optional<Busy> hold;
    if (!busy_) hold.emplace(*this, Phase::Moving);
    then(*job);
  };
  if (Worker == nullptr) {
    work();
    done();
  } else {
    Worker->Post(std::move(work), std::move(done));
  }
  return job;
}

std::optional<Game::Plan> Game::FollowPlan(bool console) const {
  if (!plan_ || plan_->console != console) return std::nullopt;
  // Every console string begins again with the back into line 1, so a plan for it holds only
  // for the position it was made for.
  if (console) return yard == plan_->yard ? plan_ : std::nullopt;
  // The player may have played any number of the plan's commands since: replay them on a copy.
  rules::Board copy{plan_->yard, plan_->route, LocoUnits, TrainCars};
  for (std::size_t k = 0; k <= plan_->commands.size(); ++k) {
    if (copy.yard == yard && copy.route == Route) {
      Plan rest = *plan_;
      rest.yard = yard;
      rest.route = Route;
      rest.commands.erase(rest.commands.begin(), rest.commands.begin() + static_cast<std::ptrdiff_t>(k));
      return rest;
    }
    if (k < plan_->commands.size()) copy = rules::Play(copy, plan_->commands[k]).board;
  }
  return std::nullopt;
}

std::optional<std::pair<Yard, int>> Game::ParProblem(bool console) const {
  if (!console) return PlanStart(StartYard, StartRoute, false);
  // The console's own first step: the route to siding 1 and the back-in.
  const rules::Board start = rules::ConsoleStart({StartYard, -1, LocoUnits, TrainCars});
  return std::pair{start.yard, start.route};
}

void Game::ComputeFewest(bool console) {
  Cancel(parJob_);
  FewestMoves = -1;
  FewestProven = false;
  fewestConsole_ = console;
  plan_.reset();
  // The console and the buttons pose the same problem when the quiz's route is siding 1: the
  // answer found for one is the other's, proof and all.
  const auto problem = ParProblem(console);
  for (const KnownPar& known : pars_) {
    if (problem && known.yard == problem->first && known.route == problem->second) {
      FewestMoves = known.moves;
      FewestProven = known.proven;
      ShowPar();
      return;
    }
  }
  if (console || StartRoute == 1 || StartRoute == 2) {
    parJob_ = StartSolve(StartYard, StartRoute, console, [this, problem](SolveJob& job) {
      parJob_.reset();
      if (job.plan) {
        FewestMoves = static_cast<int>(job.plan->commands.size());
        FewestProven = job.plan->proven;
        if (problem) pars_.push_back({problem->first, problem->second, FewestMoves, FewestProven});
        if (!plan_) plan_ = job.plan;  // a hint asked for since has a plan of its own
      }
      ShowPar();
    });
    if (parJob_ && parJob_->done) parJob_.reset();
  }
  ShowPar();
}

void Game::ForgetPar() {
  Cancel(parJob_);
  pars_.clear();
  FewestMoves = -1;
  FewestProven = false;
  plan_.reset();
  PositionChanged();
}

void Game::SettingsChanged() {
  if (GameActive && fewestConsole_ != settings_.OneInput) ComputeFewest(settings_.OneInput);
  PositionChanged();
}

void Game::WaitForPar() {
  // The search gives up within its second; the wait is bounded well past that all the same, in
  // real time: the game's clock may run compressed.
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(durations::kParLongest);
  while (ParPending() && !closing_ && std::chrono::steady_clock::now() < until) {
    lib_.Wait1ms(durations::kTunePoll);
    if (ParPending()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void Game::PositionChanged() {
  Cancel(hereJob_);
  // A hint that waited for its search is called off with it: the guide stops saying it searches.
  if (hintWaiting_ && ports_.status.Panel("Msg") == Msg(5890)) MsgGuide.Msg("");
  hintWaiting_ = false;
  FewestFromHere = -1;
  FewestFromHereProven = false;
  if (settings_.ParFromHere && GameActive && !Derailed) {
    hereJob_ = StartSolve(yard, Route, settings_.OneInput, [this](SolveJob& job) {
      hereJob_.reset();
      if (job.plan) {
        FewestFromHere = static_cast<int>(job.plan->commands.size());
        FewestFromHereProven = job.plan->proven;
      }
      ShowPar();
    });
    if (hereJob_ && hereJob_->done) hereJob_.reset();
  }
  ShowPar();
}

std::string Game::ParText() const {
  auto count = [this](bool pending, int moves, bool proven) {
    if (pending) return std::string("…");
    if (moves < 0) return std::string("?");
    return (proven ? "" : "≤") + std::to_string(moves);
  };
  // Nothing before the first quiz, or after a change of train.
  if (TrainCars <= 0 || (!GameActive && FewestMoves < 0 && !ParPending())) return {};
  // The moves made beside the par, counted alike (pulls and pushes, or commands), so that the two
  // can be compared; the pull counter of its own panel counts something else.
  std::string text = Fill(Msg(7030), std::to_string(MovesUsed), count(ParPending(), FewestMoves, FewestProven));
  if (settings_.ParFromHere && GameActive) {
    text += Fill(Msg(7010), count(hereJob_ && !hereJob_->done, FewestFromHere, FewestFromHereProven));
  }
  return text;
}

void Game::ShowPar() { ports_.status.SetPanel("Par", ParText()); }

std::string Game::Describe(const OneInputCommand& c, int otherLine) const {
  const std::string n = std::to_string(c.number);
  if (c.letter == "P") return Fill(Msg(5790), Fill(Msg(c.number == 1 ? 5990 : 6000), n));
  if (c.number == 0) return Fill(Msg(5980), std::to_string(otherLine));
  return Fill(Msg(5780), Fill(Msg(c.number == 1 ? 5960 : 5970), n), std::to_string(otherLine));
}

void Game::mnuGameHint_Click() {
  if (!CanHint() || hintWaiting_) return;  // a hint waiting for its search is asked for already
  ++HintsUsed;
  HintCells.clear();
  HintLine.clear();
  const bool console = settings_.OneInput;
  if (!console && yard.GetLocoNum(kHeadShunt) > 0) {
    // Half way through a C: the cars pulled out go back in, into the siding the route shows.
    for (int k = 0; k < kVisible; ++k) {
      if (!yard.at(kHeadShunt, k).IsEmpty()) HintCells.push_back(k);
    }
    ShowHint(Fill(Msg(5800), std::to_string(Route)), PlainCaption(Msg(1240)));
    return;
  }
  if (std::optional<Plan> plan = FollowPlan(console)) {
    ShowPlanHint(plan, console);
    return;
  }
  // A search: on the worker, the guide saying so until the hint follows.
  MsgGuide.Msg(Msg(5890));
  hintWaiting_ = true;
  Cancel(hereJob_);
  hereJob_ = StartSolve(yard, Route, console, [this](SolveJob& job) {
    hereJob_.reset();
    if (job.plan) {
      FewestFromHere = static_cast<int>(job.plan->commands.size());
      FewestFromHereProven = job.plan->proven;
      ShowPar();
    }
    if (!hintWaiting_) return;
    hintWaiting_ = false;
    // The settings may have changed the way of playing meanwhile (the options window): asked again.
    if (job.console != settings_.OneInput || !CanHint()) {
      MsgGuide.Msg("");
      return;
    }
    if (job.plan) plan_ = job.plan;
    ShowPlanHint(job.plan, job.console);
  });
  if (hereJob_ && hereJob_->done) hereJob_.reset();
}

void Game::ShowPlanHint(const std::optional<Plan>& plan, bool console) {
  if (!plan) {
    HintText = Msg(5810);
    hintYard_ = yard;
    hintRoute_ = Route;
    MsgGuide.Msg(HintText);
    ports_.scene.DrawRefresh();
    return;
  }
  plan_ = plan;
  HintLine = plan->commands;
  // The buttons' own captions (texts 1250 and 1240), without their access keys.
  const std::string front = PlainCaption(Msg(1250)), back = PlainCaption(Msg(1240));
  std::string words, typed;
  if (plan->commands.empty()) {
    // Nothing left but the back-in that completes the train.
    words = Fill(Msg(5800), "1");
    typed = console ? Fill(Msg(5870), "") : back;
  } else {
    // The console first sets the route to line 1: with the locomotive in line 2 the string's
    // first C does no more than turn the route back to it (the solver knows; the player should).
    std::size_t first = 0;
    int line = console ? 1 : Route;
    if (console && yard.GetLocoNum(1) == 0 && yard.GetLocoNum(2) > 0 && plan->commands.size() > 1) {
      words = Fill(Msg(5950), "2");
      first = 1;
      line = 2;
    }
    const OneInputCommand& next = plan->commands[first];
    words += Describe(next, line == 1 ? 2 : 1);
    if (console) {
      typed = Fill(Msg(5870), CommandsText(plan->commands));
    } else if (next.letter == "C") {
      typed = front + " " + std::to_string(next.number) + ", " + back + " (C" + std::to_string(next.number) + ")";
    } else {
      typed = back + " " + std::to_string(next.number) + " (P" + std::to_string(next.number) + ")";
    }
    if (yard.GetLocoNum(line) > 0) HintCells = MovedCells(yard, line, LocoUnits, next);
  }
  if (!plan->proven) words += " (" + Msg(5860) + ")";
  ShowHint(words, typed);
}

void Game::ShowHint(const std::string& words, const std::string& typed) {
  HintText = Msg(5770) + " : " + words + " — " + typed;
  hintYard_ = yard;
  hintRoute_ = Route;
  MsgGuide.Msg(HintText);
  LogOut(HintText);
  ports_.scene.DrawRefresh();
}

}  // namespace kelvara
