// A solver for one-input strings: it plays the string on a working copy of the game as it is
// written, so what it returns is exactly what the console will do.
//
// The locomotive carries the finished part 1..k of the train behind it. Car k+1 is brought to the
// junction end of a siding, the carried cars are backed in against it, and the next pull takes
// it along. Every pull first pushes just far enough to couple the cars it needs.
#include <algorithm>
#include <vector>

#include "model/game.h"
#include "base/nullports.h"

namespace kelvara {

namespace {

class Planner {
 public:
  Planner(const Yard& yard, int m, int n) : game_(null_.ports(), settings_) {
    game_.yard = yard;
    game_.LocoUnits = m;
    game_.TrainCars = n;
    game_.RunOneInput("");  // every run begins by backing into siding 1
  }

  // Cars of the current siding in order from the junction, the locomotive left out.
  std::vector<int> Cars(int line) const {
    std::vector<int> out;
    for (int p = 0; p < kVisible; ++p) {
      if (game_.yard.at(line, p).IsCar()) out.push_back(game_.yard.at(line, p).number());
    }
    return out;
  }
  int Current() const { return game_.Route; }
  int Other() const { return game_.Route == 1 ? 2 : 1; }

  void Pull(int cars) {
    Couple(cars);
    Run({"C", cars});
  }

  // Pushes as little as needed for `cars` cars to be coupled behind the locomotive.
  void Couple(int cars) {
    const int line = Current();
    const int want = game_.LocoUnits + cars;
    if (game_.yard.GetCoupledCarsNum(line) >= want) return;
    const Yard before = game_.yard;
    for (int k = 1; k <= game_.yard.GetMaxPushing(line); ++k) {
      game_.yard = before;
      game_.PushTrain(line, k);
      const bool coupled = game_.yard.GetCoupledCarsNum(line) >= want;
      game_.yard = before;
      if (coupled) {
        Run({"P", k});
        return;
      }
    }
  }

  std::string Result() const { return text_; }

 private:
  void Run(const OneInputCommand& cmd) {
    text_ += cmd.letter + std::to_string(cmd.number);
    game_.RunOneInputCommand(cmd);
  }

  AppSettings settings_;
  NullPorts null_;
  Game game_;
  std::string text_;
};

int IndexOf(const std::vector<int>& cars, int car) {
  const auto it = std::find(cars.begin(), cars.end(), car);
  return it == cars.end() ? -1 : static_cast<int>(it - cars.begin());
}

}  // namespace

std::optional<std::string> SolveOneInput(const Yard& yard, int locoUnits, int trainCars) {
  if (locoUnits + trainCars > kVisible) return std::nullopt;
  Planner plan(yard, locoUnits, trainCars);
  for (int k = 0; k < trainCars; ++k) {
    const int next = k + 1;
    const int here = IndexOf(plan.Cars(plan.Current()), next);
    if (here >= 0) {
      // Behind the carried cars in this siding: set the cars between aside, come back for it.
      if (here == k) continue;
      plan.Pull(here);
      plan.Pull(k);
    } else {
      const int there = IndexOf(plan.Cars(plan.Other()), next);
      if (there < 0) return std::nullopt;  // the car is not in a siding: not a yard this game makes
      plan.Pull(k);            // the carried cars go over on top of the cars in front of it
      plan.Pull(k + there);    // those come back with them
      plan.Pull(k);            // and the carried cars return against it
    }
  }
  plan.Couple(trainCars);
  return plan.Result();
}

}  // namespace kelvara
