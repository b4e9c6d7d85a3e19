// The main window's game: the yard and its moves, quiz making, the game commands, the buttons,
// one-input strings and the choice of train; everything but the drawing.
#pragma once

#include <array>
#include <chrono>
#include <atomic>
#include <memory>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "data/bmp.h"
#include "data/loco.h"
#include "data/mylib.h"
#include "data/trd.h"
#include "model/command.h"
#include "model/phase.h"
#include "model/record.h"
#include "model/rules.h"
#include "model/difficulty.h"
#include "model/solver.h"
#include "model/worker.h"
#include "model/yard.h"
#include "model/pelm.h"
#include "services/msgguide.h"
#include "base/ports.h"
#include "services/settings.h"

namespace kelvara {

namespace rules {
struct Outcome;
}  // namespace rules

// Entry i of the departure run's picture list from the header size of picture i, scaled to the
// view height; the entry after the last is the end marker. A picture without height keeps its
// old entry.
void FillPictureList(std::span<const PictureSize> headers, int viewHeight, AnimeRects& rects);

// Sum of the widths from index 0 up to the last index minus one, stopping at the first zero width.
std::int32_t CalcTrainLength(std::span<const AnimeRect> rects);

inline constexpr int kAnserListSize = 1001;
inline constexpr int kDumpLines = kTrackLines;  // one per visible line label: head shunt and the two sidings
inline constexpr int kMaxQuizMoves = 500;  // two recorded entries a move at most: the list never overflows

class MIDIMCIClass;
class MyLogClass;

// The number box: the decimal number at the start of the text, rounded half to even, 0 for none.
std::int32_t NumberBoxValue(std::string_view text);
// The cars behind the locomotive up to and including yard cell `cell` (line cell / 20, slot
// cell % 20): what a click on that car fills into the number box. -1 when no locomotive stands on
// that line or the cell is outside the yard.
int CarsUpTo(const Yard& yard, int cell);

// A caption as the player reads it, without its access key: "前進(&R)" -> "前進", "F&ront" -> "Front".
std::string PlainCaption(std::string caption);

// A text with "%1" and "%2" replaced.
std::string Fill(std::string text, const std::string& one, const std::string& two = {});

// Today's quiz: the date in UTC as "YYYY-MM-DD", and the code of the day's quiz from the shipped
// train set alone; nothing without that set.
inline constexpr int kDailyLevel = 20;
std::string DailyDate(std::chrono::system_clock::time_point now);
std::optional<std::string> DailyQuizCode(const std::string& defaultSetFolder, const std::string& date);

// The yard as a quiz leaves it is already the formation once the locomotive backs in, with the
// Back button (into `route`) or with the console (into siding 1): no quiz at all.
// Why the game cannot start from a position between two commands, as the id of the text that says
// so; nothing when it can: the route on siding 1 or 2, the locomotive alone at the junction end of
// the head shunt or first in the siding the route shows, the train not in order already.
std::optional<int> StartProblem(const Yard& yard, int route, int locoUnits, int trainCars);

class Game {
 public:
  Game(Ports ports, AppSettings& settings);
  ~Game();
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  // Game-wide flags.
  bool MakingQuiz = false;
  bool Derailed = false;
  bool GameActive = false;
  bool TrainChanged = false;

  Yard yard;
  Yard StartYard;
  std::array<std::string, kAnserListSize> AnserList{};
  int AnserCount = 0;

  // Units of the selected locomotive set (m) and cars of the loaded train (n).
  int LocoUnits = 1;
  int TrainCars = 0;
  // The siding the junction is set to: -1 none, 0 head shunt, 1 or 2.
  int Route = -1;
  // Shown in the passenger's complaint after a derailment.
  std::string UserName;
  // The number of making moves of the current quiz.
  int DCount = 0;
  // Tick count at which play started; the timer shows the time since.
  std::uint32_t StartTick = 0;
  // The MIDI player, when there is sound.
  MIDIMCIClass* MIDI = nullptr;
  // The sound device failed: no tune is tried again, and no box shown, until the player turns the
  // sound on in the options.
  bool SoundFailed = false;
  // The log that a re-make starts anew when MakeLog is on; none for no file.
  MyLogClass* MyLog = nullptr;

