// The quiz on the screen as a code, and a code played: checked against the train it names as a
// train file is, before anything of the game in progress changes.
#include <algorithm>

#include "base/paths.h"
#include "model/game.h"
#include "model/quizcode.h"

namespace kelvara {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// The name a code gives a train file: without ".trd" in any letter case.
std::string Stem(const std::string& file) {
  const std::string name = GetFileName(file);
  return Lower(name).ends_with(".trd") ? name.substr(0, name.size() - 4) : name;
}

}  // namespace

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

std::optional<std::string> Game::PlayQuizCode(std::string_view text) {
  const auto decoded = DecodeQuizCode(text);
  if (const auto* error = std::get_if<CodeError>(&decoded)) return Msg(*error == CodeError::Typing ? 7210 : 7220);
  const QuizCode& quiz = std::get<QuizCode>(decoded);

  // The train it names, among the player's trains.
  std::string path;
  for (const TrainFileEntry& t : ListTrainFiles()) {
    if (Lower(Stem(t.path)) == Lower(quiz.train)) {
      path = t.path;
      break;
    }
  }
  if (path.empty()) return Fill(Msg(7230), quiz.train + ".trd");
  if (quiz.locoSet >= Loco.LocoSetCount()) return Fill(Msg(7240), quiz.train + ".trd");

  // Loaded as the train choice loads it, on a copy first: the game in progress stays as it is
  // until the quiz is known to fit.
  const int setBefore = Loco.LocoSetIndex();
  const std::string trainBefore = TRD.TrainFileName;
  const bool sameTrain = setBefore == quiz.locoSet && trainBefore == path;
  auto fits = [&] {
    if (CurrentTrain().digest.substr(0, 8) != quiz.digest) return false;
    int locos = 0, cars = 0;
    for (int line = 0; line < 3; ++line) {
      for (int k = 0; k < kVisible; ++k) {
        locos += quiz.yard.at(line, k).IsLoco() ? 1 : 0;
        cars += quiz.yard.at(line, k).IsCar() ? 1 : 0;
      }
    }
    return locos == LocoUnits && cars == TrainCars && LocoUnits + TrainCars <= kVisible;
  };
  if (!sameTrain) {
    EndGame(GameEnd::Left);
    GameActive = false;
    ChangeTrain(quiz.locoSet, path);
  }
  if (TRD.TrainFileName != path || Loco.LocoSetIndex() != quiz.locoSet || !fits()) {
    if (!sameTrain && !trainBefore.empty()) ChangeTrain(setBefore, trainBefore);
    return Fill(Msg(7240), quiz.train + ".trd");
  }

  // The quiz as New Game would leave it, without its making.
  EndGame(GameEnd::Left);
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
  return std::nullopt;
}

}  // namespace kelvara
