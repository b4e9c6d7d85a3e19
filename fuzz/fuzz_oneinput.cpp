// Any bytes as a one-input string over a yard the game made: no crash, no unit lost except
// through a broken car stopper, the locomotive always whole.
#include <cstdlib>
#include <set>
#include <string>

#include "fuzz_support.h"
#include "model/game.h"

using namespace kelvara;

namespace {

int CountUnits(const Yard& y, std::set<std::string>& seen) {
  int n = 0;
  for (int l = 0; l < kLines; ++l) {
    for (int p = 0; p < kVisible; ++p) {
      if (y.at(l, p).IsEmpty()) continue;
      if (!seen.insert(y.at(l, p).Text()).second) std::abort();  // a unit twice
      ++n;
    }
  }
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  testing::Fakes f;
  f.settings.QuestionLevel = 5 + data[0] % 6;
  Game game(f.ports(), f.settings);
  game.LocoUnits = 1 + data[1] % 4;
  game.TrainCars = 1 + data[2] % (20 - game.LocoUnits);
  game.lib().Seed(static_cast<std::uint64_t>(data[0]) << 16 | static_cast<std::uint64_t>(data[1]) << 8 | data[2]);
  game.SetCars();
  game.DisMakeUp();

  std::set<std::string> before;
  const int units = CountUnits(game.yard, before);
  game.RunOneInput(std::string_view(reinterpret_cast<const char*>(data + 3), size - 3));

  std::set<std::string> after;
  const int left = CountUnits(game.yard, after);
  bool derailed = false;
  for (const auto& box : f.msg.shown) derailed |= box.text == "<5600>";
  if (!derailed && left != units) std::abort();
  for (const auto& u : after) {
    if (!before.count(u)) std::abort();  // a unit from nowhere
  }
  int locos = 0;
  for (int l = 0; l < kLines; ++l) locos += game.yard.GetLocoNum(l);
  if (locos != game.LocoUnits) std::abort();
  return 0;
}