  // ---- the state of play ----------------------------------------------------------------------
  // What the game is doing now. Moves, sequences and windows that run set it for their length;
  // between them it follows from the game's flags.
  Phase phase() const;
  // The one gate: whether a command may run now, from whatever source it comes.
  bool Allows(GameCommand c) const;
  // Runs a command of the game through the gate; false when the phase refused it. `cell` is the
  // clicked car's cell for NumberBox.
  bool Do(GameCommand c, int cell = -1);
  // Runs a front end's own command (a window of its own) through the same gate; the window holds
  // the game in the Dialog phase while it is open.
  bool Run(GameCommand c, const std::function<void()>& action);
  // Every control of the main window, enabled or not, computed from the phase and the game, in the
  // order of kMainControls; separators read false.
  std::array<bool, std::size(kMainControls)> ControlStates() const;
  bool Enabled(std::string_view control) const;
  // Puts the computed states on the controls.
  void UpdateControls();
  // What Escape on the main window does now.
  EscapeAction OnEscape() const;
  // The front end's start-up and its closing.
  void SetStartingUp(bool on);
  void SetClosing();

  // ---- play helpers: the fewest moves, hints, undo and redo ---------------------------------
  // The fewest commands that solve the quiz from its start in the way it is played (the console
  // first backs into siding 1, the Back button into the siding the route shows), found when the
  // quiz was made; -1 when the search could not tell. Proven: no shorter string exists.
  int FewestMoves = -1;
  bool FewestProven = false;
  // Commands the player used in this game: each pull, each push, each command of a string.
  int MovesUsed = 0;
  int HintsUsed = 0;
  int UndosUsed = 0;
  // The cells of the units the last hint moves, marked until the next move.
  std::vector<int> HintCells;
  // What the last hint said, for the front ends: the command in words and as typed; and the
  // shortest string it comes from, from the position it was given for.
  std::string HintText;
  std::vector<OneInputCommand> HintLine;

  // Where the searches for the fewest moves run; none runs them on the spot, on the game's thread.
  // Each search is called off when its position goes: a move, Restart, New Game, closing.
  IWorker* Worker = nullptr;
  // The search for the quiz's fewest moves is still on its way.
  bool ParPending() const { return parJob_ && !parJob_->done; }
  // The fewest commands from the position on the screen, when the option asks for them after
  // each move: -1 while unknown.
  int FewestFromHere = -1;
  bool FewestFromHereProven = false;
  // The status bar's par: "Par 11", "Par ≤11" when not proven, "Par …" while the search runs,
  // and the fewest from here after it when the option is on.
  std::string ParText() const;
  // The quiz's fewest moves again, in the units the settings play in now, when they changed.
  void SettingsChanged();

  // Game menu: the next command of a shortest string, in the guide and marked on the yard. Should
  // the search be needed it runs on the worker, the guide saying so, and the hint follows it.
  void mnuGameHint_Click();
  // A hint waits for its search.
  bool HintWaiting() const { return hintWaiting_; }
  // Game menu: a move taken back, and taken again. A new move after an undo drops the redo steps.
  void mnuGameUndo_Click();
  void mnuGameRedo_Click();
  // Offered only while a game waits for the player; undo and redo when there is a step to take.
  bool CanHint() const;
  bool CanUndo() const;
  bool CanRedo() const;

  // How long New Game looks for a quiz of the band the options ask for.
  BandBudget BandSearch;

  // ---- quiz codes ----------------------------------------------------------------------------
  // The quiz on the screen as a code, from its start; nothing before a quiz or for one that
  // cannot be named.
  std::optional<std::string> QuizCodeText() const;
  // The quiz's start as it stands: its position and its route.
  void SetQuizStart(const Yard& start, int route) {
    StartYard = start;
    StartRoute = route;
  }
  int QuizStartRoute() const { return StartRoute; }
  // Game menu: today's quiz, the same for every player of the shipped train set on the same day
  // (UTC): a train of that set and a quiz of level 20, both from the date alone.
  void mnuGameDaily_Click();
  // The day of today's quiz while it is played, "YYYY-MM-DD"; empty for any other quiz.
  std::string DailyDay;
  // Plays the quiz a code names, from its start, over the train and set it names. The code is
  // checked whole first: its train loaded on the side, its cars, locomotive set and start held
  // against it; a code refused leaves the game, the train, the yard and the records as they were.
  // A game in progress with moves made is left only when the player says so.
  struct CodePlay {
    bool played = false;
    std::string refused;  // why not, for the player; "" when the player kept the game in progress
  };
  CodePlay PlayQuizCode(std::string_view code);

