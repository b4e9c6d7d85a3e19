// kelvara-cli: the shunting game in a terminal, for data authors and scripted play.
//
//   kelvara-cli [--data DIR] [--loco INDEX] [--train FILE] [--level N] [--seed N]
//               [--lang ja|en] [--no] [--real-time] [--records FILE] [--resume] [--code CODE]
//   kelvara-cli stats [--records FILE] [--lang ja|en]
//
// Every game is recorded as the window records it ("records.sqlite" in the player's data
// folder, or FILE). With --resume the game left in the window or the terminal goes on, and the
// game in progress at the end (quit, end of input, SIGTERM) is kept for the next start.
//
// After the quiz is made the yard is printed; then each line of standard input is a command:
// a one-input string such as C5C2P3C5, "front N", "back N", "restart", "new", "remake",
// "answer", "solve", "hint", "undo", "redo", "run", "yard", "code [CODE]", "daily", "help" or "quit". Its settings file and log live where the game
// keeps its own ("kelvara-cli.ini", "kelvara-cli.log"); the options given here win over the file.
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>

#include "base/folders.h"
#include "data/mylib.h"
#include "base/paths.h"
#include "model/game.h"
#include "model/setup.h"
#include "records/records.h"
#include "records/session.h"
#include "base/memoryports.h"
#include "services/gini.h"
#include "services/mylog.h"
#include "services/national.h"
#include "base/product.h"
#include "base/program.h"

namespace kelvara::cli {

namespace {

std::string OneLine(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') continue;
    out += text[i] == '\n' ? ' ' : text[i];
  }
  return out;
}

// The main window's menus, buttons, number box and timer, in window order.
std::vector<std::string> MainWindowControls() {
  std::vector<std::string> names;
  for (const MainControl& c : kMainControls) names.emplace_back(c.name);
  return names;
}

// Every window of the game becomes a line of text.
class Terminal : public IMessageBox, public IScene, public ISound, public IClock, public IGameLog {
 public:
  Terminal(std::ostream& out, bool answerNo, bool realTime)
      : controls(MainWindowControls()), out_(out), answerNo_(answerNo), realTime_(realTime) {}

  MemoryControls controls;
  MemoryStatusBar status;
  const Game* game = nullptr;  // whose quiz making stays quiet

  // IMessageBox
  MsgAnswer Show(std::string_view text, MsgButtons b, MsgIcon, std::string_view title) override {
    out_ << "[" << (title.empty() ? kAppTitle : std::string(title)) << "] " << OneLine(text) << "\n";
    if (b == MsgButtons::YesNo) return answerNo_ ? MsgAnswer::No : MsgAnswer::Yes;
    return b == MsgButtons::OkCancel && answerNo_ ? MsgAnswer::Cancel : MsgAnswer::Ok;
  }
  // IScene
  void DrawRefresh() override {}
  // The moves used and the fewest possible follow as a line of the game log.
  void ShowCompleteWindow(std::string_view title, std::string_view) override { out_ << "*** " << title << " ***\n"; }
  std::optional<std::string> OneInputConsole() override { return std::exchange(consoleText, {}); }
  std::string consoleText;  // what the player typed into the console
  // ISound
  void Beep() override {}
  void StopSound() override {}
  // IClock
  std::uint32_t TickCount() override {
    if (!realTime_) return now_;
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
  }
  void PumpOnce() override {}
  void Wait(int ms) override {
    if (realTime_) {
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    } else {
      now_ += static_cast<std::uint32_t>(ms) + 1;
    }
  }
  // IGameLog: the moves and the yard after each; the quiz is made out of sight. The log file has
  // them all, as the game's has.
  void WriteLine(std::string_view text) override {
    if (file != nullptr) file->WriteLine(text);
    if (game == nullptr || !game->MakingQuiz) out_ << text << "\n";
  }
  IGameLog* file = nullptr;

