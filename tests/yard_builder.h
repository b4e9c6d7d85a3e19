// Builds yards from short texts: "L1 L2 3 4 . 5" fills positions 0, 1, 2, ... of a line; and
// games whose train stands ready.
#pragma once

#include <memory>
#include <sstream>
#include <string>

#include "fakes.h"
#include "model/game.h"
#include "model/yard.h"

namespace kelvara::testing {

inline void SetLine(Yard& yard, int line, const std::string& text) {
  for (int p = 0; p <= kLastPosition; ++p) yard.at(line, p) = Slot::Empty();
  std::istringstream in(text);
  std::string token;
  int p = 0;
  while (in >> token && p <= kLastPosition) {
    if (token == ".") {
      yard.at(line, p) = Slot::Empty();
    } else if (token[0] == 'L') {
      yard.at(line, p) = Slot::Loco(std::stoi(token.substr(1)));
    } else {
      yard.at(line, p) = Slot::Car(std::stoi(token));
    }
    ++p;
  }
}

// The visible part of a line in the same short form, trailing empties dropped.
inline std::string LineText(const Yard& yard, int line) {
  int last = kVisible - 1;
  while (last >= 0 && yard.at(line, last).IsEmpty()) --last;
  std::string out;
  for (int p = 0; p <= last; ++p) {
    if (!out.empty()) out += ' ';
    out += yard.at(line, p).IsEmpty() ? "." : yard.at(line, p).Text();
  }
  return out;
}

// A game of m locomotive units and n cars in their correct formation, as a train just loaded
// leaves it: that position remembered as the start, the sign set for siding 1.
inline std::unique_ptr<Game> TrainGame(Fakes& f, int m, int n, std::uint64_t seed = 1) {
  auto game = std::make_unique<Game>(f.ports(), f.settings);
  game->lib().Seed(seed);
  game->LocoUnits = m;
  game->TrainCars = n;
  game->SetCars();
  DimCopy2(game->yard, game->StartYard);
  game->TrainChanged = true;
  game->Route = 1;
  return game;
}

}  // namespace kelvara::testing