  // ---- records -------------------------------------------------------------------------------
  // Where each game is recorded when it ends; none keeps nothing.
  IRecords* Recorder = nullptr;
  // What the keeper said of the last game recorded.
  RecordResult LastRecord;
  // The train being played as the records name it.
  TrainIdentity CurrentTrain() const;
  // A train as earlier versions named it (the digest of its folder too), found again among the
  // train files as it was: the digest of its content. Nothing when it is gone or changed.
  std::optional<std::string> ContentDigestOf(const TrainIdentity& old);
  // Time played in the game in progress, in milliseconds.
  std::int64_t PlayedMs();
  // The game in progress, whole, when there is one that waits for the player.
  std::optional<SavedGame> SaveGame();
  // The program ends with the game in progress not kept: recorded as left.
  void LeaveGame() { EndGame(GameEnd::Left); }
  // The player has moved something in the game in progress: it is a game played, recorded when it
  // ends. A quiz nobody touched is not.
  bool Played() const;
  // The game in progress handed to the keeper of records as it stands, when it is a game played
  // and waits for the player: after every command, so that a kill costs at most the move drawn.
  void KeepInProgress();
  // A move, a quiz, a completion or a window of the game runs.
  bool Running() const { return busy_.has_value() || MakingQuiz; }
  // Takes a saved game up again over the train loaded now: nullopt when it stands as saved, else
  // the id of the text that says why not (the train or its cars changed, the position does not fit).
  std::optional<int> ResumeGame(const SavedGame& saved);

  MsgGuideClass MsgGuide;

  // The train being played (bellows left out, messages shown) and its locomotive list,
  // and the silent pair that lists every picture of the whole train, bellows included.
  TRDClass TRD;
  LocoClass Loco;
  TRDClass TRD2;
  LocoClass Loco2;

  // Scaled picture sizes of the whole train for the departure run; an entry with Right 0 ends it.
  AnimeRects gAnimeSrcRect{};
  // The picture files behind those entries, locomotive units first.
  std::vector<std::string> AnimePictures;
  // The motion model of the departure run.
  PelmClass Pelm;
  // The yard view that the departure run covers; its pictures are scaled to its height.
  int ViewWidth = 600;
  int ViewHeight = 386;
  AnimeRects gAnimeDstRect{};
  bool AnimeContinue = false;

  // The default train set shipped with the program, read behind the data folder: its trains are
  // offered too (a train file of the same name in the data folder comes first), its locomotive
  // list serves when the data folder has none, and its cars stand in for those a file of the data
  // folder names but the folder lacks. "" for none: the data folder is the whole set.
  std::string DefaultSetFolder;
  // The folders trains are read from, the data folder first; only those that exist.
  std::vector<std::string> TrainFolders() const;
  // The folder whose "loco.lst" is read: the data folder's, else the default set's.
  std::string LocoListFolder() const;
  // Reads that list into Loco, its cars looked up as above.
  void LoadLocoList();

  // Loads a locomotive set and a train file into the game, or keeps the current one. A game in
  // progress is left after a question, unless the caller asked it already.
  void ChangeTrain(int LocoINdex, const std::string& TRDFileName, bool ask = true);
  // A random ".trd" of the train folders, or "".
  std::string GetTrainRandom();
  void mnuGameChangeTrainAuto_Click();
  struct TrainFileEntry {
    std::string path;
    std::string comment;  // empty when the file cannot be read
  };
  // Every "*.trd" of the train folders (any letter case) with its train name, for choosing by hand.
  std::vector<TrainFileEntry> ListTrainFiles();
  // The names of the locomotive sets, for choosing by hand; the game's set stays selected.
  std::vector<std::string> LocoSetNames();
  // A choice by hand confirmed: a set, or -1 for one at random; a train file, or "" for one at random.
  void ChangeTrainByHand(int locoSet, const std::string& trainPath);
  void LoadAnimateImage();

