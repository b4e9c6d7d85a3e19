// Any bytes as a one-input string over a yard the game made: no crash, no unit lost except
// through a broken car stopper, none from nowhere, the locomotive always whole.
//
// The first three bytes choose the train and the quiz; one game lives for the whole run and
// quizzes are kept by those bytes, so an input costs the string's moves and little else.
#include <cstdlib>
#include <map>

#include "fuzz_support.h"
#include "model/game.h"

using namespace kelvara;

namespace {

// Every unit present, as a bit each: locomotive units first, then the cars. A unit twice aborts.
std::uint64_t Units(const Yard& y, int& count) {
  std::uint64_t seen = 0;
  count = 0;
  for (int l = 0; l < kLines; ++l) {
    for (int p = 0; p < kVisible; ++p) {
      const Slot& s = y.at(l, p);
      if (s.IsEmpty()) continue;
      const std::uint64_t bit = std::uint64_t{1} << (s.IsLoco() ? s.number() : 20 + s.number());
      if (seen & bit) std::abort();
      seen |= bit;
      ++count;
    }
  }
  return seen;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  static fuzzing::QuietPorts quiet;
  static Game game(quiet.ports(), quiet.settings);
  static std::map<std::uint32_t, Yard> quizzes;

  const std::uint32_t key = static_cast<std::uint32_t>(data[0]) << 16 | static_cast<std::uint32_t>(data[1]) << 8 | data[2];
  game.LocoUnits = 1 + data[1] % 4;
  game.TrainCars = 1 + data[2] % (20 - game.LocoUnits);
  auto quiz = quizzes.find(key);
  if (quiz == quizzes.end()) {
    quiet.settings.QuestionLevel = 5 + data[0] % 6;
    game.lib().Seed(key);
    game.SetCars();
    game.DisMakeUp();
    if (quizzes.size() > 4096) quizzes.clear();
    quiz = quizzes.emplace(key, game.yard).first;
  }
  game.yard = quiz->second;
  game.Derailed = game.MakingQuiz = false;

  int units = 0, left = 0;
  const std::uint64_t before = Units(game.yard, units);
  quiet.msg.watched = "<5600>";
  quiet.msg.watchedShown = 0;
  game.RunOneInput(std::string_view(reinterpret_cast<const char*>(data + 3), size - 3));

  const std::uint64_t after = Units(game.yard, left);
  if (quiet.msg.watchedShown == 0 && left != units) std::abort();
  if ((after & ~before) != 0) std::abort();  // a unit from nowhere
  int locos = 0;
  for (int l = 0; l < kLines; ++l) locos += game.yard.GetLocoNum(l);
  if (locos != game.LocoUnits) std::abort();
  return 0;
}