 private:
  std::ostream& out_;
  bool answerNo_;
  bool realTime_;
  std::uint32_t now_ = 0;
};

struct Options {
  std::string data;
  std::optional<int> loco;
  std::string train;
  std::optional<std::uint64_t> seed;
  std::optional<int> level;
  std::string lang;
  bool answerNo = false;
  bool realTime = false;
  std::string records;  // the database; "" for the player's
  bool resume = false;
  bool stats = false;
  std::string code;  // the quiz to play first, as a quiz code
};

const char* kUsage =
    "usage: kelvara-cli [--data DIR] [--loco INDEX] [--train FILE] [--level N] [--seed N]\n"
    "                   [--lang ja|en] [--no] [--real-time] [--records FILE] [--resume] [--code CODE]\n"
    "       kelvara-cli stats [--records FILE] [--lang ja|en]\n"
    "Then one command a line: a one-input string (C5C2P3C5), front N, back N, restart, new,\n"
    "remake, answer, solve, hint, undo, redo, run, yard, code [CODE], daily, help, quit.\n";

bool ParseNumber(const std::string& text, long long& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  out = std::strtoll(text.c_str(), &end, 10);
  return *end == '\0' && errno == 0;
}

std::optional<Options> ParseArgs(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string(argv[++i]);
    };
    long long n = 0;
    if (a == "stats" && i == 1) {
      o.stats = true;
    } else if (a == "--resume") {
      o.resume = true;
    } else if (a == "--no") {
      o.answerNo = true;
    } else if (a == "--real-time") {
      o.realTime = true;
    } else if (a == "--help" || a == "-h") {
      std::cout << kUsage;
      std::exit(0);
    } else if (a == "--data" || a == "--train" || a == "--lang" || a == "--records" || a == "--code") {
      const auto v = value();
      if (!v) return std::nullopt;
      (a == "--data" ? o.data : a == "--train" ? o.train : a == "--lang" ? o.lang : a == "--code" ? o.code : o.records) = *v;
    } else if (a == "--loco" || a == "--level" || a == "--seed") {
      const auto v = value();
      if (!v || !ParseNumber(*v, n) || n < 0 || n > 2147483647) return std::nullopt;
      if (a == "--loco") o.loco = static_cast<int>(n);
      if (a == "--level") o.level = static_cast<int>(n);
      if (a == "--seed") o.seed = static_cast<std::uint64_t>(n);
    } else {
      return std::nullopt;
    }
  }
  if (!o.lang.empty() && o.lang != "ja" && o.lang != "en") return std::nullopt;
  return o;
}

void PrintYard(const Game& game) {
  for (int line = 0; line < kDumpLines; ++line) std::cout << game.yard.DumpLine(line) << "\n";
}

volatile std::sig_atomic_t terminated = 0;

// The read of the next command is cut short; the game is kept as at "quit".
void OnTerminate(int) { terminated = 1; }

int PrintStats(Records& records) {
  const Statistics s = records.Stats();
  std::cout << "games " << s.played << ", completed " << s.completed << ", derailed " << s.derailed << ", left "
            << s.left << "\n"
            << "completed in the fewest moves " << s.inFewest << "\n"
            << "streak " << s.currentStreak << ", longest " << s.longestStreak << "\n"
            << "daily quiz streak " << s.dailyStreak << " days, completed on " << s.dailyCompleted << " days\n";
  for (const Statistics::Quiz& q : s.quizzes) {
    std::cout << "quiz " << q.code << (q.trainName.empty() ? "" : " (" + q.trainName + ")") << ": played " << q.played;
    if (q.bestMoves >= 0) std::cout << ", best " << q.bestMoves << " moves";
    if (q.fewest >= 0) std::cout << " (fewest " << q.fewest << ")";
    std::cout << "\n";
  }
  for (const TrainStats& t : s.trains) {
    std::cout << t.train.file << (t.name.empty() ? "" : " (" + t.name + ")") << " [" << t.train.digest << "]: played " << t.played << ", completed " << t.completed;
    if (t.bestMoves >= 0) {
      std::cout << ", best " << t.bestMoves << " moves";
      if (t.fewestAtBest >= 0) std::cout << " (fewest " << t.fewestAtBest << ")";
      std::cout << ", best time " << PlayedText(t.bestMs);
    }
    std::cout << "\n";
  }
  std::cout << "last " << s.recent.size() << " games:";
  for (const auto& g : s.recent) {
    std::cout << " " << g.moves << "/" << (g.fewest < 0 ? std::string("?") : std::to_string(g.fewest))
              << (g.end == GameEnd::Completed ? "" : g.end == GameEnd::Derailed ? "x" : "-");
  }
  std::cout << "\n";
  return 0;
}

}  // namespace