  // Places the locomotive on the head shunt and the whole train in siding 1.
  void SetCars();
  // Appends a line and the yard dump to the game log when MakeLog is on.
  void LogOut(std::string_view text);

  // Mixes the train up by random real moves and records them in AnserList.
  void DisMakeUp();
  // Shows a quiz being made: its moves, waits and counts, its answer list filled in.
  void PlayQuiz(const rules::Quiz& quiz);
  // The game's own random numbers, as the quiz maker draws them.
  rules::Draw Draw();
  // The quiz maker of New Game: DisMakeUp from the position as it stands, made again from the
  // first placement while it comes out already in order.
  void MakeQuiz();
  void mnuGameNewGame_Click();
  void mnuGameReDisMakeUp_Click();
  bool SolvedBeforeAnyMove() const { return kelvara::SolvedBeforeAnyMove(yard, Route, TrainCars); }
  // How often a quiz that came out solved is made again before it is played as it is.
  static constexpr int kQuizRemakes = 50;
  void mnuGameRestart_Click();
  // The completion test; on success the completion sequence runs and the result is true.
  bool ChkGameEnd();
  // The finished train runs out of its siding onto the head shunt and out of the yard.
  void CompleteSmallAnimate();
  // The departure run: the whole train at full view height crosses the view right to left.
  void CompleteAnimate();
  // Cuts the departure run short.
  void mnuEscape_Click() { AnimeContinue = false; }
  // A tune failed: text 5200, the sound settings off in memory, no tune tried again.
  void SoundOff();
  // Loads and plays a tune; on an error shows text 5200 and turns the sound off. Nothing is tried
  // after the sound device failed.
  void PlayTune(const char* name);

  void cmdFront_Click();
  void cmdBack_Click();
  void imgCar_Click(int index);
  void Timer1_Timer();

  // Shows the console, then plays the string it returns.
  void OneInputMode();
  void RunOneInput(std::string_view commands);
  // One command of a run, on the siding the route shows.
  void RunOneInputCommand(const OneInputCommand& cmd);

  // Latest move first: "(3): C 2:1" and so on, each line ended by CR LF.
  std::string AnswerText() const;
  // "Moves: 14 (fewest possible: 11), hints: 2", as the completion says it.
  std::string MovesText() const;

  // The junction and signs; the route is stored here and the head-shunt setting holds 5 s.
  void SetSign(int state);

  // Shows a move's steps one by one, the yard following them.
  void PlayMove(const rules::Outcome& move);
  void CutTrain(int from, int to, int count);
  void AddTrain(int from, int to);
  bool PushTrain(int line, int count);

  // Step redraw: drawn only when the current mode animates single steps.
  void DrawRefresh3();
  // End-of-move redraw.
  void DrawRefresh2();

  DataPorts dataPorts() { return DataPorts{ports_.msg, ports_.texts, ports_.clock}; }
  Ports& ports() { return ports_; }
  AppSettings& settings() { return settings_; }
  MyLibClass& lib() { return lib_; }

 private:
  std::string Msg(int id) const { return ports_.texts.Text(id); }
  MsgAnswer Box(std::string_view text, MsgButtons b = MsgButtons::Ok, MsgIcon i = MsgIcon::None,
                std::string_view title = {});
  void Derail(bool first);
  void SuspendService();
  void CompleteSequence(int line);
  void CountUp();
  // The game in progress as a record, when there is one; and the record handed to the keeper.
  std::optional<GameRecord> RecordOfGame(GameEnd how);
  void Submit(const std::optional<GameRecord>& record);
  // The game in progress ends: recorded once, when it was played, and no longer active.
  void EndGame(GameEnd how) {
    Submit(RecordOfGame(how));
    GameActive = false;
  }
  // The status bar of a game that is gone: the counters, the time and the guide.
  void ClearStatus();

  // A phase held for as long as a move, a sequence or a window runs.
  class Busy {
   public:
    Busy(Game& game, Phase phase);
    ~Busy();
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

