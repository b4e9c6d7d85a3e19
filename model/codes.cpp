// The quiz on the screen as a code, and a code played: checked against the train it names as a
// train file is, before anything of the game in progress changes.
#include <algorithm>

#include <chrono>
#include <cstdio>

#include "base/nullports.h"
#include "base/paths.h"
#include "model/game.h"
#include "model/quizcode.h"

namespace kelvara {

namespace {

// The name a code gives a train file: without ".trd" in any letter case.
std::string Stem(const std::string& file) {
  const std::string name = GetFileName(file);
  return Lower(name).ends_with(".trd") ? name.substr(0, name.size() - 4) : name;
}

}  // namespace

std::string DailyDate(std::chrono::system_clock::time_point now) {
  const std::chrono::year_month_day day{std::chrono::floor<std::chrono::days>(now)};
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(day.year()), static_cast<unsigned>(day.month()),
                static_cast<unsigned>(day.day()));
  return text;
}

std::optional<std::string> DailyQuizCode(const std::string& defaultSetFolder, const std::string& date) {
  if (defaultSetFolder.empty()) return std::nullopt;
  // The shipped set alone, on a silent game: nothing of the player's settings, trains or random
  // numbers reaches it.
  AppSettings settings;
  settings.TrdFolder = defaultSetFolder;
  settings.MakeLog = false;
  settings.QuestionLevel = kDailyLevel;
  NullPorts ports;
  Game game(ports.ports(), settings);
  game.LoadLocoList();
  if (game.Loco.LocoSetCount() == 0) return std::nullopt;
  std::vector<std::string> trains;
  for (const auto& t : game.ListTrainFiles()) trains.push_back(t.path);
  std::sort(trains.begin(), trains.end(), [](const std::string& a, const std::string& b) {
    return Lower(GetFileName(a)) < Lower(GetFileName(b));
  });
  // The date's own number: the train of the day in turn, and the quiz's seed.
  std::uint64_t h = 14695981039346656037ull;
  for (const char c : "kelvara daily " + date) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  for (std::size_t k = 0; k < trains.size(); ++k) {
    game.ChangeTrain(0, trains[(h + k) % trains.size()]);
    if (game.TrainCars > 0 && game.LocoUnits + game.TrainCars <= kVisible) break;
  }
  if (game.TrainCars <= 0 || game.LocoUnits + game.TrainCars > kVisible) return std::nullopt;
  game.lib().Seed(h);
  game.SetCars();
  game.Route = 1;
  game.MakeQuiz();
  if (game.Derailed) return std::nullopt;
  game.SetQuizStart(game.yard, game.Route);
  game.GameActive = true;
  return game.QuizCodeText();
}

void Game::mnuGameDaily_Click() {
  const std::string date = DailyDate(std::chrono::system_clock::now());
  // A portable copy has no set apart: its data folder, beside the program, holds the shipped set.
  const auto code = DailyQuizCode(DefaultSetFolder.empty() ? settings_.TrdFolder : DefaultSetFolder, date);
  if (!code) {
    Box(Msg(7290), MsgButtons::Ok, MsgIcon::Exclamation);
    return;
  }
  const CodePlay play = PlayQuizCode(*code);
  if (!play.refused.empty()) Box(play.refused, MsgButtons::Ok, MsgIcon::Exclamation);
  if (!play.played) return;
  DailyDay = date;
  MsgGuide.Msg(Fill(Msg(7280), date, *code));
}

std::optional<std::string> Game::QuizCodeText() const {
  if (TrainCars <= 0 || (!GameActive && !completed_ && !gameOver_)) return std::nullopt;
  QuizCode quiz;
  quiz.train = Stem(TRD.TrainFileName);
  quiz.digest = CurrentTrain().digest.substr(0, 8);
  quiz.locoSet = Loco.LocoSetIndex();
  quiz.route = StartRoute;
  quiz.yard = StartYard;
  return EncodeQuizCode(quiz);
}

Game::CodePlay Game::PlayQuizCode(std::string_view text) {
  const auto decoded = DecodeQuizCode(text);
  if (const auto* error = std::get_if<CodeError>(&decoded)) return {false, Msg(*error == CodeError::Typing ? 7210 : 7220)};
  const QuizCode& quiz = std::get<QuizCode>(decoded);
  const std::string file = quiz.train + ".trd";

  // The train it names, among the player's trains, loaded on the side as the game loads its own.
  std::string path;
  for (const TrainFileEntry& t : ListTrainFiles()) {
    if (Lower(Stem(t.path)) == Lower(quiz.train)) {
      path = t.path;
      break;
    }
  }
  if (path.empty()) return {false, Fill(Msg(7230), file)};
  TRDClass side(dataPorts());
  side.NoErrorMsg = true;
  side.NoLoadCouplerBellows = TRD.NoLoadCouplerBellows;
  side.Finder = WithFallback(FindCarFile, settings_.TrdFolder, DefaultSetFolder);
  side.TrainFileName = path;
  if (!side.LoadTrd() || side.CarCount() == 0) return {false, Fill(Msg(7370), file)};
  const std::string digest = quiz.version >= 2 ? side.ContentDigest() : side.FolderDigest();
  if (digest.substr(0, 8) != quiz.digest || quiz.locoSet >= Loco.LocoSetCount()) return {false, Fill(Msg(7240), file)};
  LocoClass set = Loco;
  set.LocoSetIndex(quiz.locoSet);
  const int m = set.CarCount(), n = side.CarCount();
  int locos = 0, cars = 0;
  for (int line = 0; line < 3; ++line) {
    locos += quiz.yard.GetLocoNum(line);
    cars += quiz.yard.GetCarNum(line);
  }
  if (locos != m || cars != n || m + n > kVisible) return {false, Fill(Msg(7240), file)};
  if (const auto why = StartProblem(quiz.yard, quiz.route, m, n)) return {false, Fill(Msg(7310), Msg(*why))};

  // All checked: only now does anything of the game change, and a game with moves made goes only
  // when the player says so.
  if (GameActive && Played() && Box(Msg(7350), MsgButtons::YesNo, MsgIcon::Information) == MsgAnswer::No) {
    return {};
  }
  if (Loco.LocoSetIndex() != quiz.locoSet || TRD.TrainFileName != path) {
    ChangeTrain(quiz.locoSet, path, false);
    // The files changed under the game since they were read: the game in progress goes on.
    if (TRD.TrainFileName != path || Loco.LocoSetIndex() != quiz.locoSet || TrainCars != n || LocoUnits != m) {
      return {false, Fill(Msg(7370), file)};
    }
  }

  // The quiz as New Game would leave it, without its making.
  EndGame(GameEnd::Left);
  DailyDay.clear();
  ForgetPar();
  yard = quiz.yard;
  DimCopy2(yard, StartYard);
  StartRoute = quiz.route;
  Route = quiz.route;
  ports_.scene.ShowSign(Route);
  AnserCount = 0;
  DCount = 0;
  ports_.status.SetPanel("DCount", "");
  Derailed = false;
  TrainChanged = false;
  ComputeFewest(settings_.OneInput);
  mnuGameRestart_Click();
  MsgGuide.Msg(Msg(7250));
  return {true, {}};
}

}  // namespace kelvara
