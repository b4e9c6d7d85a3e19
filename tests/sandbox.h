// A working copy of the game on a position, silent and without waits: for tests that hold the
// rules as values to what the game itself does, and that try a button on a copy.
#pragma once

#include "base/nullports.h"
#include "model/game.h"

namespace kelvara {

class Sandbox {
 public:
  Sandbox(const Yard& yard, int route, int m, int n) : game_(null_.ports(), settings_) {
    settings_.MakeLog = false;
    game_.yard = yard;
    game_.Route = route;
    game_.LocoUnits = m;
    game_.TrainCars = n;
  }
  Game& game() { return game_; }
  // Plays a command; false when it derailed the train or had the game show a message.
  bool Play(const OneInputCommand& c) {
    const int before = null_.BoxesShown();
    game_.RunOneInputCommand(c);
    return !game_.Derailed && null_.BoxesShown() == before;
  }

 private:
  AppSettings settings_;
  NullPorts null_;
  Game game_;
};

}  // namespace kelvara
