// The game's records: each game as it ends, and the game in progress saved and taken up again.
#include <algorithm>
#include <cstdio>
#include <string>

#include "base/paths.h"
#include "model/game.h"

namespace kelvara {

namespace {

// Every unit of the locomotive 1..m and every car 1..n once on the track, nothing else anywhere.
bool HoldsTheTrain(const Yard& yard, int units, int cars) {
  std::vector<int> locos(static_cast<std::size_t>(units) + 1), seen(static_cast<std::size_t>(cars) + 1);
  for (int l = 0; l < kLines; ++l) {
    for (int p = 0; p <= kLastPosition; ++p) {
      const Slot s = yard.at(l, p);
      if (s.IsEmpty()) continue;
      if (p >= kVisible || l == kLines - 1) return false;
      auto& count = s.IsLoco() ? locos : seen;
      if (s.number() < 1 || s.number() >= static_cast<int>(count.size())) return false;
      if (++count[static_cast<std::size_t>(s.number())] > 1) return false;
    }
  }
  return std::all_of(locos.begin() + 1, locos.end(), [](int n) { return n == 1; }) &&
         std::all_of(seen.begin() + 1, seen.end(), [](int n) { return n == 1; });
}

bool ValidRoute(int route) { return route >= -1 && route <= 2; }

}  // namespace

TrainIdentity Game::CurrentTrain() const {
  // Worked out once a train: it reads every car picture.
  if (!trainDigest_) trainDigest_ = TRD.ContentDigest();
  return {GetFileName(TRD.TrainFileName), *trainDigest_};
}

std::optional<std::string> Game::ContentDigestOf(const TrainIdentity& old) {
  if (old.scheme != 1) return std::nullopt;
  for (const TrainFileEntry& t : ListTrainFiles()) {
    if (GetFileName(t.path) != old.file) continue;
    // Loaded exactly as the game loads its train: the old digest took in where each car was found.
    TRDClass side(dataPorts());
    side.NoErrorMsg = true;
    side.NoLoadCouplerBellows = TRD.NoLoadCouplerBellows;
    side.Finder = WithFallback(FindCarFile, settings_.TrdFolder, DefaultSetFolder);
    side.TrainFileName = t.path;
    if (side.LoadTrd() && side.FolderDigest() == old.digest) return side.ContentDigest();
  }
  return std::nullopt;
}

std::int64_t Game::PlayedMs() {
  return static_cast<std::uint32_t>(clockStopped_.value_or(ports_.clock.TickCount()) - StartTick);
}

bool Game::Played() const {
  // Any move made, taken back or not, and what a move did before it could be recorded (a push
  // that derailed in the middle of a string).
  const auto moved = [this](const Yard& y, int route) { return !(y == StartYard) || route != StartRoute; };
  return moved(yard, Route) ||
         std::any_of(history_.begin(), history_.end(), [&](const HistoryEntry& e) { return moved(e.yard, e.route); });
}

void Game::KeepInProgress() {
  if (Recorder == nullptr || !GameActive || !Played()) return;
  if (const std::optional<SavedGame> g = SaveGame()) Recorder->Keep(*g);
}

std::optional<GameRecord> Game::RecordOfGame(GameEnd how) {
  if (!GameActive || Recorder == nullptr || !Played()) return std::nullopt;
  GameRecord r;
  r.playedMs = PlayedMs();
  r.train = CurrentTrain();
  r.trainName = TRD.TrainComment;
  r.locoSet = Loco.LocoComment();
  r.level = settings_.QuestionLevel;
  r.startPosition = YardText(StartYard) + "@" + std::to_string(StartRoute);
  r.code = QuizCodeText().value_or("");
  r.daily = DailyDay;
  r.moves = MovesUsed;
  r.fewest = FewestMoves;
  r.fewestProven = FewestProven;
  r.hints = HintsUsed;
  r.undos = UndosUsed;
  r.end = how;
  return r;
}

void Game::Submit(const std::optional<GameRecord>& record) {
  LastRecord = {};
  if (record && Recorder != nullptr) LastRecord = Recorder->GameEnded(*record);
}

std::optional<SavedGame> Game::SaveGame() {
  // Between moves only: a move that runs ends first, even when the window closes.
  if (!GameActive || MakingQuiz || busy_ || history_.empty()) return std::nullopt;
  SavedGame g;
  g.trainPath = TRD.TrainFileName;
  g.train = CurrentTrain();
  g.locoSetIndex = Loco.LocoSetIndex();
  g.locoSet = Loco.LocoComment();
  g.level = settings_.QuestionLevel;
  g.startYard = YardText(StartYard);
  g.startRoute = StartRoute;
  g.yard = YardText(yard);
  g.route = Route;
  g.ucount = ports_.status.Panel("UCount");
  g.moves = MovesUsed;
  g.hints = HintsUsed;
  g.undos = UndosUsed;
  g.playedMs = PlayedMs();
  g.dcount = DCount;
  g.fewest = FewestMoves;
  g.fewestProven = FewestProven;
  g.fewestConsole = fewestConsole_;
  g.restartOffered = restartOffered_;
  for (const HistoryEntry& e : history_) g.history.push_back({YardText(e.yard), e.route, e.ucount, e.moves, e.label});
  g.historyAt = historyAt_;
  g.answers.assign(AnserList.begin(), AnserList.begin() + AnserCount);
  return g;
}

std::optional<int> Game::ResumeGame(const SavedGame& g) {
  // A game kept by an earlier version names its train by the digest of its folder.
  const TrainIdentity loaded = g.train.scheme == 1 ? TrainIdentity{CurrentTrain().file, TRD.FolderDigest(), 1} : CurrentTrain();
  if (!(g.train == loaded) || g.locoSet != Loco.LocoComment() || TrainCars == 0) return 6110;
  // Nothing a saved game holds is taken on trust: every position must be this train, whole.
  const auto start = YardFromText(g.startYard);
  const auto now = YardFromText(g.yard);
  const bool fits = start && now && HoldsTheTrain(*start, LocoUnits, TrainCars) &&
                    HoldsTheTrain(*now, LocoUnits, TrainCars) && ValidRoute(g.route) && ValidRoute(g.startRoute) &&
                    !g.history.empty() && g.history.size() <= kHistoryMost && g.historyAt < g.history.size() &&
                    g.answers.size() <= static_cast<std::size_t>(kAnserListSize) && g.moves >= 0 && g.hints >= 0 &&
                    g.undos >= 0 && g.playedMs >= 0 && g.dcount >= 0 && g.dcount <= kMaxQuizMoves;
  if (!fits) return 6120;
  std::vector<HistoryEntry> steps;
  for (const SavedGame::Step& s : g.history) {
    const auto y = YardFromText(s.yard);
    if (!y || !HoldsTheTrain(*y, LocoUnits, TrainCars) || !ValidRoute(s.route) || s.moves < 0) return 6120;
    steps.push_back({*y, s.route, s.ucount, s.moves, s.label});
  }
  if (!(steps[g.historyAt].yard == *now)) return 6120;

  StartYard = *start;
  StartRoute = g.startRoute;
  yard = *now;
  Route = g.route;
  ports_.scene.ShowSign(Route);
  ports_.status.SetPanel("UCount", g.ucount);
  MovesUsed = g.moves;
  HintsUsed = g.hints;
  UndosUsed = g.undos;
  DCount = g.dcount;
  ports_.status.SetPanel("DCount", std::to_string(DCount));
  FewestMoves = g.fewest;
  FewestProven = g.fewestProven;
  fewestConsole_ = g.fewestConsole;
  plan_.reset();  // the hint searches again from the position on the screen
  Cancel(parJob_);
  restartOffered_ = g.restartOffered;
  history_ = std::move(steps);
  historyAt_ = g.historyAt;
  AnserCount = static_cast<int>(g.answers.size());
  std::copy(g.answers.begin(), g.answers.end(), AnserList.begin());
  HintCells.clear();
  HintText.clear();
  Derailed = false;
  gameOver_ = false;
  completed_ = false;
  TrainChanged = false;
  GameActive = true;
  StartTick = ports_.clock.TickCount() - static_cast<std::uint32_t>(g.playedMs);
  clockStopped_.reset();
  ports_.controls.SetText("cmbCutTrainNum", "");
  // A game left before its fewest moves were found has them looked for again.
  if (FewestMoves < 0) {
    ComputeFewest(fewestConsole_);
  } else {
    ShowPar();
  }
  PositionChanged();
  Timer1_Timer();
  ports_.scene.DrawRefresh();
  MsgGuide.Msg(Msg(6100));
  UpdateControls();
  return std::nullopt;
}

}  // namespace kelvara