   private:
    Game& game_;
    std::optional<Phase> before_;
  };
  std::optional<Phase> busy_;
  bool startingUp_ = false;
  bool closing_ = false;
  bool completed_ = false;       // the last game was finished
  bool gameOver_ = false;        // the last game ended in a derailment
  bool restartOffered_ = false;  // Back was pressed in this game
  bool oneInputRun_ = false;     // a one-input string is being played: the clock stands
  // The train ran into the car stopper: the clock stops there, not after the boxes that say so.
  std::optional<std::uint32_t> clockStopped_;
  // When the last departure run ended: an Escape pressed to end it can arrive after it did.
  std::optional<std::uint32_t> runEndedAt_;
  // The hint's position: the hint goes from the guide when the position goes.
  Yard hintYard_;
  int hintRoute_ = -1;

  // A whole position and what the window shows of it: what an undo goes back to.
  struct HistoryEntry {
    Yard yard;
    int route = -1;
    std::string ucount;
    int moves = 0;
    std::string label;  // the move that led here, for the log
  };
  // The history begins anew with the quiz's start; every move of the player adds a step.
  void StartHistory();
  void RecordStep(std::string label);
  void Restore(const HistoryEntry& entry);
  // A shortest string from a position, kept while the player follows it.
  struct Plan {
    Yard yard;
    int route = -1;
    bool console = false;
    std::vector<OneInputCommand> commands;
    bool proven = false;
  };
  // A search on the worker: what it was asked about, and what it found.
  struct SolveJob {
    std::atomic<bool> cancel{false};
    bool done = false;  // on the game's thread: its answer is in
    Yard yard;          // the position asked about, as the screen showed it
    int route = -1;
    bool console = false;
    std::optional<Plan> plan;
  };
  // Starts a search from a position as it stands on the screen; `then` runs on the game's thread
  // when it is done and was not called off.
  std::shared_ptr<SolveJob> StartSolve(const Yard& from, int route, bool console, std::function<void(SolveJob&)> then);
  static void Cancel(std::shared_ptr<SolveJob>& job);
  // The position moved on: the search about the last one is called off, and the fewest from the
  // position on the screen is asked for when the option shows it.
  void PositionChanged();
  // The quiz's fewest moves are unknown again (a new quiz, another train).
  void ForgetPar();
  // Waits, the window answering, until the quiz's fewest moves are in (or the search gave up).
  void WaitForPar();
  void ShowPar();
  // The hint from a plan for the position on the screen; none: the position cannot be solved.
  void ShowPlanHint(const std::optional<Plan>& plan, bool console);
  void ShowHint(const std::string& words, const std::string& typed);
  std::shared_ptr<SolveJob> parJob_, hereJob_;
  // A quiz of the band chosen in the options: its seed and level, looked for on the worker.
  BandQuiz ChooseBandQuiz(const ParBand& band);
  std::string BandName(const ParBand& band) const;
  std::string bandMissed_;  // said in the guide when no quiz of the band came
  bool hintWaiting_ = false;
  // Whether a search's answers may still reach this game.
  std::shared_ptr<char> alive_ = std::make_shared<char>();
  // A command in words: "pull out 3 cars and back into line 2".
  std::string Describe(const OneInputCommand& c, int otherLine) const;
  // The rest of the kept plan from the position as it stands, if the player followed it.
  std::optional<Plan> FollowPlan(bool console) const;
  // The fewest commands from the quiz's start, in the console's units or the buttons'.
  void ComputeFewest(bool console);
  // The position a search for the quiz's fewest moves starts from in those units, after the first
  // back-in that is not a move; nothing when the route shows no siding.
  std::optional<std::pair<Yard, int>> ParProblem(bool console) const;
  // The quiz's fewest moves found so far, by the position their search started from.
  struct KnownPar {
    Yard yard;
    int route = -1;
    int moves = -1;
    bool proven = false;
  };
  std::vector<KnownPar> pars_;
  bool fewestConsole_ = false;  // the units FewestMoves counts
  int StartRoute = -1;          // the route at the quiz's start

  mutable std::optional<std::string> trainDigest_;  // the loaded train's, once asked for
  std::vector<HistoryEntry> history_;
  std::size_t historyAt_ = 0;
  std::optional<Plan> plan_;

  Ports ports_;
  AppSettings& settings_;
  MyLibClass lib_;
};

}  // namespace kelvara
