// The state of play: the phase, the gate every command passes, and what is enabled.
#include <algorithm>

#include "model/durations.h"
#include "model/game.h"

namespace kelvara {

namespace {

constexpr std::size_t kControlCount = std::size(kMainControls);

constexpr std::size_t IndexOf(std::string_view name) {
  for (std::size_t i = 0; i < kControlCount; ++i) {
    if (kMainControls[i].name == name) return i;
  }
  return kControlCount;
}

}  // namespace

const char* PhaseName(Phase p) {
  switch (p) {
    case Phase::StartingUp: return "starting up";
    case Phase::Idle: return "idle";
    case Phase::MakingQuiz: return "making a quiz";
    case Phase::Moving: return "moving";
    case Phase::Loading: return "loading a train";
    case Phase::Dialog: return "in a window";
    case Phase::Playing: return "playing";
    case Phase::Completing: return "completing";
    case Phase::DepartureRun: return "departure run";
    case Phase::Complete: return "complete";
    case Phase::Derailed: return "derailed";
    case Phase::Closing: return "closing";
  }
  return "?";
}

std::string_view CommandControl(GameCommand c) {
  switch (c) {
    case GameCommand::FileEnd: return "mnuFileEnd";
    case GameCommand::ViewMadeUpTrain: return "mnuViewMakeedUpTrain";
    case GameCommand::ViewMakeUpTable: return "mnuViewMakeUpTable";
    case GameCommand::ViewAnser: return "mnuViewAnser";
    case GameCommand::ViewClearAnimation: return "mnuViewClearAnimation";
    case GameCommand::ViewZoom: return "mnuViewZoom1";
    case GameCommand::GameNewGame: return "mnuGameNewGame";
    case GameCommand::GameRestart: return "mnuGameRestart";
    case GameCommand::GameReDisMakeUp: return "mnuGameReDisMakeUp";
    case GameCommand::GameHint: return "mnuGameHint";
    case GameCommand::GameUndo: return "mnuGameUndo";
    case GameCommand::GameRedo: return "mnuGameRedo";
    case GameCommand::GameStatistics: return "mnuGameStatistics";
    case GameCommand::GameCopyCode: return "mnuGameCopyCode";
    case GameCommand::GamePlayCode: return "mnuGamePlayCode";
    case GameCommand::GameDaily: return "mnuGameDaily";
    case GameCommand::GameChangeTrainAuto: return "mnuGameChangeTrainAuto";
    case GameCommand::GameChangeTrainHand: return "mnuGameChangeTrainHand";
    case GameCommand::OptionOption: return "mnuOptionOption";
    case GameCommand::OptionDataInstall: return "mnuOptionDataInstall";
    case GameCommand::HelpHelp: return "mnuHelpHelp";
    case GameCommand::HelpAbout: return "mnuHelpAbout";
    case GameCommand::HelpKeys: return "mnuHelpKeys";
    case GameCommand::Escape: return "mnuEscape";
    case GameCommand::Front: return "cmdFront";
    case GameCommand::Back: return "cmdBack";
    case GameCommand::NumberBox: return "cmbCutTrainNum";
    case GameCommand::CarDoubleClick: return "mnuViewMakeedUpTrain";  // a formation view too
    case GameCommand::BigAnimeTest: return "cmdBigAnimeTest";
  }
  return {};
}

// ---- the phase -----------------------------------------------------------------------------------

Game::Busy::Busy(Game& game, Phase phase) : game_(game), before_(game.busy_) {
  game_.busy_ = phase;
  game_.UpdateControls();
}

Game::Busy::~Busy() {
  game_.busy_ = before_;
  game_.UpdateControls();
}

Phase Game::phase() const {
  if (closing_) return Phase::Closing;
  if (busy_) return *busy_;
  if (startingUp_) return Phase::StartingUp;
  if (GameActive) return Phase::Playing;
  if (gameOver_) return Phase::Derailed;
  if (completed_) return Phase::Complete;
  return Phase::Idle;
}

void Game::SetStartingUp(bool on) {
  startingUp_ = on;
  UpdateControls();
}

void Game::SetClosing() {
  closing_ = true;
  Cancel(parJob_);  // nothing the searches find is wanted now
  Cancel(hereJob_);
  AnimeContinue = false;  // a departure run winds down at its next frame
  UpdateControls();
}

EscapeAction Game::OnEscape() const {
  const Phase p = phase();
  if (p == Phase::DepartureRun) return EscapeAction::CutRunShort;
  if (!IsSettled(p)) return EscapeAction::Nothing;
  // A key pressed to end the run reaches the window late when a screen reader passes keys on
  // after looking at them: it ends nothing more.
  if (runEndedAt_ && ports_.clock.TickCount() - *runEndedAt_ < static_cast<std::uint32_t>(durations::kEscapeAfterRun)) {
    return EscapeAction::Nothing;
  }
  return EscapeAction::Close;
}

// ---- what is enabled -----------------------------------------------------------------------------

std::array<bool, std::size(kMainControls)> Game::ControlStates() const {
  std::array<bool, kControlCount> on{};
  auto set = [&on](std::string_view name, bool value) {
    if (const std::size_t i = IndexOf(name); i < kControlCount) on[i] = value;
  };
  const Phase p = phase();
  const bool clock = GameActive && !oneInputRun_ && !clockStopped_;

  if (p == Phase::Moving || p == Phase::Loading || p == Phase::Dialog) {
    // The menu bar stays as it is while a command runs; of its items only End and Help answer.
    for (const MainControl& c : kMainControls) {
      if (c.name.starts_with("mnu") && c.parent.empty() && c.name != "mnuEscape") set(c.name, true);
    }
    set("mnuFileEnd", true);
    set("mnuHelpHelp", true);
    set("Timer1", clock);
    return on;
  }
  if (p == Phase::DepartureRun) {
    set("mnuEscape", true);
    return on;
  }
  if (!IsSettled(p)) return on;  // starting up, making a quiz, completing, closing: nothing answers

  for (std::size_t i = 0; i < kControlCount; ++i) {
    const std::string_view name = kMainControls[i].name;
    on[i] = name.starts_with("mnu") && !IsSeparator(name);
  }
  const bool playing = p == Phase::Playing;
  set("mnuEscape", false);
  set("mnuGameRestart", playing ? restartOffered_ : p != Phase::Idle);
  set("mnuViewAnser", p != Phase::Idle);
  set("mnuViewClearAnimation", p == Phase::Complete);
  set("mnuGameReDisMakeUp", playing || p == Phase::Derailed);
  set("mnuGameHint", CanHint());
  set("mnuGameCopyCode", p != Phase::Idle && QuizCodeText().has_value());
  set("mnuGameUndo", CanUndo());
  set("mnuGameRedo", CanRedo());
  set("cmdBigAnimeTest", true);

  // The buttons follow the yard: Front pulls when the locomotive stands in the siding the route
  // shows; Back backs in from the head shunt, or pushes while there is room beyond the
  // locomotive. The console opens from Back whatever the yard holds.
  const int line = Route;
  const bool onHeadShunt = yard.GetLocoNum(kHeadShunt) > 0;
  const bool inRouteSiding = !onHeadShunt && (line == 1 || line == 2) && yard.GetLocoNum(line) > 0;
  const bool canMove = p != Phase::Derailed;
  if (settings_.OneInput) {
    set("cmdFront", false);
    set("cmdBack", canMove);
  } else {
    set("cmdFront", canMove && p != Phase::Complete && inRouteSiding);
    set("cmdBack", canMove && (onHeadShunt || (inRouteSiding && yard.GetMaxPushing(line) > 0)));
  }
  set("cmbCutTrainNum", playing);
  set("Timer1", playing && clock);
  return on;
}

bool Game::Enabled(std::string_view control) const {
  const std::size_t i = IndexOf(control);
  return i < kControlCount && ControlStates()[i];
}

void Game::UpdateControls() {
  const auto states = ControlStates();
  for (std::size_t i = 0; i < kControlCount; ++i) {
    if (!IsSeparator(kMainControls[i].name)) ports_.controls.SetEnabled(kMainControls[i].name, states[i]);
  }
}

// ---- the gate ------------------------------------------------------------------------------------

bool Game::Allows(GameCommand c) const { return Enabled(CommandControl(c)); }

bool Game::Do(GameCommand c, int cell) {
  if (!Allows(c)) return false;
  // Cutting the run short happens inside the departure run, which goes on holding the game; a
  // click on a car only fills in the number box.
  if (c == GameCommand::Escape) {
    mnuEscape_Click();
    return true;
  }
  if (c == GameCommand::NumberBox) {
    imgCar_Click(cell);
    return true;
  }
  {
    Busy busy(*this, Phase::Moving);
    switch (c) {
      case GameCommand::Front: cmdFront_Click(); break;
      case GameCommand::Back: cmdBack_Click(); break;
      case GameCommand::GameNewGame: mnuGameNewGame_Click(); break;
      case GameCommand::GameRestart: mnuGameRestart_Click(); break;
      case GameCommand::GameReDisMakeUp: mnuGameReDisMakeUp_Click(); break;
      case GameCommand::GameHint: mnuGameHint_Click(); break;
      case GameCommand::GameUndo: mnuGameUndo_Click(); break;
      case GameCommand::GameRedo: mnuGameRedo_Click(); break;
      case GameCommand::GameChangeTrainAuto: mnuGameChangeTrainAuto_Click(); break;
      case GameCommand::GameDaily: mnuGameDaily_Click(); break;
      case GameCommand::ViewClearAnimation:
      case GameCommand::BigAnimeTest: CompleteAnimate(); break;
      default: return false;  // a window of the front end: Run
    }
  }
  // A hint belongs to the position it was given for.
  if (!HintText.empty() && (!(yard == hintYard_) || Route != hintRoute_)) {
    if (ports_.status.Panel("Msg") == HintText) MsgGuide.Msg("");
    HintText.clear();
  }
  UpdateControls();
  KeepInProgress();
  return true;
}

bool Game::Run(GameCommand c, const std::function<void()>& action) {
  if (!Allows(c)) return false;
  {
    Busy busy(*this, Phase::Dialog);
    action();
  }
  UpdateControls();
  return true;
}

}  // namespace kelvara
