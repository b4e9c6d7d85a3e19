// Making the quiz, the game commands, and the completion of a game.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <chrono>
#include <memory>
#include <thread>

#include "model/durations.h"
#include "model/game.h"
#include "model/rules.h"
#include "services/mylog.h"
#include "sound/midimci.h"

namespace kelvara {

namespace {

std::string N(long long v) { return std::to_string(v); }

}  // namespace

void Game::SetSign(int state) {
  ports_.scene.ShowSign(state);
  Route = state;
  if (state == 0) lib_.Wait1ms(durations::kRouteHold);
}

rules::Draw Game::Draw() {
  return [this](double lower, double upper) { return lib_.GetRandom(lower, upper); };
}

void Game::DisMakeUp() {
  if (yard.GetLocoNum(0) == 0 && yard.GetLocoNum(1) == 0 && yard.GetLocoNum(2) == 0) return;
  PlayQuiz(rules::MixUp(yard, LocoUnits, settings_.QuestionLevel, kMaxQuizMoves, Draw()));
}

void Game::PlayQuiz(const rules::Quiz& quiz) {
  if (quiz.steps.empty()) return;  // no locomotive to make it with
  MakingQuiz = true;
  ports_.controls.SetText("cmbCutTrainNum", "");
  for (const rules::QuizStep& step : quiz.steps) {
    switch (step.kind) {
      case rules::QuizStep::Kind::Count:
        DCount = step.number;
        ports_.status.SetPanel("DCount", N(DCount));
        AnserCount = 0;
        break;
      case rules::QuizStep::Kind::Guide: MsgGuide.Msg(Msg(5710) + " - " + N(step.number)); break;
      case rules::QuizStep::Kind::Move: PlayMove(step.move); break;
      case rules::QuizStep::Kind::Wait: lib_.Wait1ms(step.number); break;
      case rules::QuizStep::Kind::Answer:
        if (AnserCount < kAnserListSize) AnserList[static_cast<std::size_t>(AnserCount++)] = step.text;
        break;
      case rules::QuizStep::Kind::Failed:
        Box(Msg(5510) + "\r\n" + Msg(5520), MsgButtons::Ok, MsgIcon::Critical, Msg(5530));
        ports_.log.WriteLine(Msg(5510));
        MakingQuiz = false;
        return;
      case rules::QuizStep::Kind::Done: break;
    }
  }
  MsgGuide.Msg("");
  MakingQuiz = false;
}

std::optional<int> StartProblem(const Yard& yard, int route, int m, int n) {
  if (route != 1 && route != 2) return 7320;
  // The locomotive's units stand together, numbered from the junction end of their line.
  int line = -1, first = -1;
  for (int l = 0; l < 3 && line < 0; ++l) {
    first = yard.FirstLocoPosition(l);
    if (first >= 0) line = l;
  }
  bool placed = line >= 0 && yard.GetLocoNum(0) + yard.GetLocoNum(1) + yard.GetLocoNum(2) == m;
  for (int u = 0; placed && u < m; ++u) placed = first + u < kVisible && yard.at(line, first + u) == Slot::Loco(u + 1);
  if (placed && line == kHeadShunt) {
    // A quiz as it is made: the locomotive alone on the head shunt, against the junction.
    placed = first == kVisible - m && yard.GetCarNum(kHeadShunt) == 0;
  } else if (placed) {
    // Or as the game stands after a Back: in the siding the route shows, the head shunt empty.
    placed = line == route && yard.GetCarNum(kHeadShunt) == 0;
    for (int k = 0; placed && k < first; ++k) placed = yard.at(line, k).IsEmpty();
  }
  if (!placed) return 7330;
  if (SolvedBeforeAnyMove(yard, route, n)) return 7340;
  return std::nullopt;
}

void Game::mnuGameNewGame_Click() {
  if (!TrainChanged &&
      Box(Msg(5250), MsgButtons::YesNo, MsgIcon::Information) == MsgAnswer::Yes) {
    mnuGameChangeTrainAuto_Click();
  }
  SetCars();
  mnuGameReDisMakeUp_Click();
}

void Game::mnuGameReDisMakeUp_Click() {
  {
    Busy making(*this, Phase::MakingQuiz);
    // A derailment belongs to the game it ended; the quiz made now is kept unless it derails itself.
    Derailed = false;
    gameOver_ = false;
    completed_ = false;
    EndGame(GameEnd::Left);
    GameActive = false;  // the game in progress, if any, ends here: its clock stops
    DailyDay.clear();
    ForgetPar();
    UpdateControls();
    ports_.sound.StopSound();

    if (settings_.MakeLog && MyLog != nullptr) {
      LogOutFst(*MyLog, lib_, LocoListFolder(), TRD.TrainFileName);
    }
    // By the band of the fewest moves: the seed and the level under which the quiz maker makes a
    // quiz of the band, found on copies of the game; the quiz is then made here as by the level.
    const int level = settings_.QuestionLevel;
    std::string missed;
    if (settings_.Difficulty >= 1 && settings_.Difficulty <= static_cast<int>(kParBands.size())) {
      const ParBand& band = kParBands[static_cast<std::size_t>(settings_.Difficulty - 1)];
      const BandQuiz found = ChooseBandQuiz(band);
      if (found.found) {
        lib_.Seed(found.seed);
        settings_.QuestionLevel = found.level;
      } else if (!closing_) {
        missed = Fill(Msg(7160), BandName(band));
      }
    }
    MakeQuiz();
    settings_.QuestionLevel = level;
    ports_.sound.Beep();
    if (!Derailed) {
      DimCopy2(yard, StartYard);
      StartRoute = Route;
      ComputeFewest(settings_.OneInput);
    }
    bandMissed_ = missed;
  }
  mnuGameRestart_Click();
  if (!bandMissed_.empty()) {
    MsgGuide.Msg(bandMissed_);
    LogOut(bandMissed_);
  }
}

void Game::MakeQuiz() {
  // A quiz that came out in order (a short train mixed by few moves can) is made again, from
  // the train's first placement as New Game makes it: mixing on from an ordered yard can keep
  // it ordered for ever (one move that finds its siding empty). The answer list is the last
  // making's, which starts there.
  const rules::Board board{yard, Route, LocoUnits, TrainCars};
  for (const rules::QuizMaking& making :
       rules::MakeQuiz(board, settings_.QuestionLevel, kMaxQuizMoves, kQuizRemakes, Draw())) {
    if (making.placed) SetCars();
    for (const rules::Outcome& pull : making.locoPulls) PlayMove(pull);
    PlayQuiz(making.quiz);
    if (making.again) ports_.log.WriteLine("Quiz came out solved: made again");
  }
}

std::string Game::BandName(const ParBand& band) const {
  return Fill(Msg(band.text), std::to_string(band.low), std::to_string(band.high));
}

BandQuiz Game::ChooseBandQuiz(const ParBand& band) {
  MsgGuide.Msg(Fill(Msg(7150), BandName(band)));
  ports_.clock.PumpOnce();
  // Where the tries start comes from the game's own random numbers: a seeded game makes the
  // same quizzes by band too.
  std::uint64_t firstSeed = 0;
  for (int part = 0; part < 3; ++part) firstSeed = firstSeed << 16 | static_cast<std::uint64_t>(lib_.GetRandom(0, 65535));
  struct Search {
    std::atomic<bool> cancel{false};
    bool done = false;
    BandQuiz found;
  };
  auto search = std::make_shared<Search>();
  auto work = [search, firstSeed, band, from = yard, route = Route, m = LocoUnits, n = TrainCars,
               console = settings_.OneInput, budget = BandSearch] {
    search->found = FindBandQuiz(from, route, m, n, console, band, firstSeed, &search->cancel, budget);
  };
  auto done = [search] { search->done = true; };
  if (Worker == nullptr) {
    work();
    done();
  } else {
    Worker->Post(std::move(work), std::move(done));
    // The window answers meanwhile; the controls are off while the quiz is made.
    const auto until = std::chrono::steady_clock::now() + BandSearch.ceiling + std::chrono::seconds(2);
    while (!search->done && !closing_ && std::chrono::steady_clock::now() < until) {
      lib_.Wait1ms(durations::kTunePoll);
      if (!search->done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    search->cancel = true;
    if (!search->done) return {};
  }
  return search->found;
}

void Game::PlayTune(const char* name) {
  if (MIDI == nullptr || SoundFailed) return;
  // A tune that did not load is not played: its box has said why already.
  std::int32_t err = MIDI->LoadSoundFromeResource(name);
  if (err == 0) err = MIDI->PlaySound();
  if (err > 0) SoundOff();
}

void Game::SoundOff() {
  Box(Msg(5200), MsgButtons::Ok, MsgIcon::Information);
  // Off for this run: the settings file keeps what the player chose.
  if (!settings_.SoundChosen) settings_.SoundChosen = AppSettings::Sounds{settings_.GameSound, settings_.SuccessSound};
  settings_.GameSound = false;
  settings_.SuccessSound = false;
  SoundFailed = true;
}

void Game::ClearStatus() {
  ports_.status.SetPanel("UCount", "0");
  ports_.status.SetPanel("Time", PlayTimeText(0));
  MsgGuide.Msg("");
  HintCells.clear();
  HintText.clear();
}

void Game::mnuGameRestart_Click() {
  // A game played again from its start is a new game: the one in progress is left.
  EndGame(GameEnd::Left);
  DimCopy2(StartYard, yard);
  // The quiz's own route with it, or its fewest moves would count from another siding.
  if ((StartRoute == 1 || StartRoute == 2) && Route != StartRoute) {
    Route = StartRoute;
    ports_.scene.ShowSign(Route);
  }
  Derailed = false;  // the quiz is played again from its start: no derailment in it yet
  gameOver_ = false;
  completed_ = false;
  restartOffered_ = false;
  ClearStatus();  // what the game before said is gone with it
  ports_.scene.DrawRefresh();
  if (settings_.GameSound) PlayTune("railway.mid");
  if (settings_.OneInput) MsgGuide.Msg(Msg(5720));

  StartTick = ports_.clock.TickCount();
  clockStopped_.reset();
  GameActive = true;
  TrainChanged = false;
  StartHistory();
  UpdateControls();
}

bool Game::ChkGameEnd() {
  if (!TrainComplete(yard, TrainCars)) return false;
  CompleteSequence(yard.GetLocoAfterPosition(1) == kVisible ? 2 : 1);
  return true;
}

void Game::CompleteSequence(int /*line*/) {
  std::string counts;
  {
    Busy completing(*this, Phase::Completing);
    ports_.sound.StopSound();
    if (MIDI != nullptr && !SoundFailed) {
      PlayTune("COMPLETE.MID");
      // The fanfare plays to its end before the game goes on; the window stays responsive. An
      // output that stopped mid-tune (a sound server gone) leaves it "playing" for ever: the game
      // goes on.
      for (int waited = 0; waited < durations::kFanfareLongest && MIDI != nullptr && !SoundFailed &&
                           MIDI->IsMode() == "playing" && !closing_;
           waited += durations::kTunePoll) {
        lib_.Wait1ms(durations::kTunePoll);
      }
    }

    // The fewest moves in the units the moves were counted in: the console's commands or the
    // buttons' pulls and pushes, whichever the game was finished with.
    if (fewestConsole_ != settings_.OneInput) ComputeFewest(settings_.OneInput);
    WaitForPar();  // most often in long since: it was asked for when the quiz was made
    EndGame(GameEnd::Completed);
    completed_ = true;
    counts = MovesText();
    if (LastRecord.newBest) counts += Msg(6130);
    // A game no shorter string could have finished: marked on a line of its own.
    if (FewestProven && MovesUsed <= FewestMoves) counts += "\n" + Msg(7020);
    if (const auto code = QuizCodeText()) counts += "\n" + Msg(7200) + ": " + *code;
    ports_.scene.ShowCompleteWindow(Msg(5460), counts);
    ports_.clock.PumpOnce();
    lib_.Wait1ms(durations::kCompleteWindow);
    ports_.scene.CloseCompleteWindow();

    if (settings_.CompleteRunMainLine && !closing_) CompleteSmallAnimate();
    if (settings_.CompleteBigAnimaite && !closing_) CompleteAnimate();
  }
  LogOut(counts);
  MsgGuide.Msg(counts);
}

void Game::CompleteSmallAnimate() {
  const int after = yard.GetLocoAfterPosition(1);
  const int s = (after == 0 || after == kVisible) ? 2 : 1;
  for (int step = 0; step < 40; ++step) {
    for (int k = 0; k <= 39; ++k) yard.at(kHeadShunt, k) = yard.at(kHeadShunt, k + 1);
    yard.at(kHeadShunt, kVisible - 1) = yard.at(s, 0);
    for (int k = 0; k <= 39; ++k) yard.at(s, k) = yard.at(s, k + 1);
    ports_.scene.DrawRefresh();
  }
}

void Game::CompleteAnimate() {
  IControls& c = ports_.controls;
  // The view covers the yard; nothing but mnuEscape answers until the run is over.
  Busy run(*this, Phase::DepartureRun);
  c.SetVisible("mnuEscape", true);
  AnimeContinue = !closing_;

  ports_.scene.AnimeView(true);
  Pelm.DrawHeight(ViewHeight);
  Pelm.DrawWidth(ViewWidth);
  const float length = Pelm.MeterPerPixcels() * static_cast<float>(CalcTrainLength(gAnimeSrcRect));

  ports_.sound.StopSound();
  // Loaded only to be played: a tune switched off cannot fail.
  if (settings_.SuccessSound && MIDI != nullptr && !SoundFailed && MIDI->LoadSoundFromeResource("Success.mid") > 0) {
    SoundOff();
  }

  Pelm.TrainDistance(std::floor(Pelm.MeterPerPixcels() * static_cast<float>(Pelm.DrawWidth()) + 2.0f));
  Pelm.TrainSpeed(3.0f);
  Pelm.TickTime(2000);
  Pelm.TimeCount();

  while (Pelm.TrainDistance() + length + 3.0f >= 0) {
    if (!AnimeContinue) Pelm.TrainDistance(-length - 1.0f);
    if (settings_.SuccessSound && MIDI != nullptr && !SoundFailed && MIDI->IsMode() != "playing" &&
        MIDI->PlaySound() > 0) {
      SoundOff();
    }
    Pelm.CalcRect(gAnimeSrcRect, gAnimeDstRect);
    std::vector<int> left, width;
    for (int i = 0; i < std::min(Pelm.CarCount(), kAnimeRects); ++i) {
      left.push_back(gAnimeDstRect[static_cast<std::size_t>(i)].Left);
      width.push_back(gAnimeDstRect[static_cast<std::size_t>(i)].Right);
    }
    ports_.scene.RenderScene(left, width);
    char distance[32];
    std::snprintf(distance, sizeof distance, "%.1f m", static_cast<double>(Pelm.TrainDistance()));
    MsgGuide.Msg(distance);
    ports_.clock.PumpOnce();
    Pelm.TimeCount();
    lib_.Wait1ms(Pelm.SleepTime());
    Pelm.TimeCount();
    Pelm.TrainDistance(Pelm.TrainDistance() - Pelm.TrainSpeed());
  }

  MsgGuide.Msg("");
  ports_.sound.StopSound();
  c.SetVisible("mnuEscape", false);
  ports_.scene.AnimeView(false);
  c.SetVisible("cmbCutTrainNum", true);
  runEndedAt_ = ports_.clock.TickCount();
}

void Game::Timer1_Timer() {
  const std::uint32_t elapsedMs = clockStopped_.value_or(ports_.clock.TickCount()) - StartTick;
  ports_.status.SetPanel("Time", PlayTimeText(elapsedMs / 1000));
}

std::string Game::AnswerText() const {
  std::string out;
  for (int i = AnserCount - 1; i >= 0; --i) {
    out += "(" + N(i + 1) + "): " + AnserList[static_cast<std::size_t>(i)] + "\r\n";
  }
  return out;
}

}  // namespace kelvara