int Main(int argc, char** argv) {
  const auto options = ParseArgs(argc, argv);
  if (!options) {
    std::cerr << kUsage;
    return 2;
  }
  National texts;
  const int language = options->lang.empty() ? SystemPrimaryLanguage()
                                             : (options->lang == "ja" ? kLangJapanese : kLangEnglish);
  Terminal term(std::cout, options->answerNo, options->realTime);
  texts.InitNational(language, "", [&](const std::string& w) { term.Show(w, MsgButtons::Ok, MsgIcon::None, {}); });

  const Folders& folders = UserFolders();
  const std::string recordsPath = options->records.empty() ? folders.userData + "/records.sqlite" : options->records;
  if (options->stats) {
    Records::Opened opened = Records::Open(recordsPath);
    if (!opened.setAside.empty()) term.Show(texts.Text(6150) + "\r\n" + opened.setAside, MsgButtons::Ok, MsgIcon::Exclamation, {});
    if (!opened.records) term.Show(texts.Text(6140) + "\r\n" + opened.problem, MsgButtons::Ok, MsgIcon::Exclamation, {});
    return opened.records ? PrintStats(*opened.records) : 1;
  }
  // Opened before anything else reads the disk: the slot of this program's game in progress is
  // claimed at once.
  RecordsStart recordsStart = OpenRecords(recordsPath, options->resume);
  AppSettings settings;
  std::string unreadable;
  ReadSettings(settings, &unreadable);
  if (!unreadable.empty()) term.Show(texts.Text(6030) + "\r\n" + unreadable, MsgButtons::Ok, MsgIcon::Exclamation, {});
  if (!options->data.empty()) settings.TrdFolder = options->data;
  if (options->level) settings.QuestionLevel = *options->level;
  settings.MakeLog = true;
  settings.CarNumOnMouse = true;

  MakeFolder(folders.log);
  MyLogClass log(BuildPath(folders.log, ExeName() + ".log"));
  log.Claim();
  FileGameLog fileLog(log);
  term.file = &fileLog;

  const std::uint64_t seed = options->seed.value_or(
      static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()) % 1000000007ULL);
  const std::unique_ptr<Game> made =
      MakeGame(Ports{term, term.controls, term.status, term, term, term, term, texts}, settings, &log, seed);
  Game& game = *made;
  term.game = &game;

  game.LoadLocoList();
  const RecordsTell tell{[&](const std::string& text) { term.Show(text, MsgButtons::Ok, MsgIcon::Exclamation, {}); },
                         [&](const std::string& text) { log.Out(text); }};
  const std::unique_ptr<Records> records = StartRecords(recordsStart, game, tell);
  if (game.Loco.LocoSetCount() == 0) {
    std::cerr << "kelvara-cli: no locomotive set in " << game.LocoListFolder() << "\n";
    return 1;
  }
  if (options->loco && (*options->loco >= game.Loco.LocoSetCount())) {
    std::cerr << "kelvara-cli: --loco must be below " << game.Loco.LocoSetCount() << "\n";
    return 2;
  }
  if (!options->loco && options->train.empty()) {
    game.mnuGameChangeTrainAuto_Click();
  } else {
    const int loco = options->loco.value_or(game.lib().GetRandom(0, game.Loco.LocoSetCount() - 1));
    const std::string train = options->train.empty() ? game.GetTrainRandom() : options->train;
    game.ChangeTrain(loco, train);
  }
  // A train picked at random that does not load (its box said why) makes way for the others, in
  // turn; a train named on the command line has no stand-in.
  if (game.TRD.CarCount() == 0 && options->train.empty()) {
    for (const Game::TrainFileEntry& t : game.ListTrainFiles()) {
      game.ChangeTrain(options->loco.value_or(game.Loco.LocoSetIndex() < 0 ? 0 : game.Loco.LocoSetIndex()), t.path);
      if (game.TRD.CarCount() > 0) break;
    }
  }
  if (game.TRD.CarCount() == 0) {
    std::cerr << "kelvara-cli: no train could be loaded\n";
    return 1;
  }
  std::cout << OneLine(term.controls.Text("lblMsg")) << "\n";
  std::cout << "Seed " << seed << ", level " << settings.QuestionLevel << "\n";

  game.SetSign(-1);
  game.SetSign(0);
  game.SetSign(1);
  // From before the game left is read: a signal from here on ends with the game kept.
  if (options->resume) {
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no restart: the read in progress ends
    for (const int s : {SIGTERM, SIGINT, SIGHUP}) sigaction(s, &action, nullptr);
  }
  const std::optional<SavedGame>& saved = recordsStart.claim.left;
  if (saved) LoadTrainOfGameLeft(game, *saved);
  const int resumed = saved ? TakeUpGameLeft(game, *saved) : 0;
  if (resumed == 6100) {
    std::cout << OneLine(term.controls.Text("lblMsg")) << "\n" << texts.Text(6100) << "\n";
  } else {
    if (resumed != 0) std::cout << texts.Text(resumed) << "\n";
    if (options->code.empty()) {
      game.Do(GameCommand::GameNewGame);
    } else if (const auto play = game.PlayQuizCode(options->code); !play.played) {
      std::cerr << "kelvara-cli: " << play.refused << "\n";
      return 2;
    } else {
      std::cout << OneLine(term.controls.Text("lblMsg")) << "\n";
    }
  }
  PrintYard(game);
  if (::isatty(STDIN_FILENO)) std::cout << "Restore cars 1, 2, 3 ... behind the locomotive. Type a command string such as C5C2P3C5, or help.\n";

  std::string line;
  while (!terminated && std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    std::string arg;
    words >> arg;
    if (verb.empty()) continue;
    // Whatever the window would refuse now is refused here too: both ask the game's one gate.
    auto refused = [&] { std::cout << "(" << verb << " is not available now)\n"; };
    auto press = [&](GameCommand button, bool oneInput) {
      settings.OneInput = oneInput;
      if (game.Allows(button)) {
        // The number box takes digits only while a game is played.
        game.ports().controls.SetText("cmbCutTrainNum", game.Allows(GameCommand::NumberBox) ? arg : "");
        game.Do(button);
      } else {
        refused();
      }
      settings.OneInput = false;
    };
    auto menu = [&](GameCommand item) {
      if (!game.Do(item)) refused();
    };
    if (verb == "quit" || verb == "exit") break;
    if (verb == "front") {
      press(GameCommand::Front, false);
    } else if (verb == "back") {
      press(GameCommand::Back, false);
    } else if (verb == "restart") {
      menu(GameCommand::GameRestart);
      PrintYard(game);
    } else if (verb == "new") {
      menu(GameCommand::GameNewGame);
      std::cout << OneLine(term.controls.Text("lblMsg")) << "\n";
      PrintYard(game);
    } else if (verb == "remake") {
      menu(GameCommand::GameReDisMakeUp);
      PrintYard(game);
    } else if (verb == "daily") {
      // Today's quiz, as Game > Today's quiz plays it.
      if (game.Do(GameCommand::GameDaily)) {
        std::cout << OneLine(term.controls.Text("lblMsg")) << "\n";
        PrintYard(game);
      } else {
        refused();
      }
    } else if (verb == "code") {
      // The quiz's own code, or a code to play from its start.
      if (arg.empty()) {
        const auto code = game.QuizCodeText();
        std::cout << (code ? *code : std::string("(no quiz)")) << "\n";
      } else if (!game.Allows(GameCommand::GamePlayCode)) {
        refused();
      } else if (const auto play = game.PlayQuizCode(line.substr(line.find(verb) + verb.size())); !play.played) {
        std::cout << (play.refused.empty() ? "(the game in progress goes on)" : play.refused) << "\n";
      } else {
        PrintYard(game);
      }
    } else if (verb == "answer") {
      std::cout << game.AnswerText();
    } else if (verb == "solve") {
      // From the position as it stands, as a string for the console (which first backs into 1).
      const SolveResult r = SolveFromConsole(game.yard, game.LocoUnits, game.TrainCars);
      if (r.outcome == SolveResult::Outcome::Solved) {
        // The last line is what to type; with no commands, "run" plays the empty string.
        std::cout << r.commands.size() << (r.proven ? " commands, fewest possible" : " commands, not proven fewest")
                  << "\n"
                  << (r.commands.empty() ? std::string("run") : CommandsText(r.commands)) << "\n";
      } else {
        std::cout << (r.outcome == SolveResult::Outcome::NoSolution ? "(no solution)" : "(no solution found in time)")
                  << "\n";
      }
    } else if (verb == "hint") {
      settings.OneInput = true;  // a hint for the console, where this front end plays
      menu(GameCommand::GameHint);  // its line comes out with the game log's
      settings.OneInput = false;
    } else if (verb == "undo" || verb == "redo") {
      // The log line and the yard come out as a move's do.
      menu(verb == "undo" ? GameCommand::GameUndo : GameCommand::GameRedo);
    } else if (verb == "run") {  // the console with nothing typed: only the back into line 1
      term.consoleText = "";
      press(GameCommand::Back, true);
    } else if (verb == "yard") {
      PrintYard(game);
    } else if (verb == "help") {
      std::cout << kUsage;
    } else {
      // Anything else is typed into the one-input console.
      term.consoleText = line;
      press(GameCommand::Back, true);
    }
  }
  // The game in progress stays in this program's slot for --resume; without it, it is left.
  const bool kept = options->resume && records && records->Slot() != 0 && game.GameActive && game.Played();
  EndRecords(game, options->resume);
  if (kept) std::cout << "(the game in progress is kept: kelvara-cli --resume goes on)\n";
  return 0;
}

}  // namespace kelvara::cli

int main(int argc, char** argv) { return kelvara::cli::Main(argc, argv); }
