// What the game is doing now, the commands that reach it, and the main window's controls.
// One place decides whether a command may run and what is enabled; every front end asks it.
#pragma once

#include <string_view>

namespace kelvara {

enum class Phase {
  StartingUp,    // the program loads its data; nothing answers yet
  Idle,          // a train stands ready, no game is being played
  MakingQuiz,    // the quiz maker's moves run
  Moving,        // a command of the player runs: a move with its frames and the sign hold, a hint
  Loading,       // another train is being chosen and loaded
  Dialog,        // a modal window of the game holds the keyboard
  Playing,       // a game is in progress and waits for the player
  Completing,    // fanfare, completion window, run-out
  DepartureRun,  // the departure run; only cutting it short answers
  Complete,      // the game was finished
  Derailed,      // the game ended against a car stopper
  Closing,       // the window is closing
};

// A phase in which the game waits for the player, as opposed to one in which something runs.
constexpr bool IsSettled(Phase p) {
  return p == Phase::Idle || p == Phase::Playing || p == Phase::Complete || p == Phase::Derailed;
}

const char* PhaseName(Phase p);

// Every command, from whatever source: menu items and their shortcuts, the buttons, the number
// box, clicks on cars, the console, the other windows, drops, the keyboard.
enum class GameCommand {
  FileEnd,
  ViewMadeUpTrain,
  ViewMakeUpTable,
  ViewAnser,
  ViewClearAnimation,
  ViewZoom,
  GameNewGame,
  GameRestart,
  GameReDisMakeUp,
  GameHint,
  GameUndo,
  GameRedo,
  GameStatistics,
  GameCopyCode,
  GamePlayCode,
  GameDaily,
  GameChangeTrainAuto,
  GameChangeTrainHand,
  OptionOption,
  OptionDataInstall,
  HelpHelp,
  HelpAbout,
  HelpKeys,
  Escape,          // mnuEscape: cuts the departure run short
  Front,
  Back,
  NumberBox,       // typing into the number box, or a click on a car that fills it in
  CarDoubleClick,  // the car window
  BigAnimeTest,
};

// The control whose enabled state says whether a command may run.
std::string_view CommandControl(GameCommand c);

// What an Escape released on the main window does.
enum class EscapeAction { Nothing, CutRunShort, Close };

// The main window's controls in window order: name, the menu or window part that holds it ("" for
// a top-level menu or a control under the picture) and its caption number (0 for none).
struct MainControl {
  std::string_view name;
  std::string_view parent;
  int caption;
};

inline constexpr MainControl kMainControls[] = {
    {"mnuFile", "", 6},
    {"mnuFileEnd", "mnuFile", 7},
    {"mnuView", "", 19},
    {"mnuViewMakeedUpTrain", "mnuView", 22},
    {"mnuViewMakeUpTable", "mnuView", 23},
    {"mnuViewAnser", "mnuView", 20},
    {"mnuViewClearAnimation", "mnuView", 21},
    {"mnuViewZoomBar", "mnuView", 0},
    {"mnuViewZoom1", "mnuView", 130},
    {"mnuViewZoom2", "mnuView", 131},
    {"mnuViewZoom3", "mnuView", 132},
    {"mnuGame", "", 8},
    {"mnuGameNewGame", "mnuGame", 10},
    {"mnuGameRestart", "mnuGame", 12},
    {"mnuGameReDisMakeUp", "mnuGame", 11},
    {"mnuGameHelpersBar", "mnuGame", 0},
    {"mnuGameHint", "mnuGame", 133},
    {"mnuGameUndo", "mnuGame", 134},
    {"mnuGameRedo", "mnuGame", 135},
    {"mnuGameStatistics", "mnuGame", 138},
    {"mnuGameCopyCode", "mnuGame", 145},
    {"mnuGamePlayCode", "mnuGame", 146},
    {"mnuGameDaily", "mnuGame", 147},
    {"mnuGameBar", "mnuGame", 0},
    {"mnuGameChangeTrainAuto", "mnuGame", 9},
    {"mnuGameChangeTrainHand", "mnuGame", 28},
    {"mnuOption", "", 17},
    {"mnuOptionOption", "mnuOption", 18},
    {"mnuOptionDataInstall", "mnuOption", 29},
    {"mnuHelp", "", 13},
    {"mnuHelpHelp", "mnuHelp", 13},
    {"mnuHelpKeys", "mnuHelp", 148},
    {"mnuHelpAbout", "mnuHelp", 14},
    {"mnuEscape", "", 5},
    {"cmdBigAnimeTest", "", 0},
    {"cmdFront", "", 25},
    {"cmbCutTrainNum", "", 0},
    {"cmdBack", "", 24},
    {"Timer1", "", 0},
};

// A separator of a menu: it has no command and no enabled state of its own.
constexpr bool IsSeparator(std::string_view name) { return name.ends_with("Bar"); }

}  // namespace kelvara
