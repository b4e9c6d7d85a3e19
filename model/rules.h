// The three moves as values: what a pull, a back-in or a push does to a yard, and the steps a
// front end shows on the way (frames, boxes, log lines), with nothing shown and nothing waited
// for. The game plays these steps; anything that only needs the result reads `yard`.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/ports.h"
#include "model/command.h"
#include "model/yard.h"

namespace kelvara {

// The completion test: the locomotive in a siding with cars 1..n directly behind it in order.
bool TrainComplete(const Yard& yard, int trainCars);
// In order already, or after nothing but the back-in into the route's siding or siding 1.
bool SolvedBeforeAnyMove(const Yard& yard, int route, int trainCars);

}  // namespace kelvara

namespace kelvara::rules {

// One piece of a message: a text of the string table, or a literal (a number, a line break).
struct MsgPart {
  int id = 0;  // 0: `text` as it stands
  std::string text;
  bool operator==(const MsgPart&) const = default;
};

struct Step {
  enum class Kind {
    Log,     // a log line, followed by the yard as it stands
    Frame,   // one slot further: drawn while moves are animated
    Settle,  // the move's last picture
    Redraw,  // drawn whatever the animation setting
    Box,     // a message box
    Beep,
    Derail,  // the train ran into the car stopper; `first` for the first time in this push
    Suspend, // after a derailment: the service is suspended, the game is over
  };
  Kind kind = Kind::Frame;
  Yard yard;  // the yard at this step
  std::string line;                 // Log
  std::vector<MsgPart> message;     // Box
  MsgIcon icon = MsgIcon::None;     // Box
  bool first = false;               // Derail
};

struct Outcome {
  Yard yard;  // after the move
  std::vector<Step> steps;
  bool derailed = false;  // PushTrain: ran into the car stopper
  bool pushed = false;    // PushTrain: true when the push went through
  bool freshStart = false;  // PushTrain of a count: a derailment of an earlier push is past
};

// `CutTrain`: pulls `count` units (locomotive units first) out of siding `from` onto `to`.
// `quiet` (the quiz maker) leaves out the boxes of a count that does not fit.
Outcome CutTrain(const Yard& yard, int from, int to, int count, int locoUnits, bool quiet);
// `AddTrain`: backs the train on `from` into `to` and couples it.
Outcome AddTrain(const Yard& yard, int from, int to);
// `PushTrain`: pushes the train in `line` `count` car lengths deeper.
Outcome PushTrain(const Yard& yard, int line, int count);

// A position between two commands: the yard, the siding the route shows, the train's size.
struct Board {
  Yard yard;
  int route = 0;
  int locoUnits = 1;
  int cars = 0;
  bool operator==(const Board&) const = default;
};

// What one command of a one-input string made of a board: `told` when the game would have
// shown a message on the way (a count that does not fit, a push of nothing), `derailed` when
// the train ran into the car stopper.
struct Played {
  Board board;
  bool told = false;
  bool derailed = false;
  bool Clean() const { return !told && !derailed; }
};

// One command as the console plays it: "C": the locomotive and `number` cars pulled out of the
// siding the route shows, the route set to the other siding and the train backed into it; "P":
// pushed `number` car lengths deeper. Any other letter leaves the board as it is.
Played Play(const Board& board, const OneInputCommand& command);
// The console's own first step before any command: the route set to siding 1 and the back into it.
Board ConsoleStart(Board board);

// The quiz maker: the train mixed up by real back-ins, pushes and pulls, each drawn at random.
struct QuizStep {
  enum class Kind {
    Count,   // `number`: how many commands the quiz will have
    Guide,   // `number`: how many are still to come
    Move,    // `move`: a back-in, a push of one car length or a pull, to be shown
    Wait,    // `number` milliseconds between two commands
    Answer,  // `text`: the next entry of the answer list ("C 2:8", "P 1:3")
    Failed,  // a push ran into the car stopper: no quiz
    Done,    // the quiz stands ready
  };
  Kind kind = Kind::Done;
  int number = 0;
  std::string text;
  Outcome move;
};

struct Quiz {
  Yard yard;  // as the quiz stands: the locomotive in the head shunt
  std::vector<QuizStep> steps;
  bool failed = false;
};

// Draws a whole number from `lower` to `upper` as the game's random numbers do.
using Draw = std::function<std::int32_t(double lower, double upper)>;

// `DisMakeUp` as values: from `yard` (the locomotive in the head shunt), about `level` commands
// (at most `most`), each a back-in into the siding whose turn it is, pushes until the cars to
// take are coupled, and a pull of the locomotive and some of them.
Quiz MixUp(const Yard& yard, int locoUnits, double level, int most, const Draw& draw);

// `SetCars` as a value: the train as New Game places it, the locomotive's units on the head
// shunt against the junction and the cars in siding 1 (those that do not fit there on the head
// shunt behind it). With no cars the yard stays as it is.
Yard Placement(const Yard& yard, int locoUnits, int cars);

// One making of a quiz as New Game does it: the train placed again first when an earlier making
// came out already in order, the locomotive drawn out of its siding onto the head shunt, and the
// mix-up; `again` when it came out in order.
struct QuizMaking {
  bool placed = false;
  std::vector<Outcome> locoPulls;
  Quiz quiz;
  bool again = false;
};

// `MakeQuiz` as values: the makings, at most 1 + `remakes`, until one is not already in order
// (or a push derails). The board's route is the one a quiz in order is judged by.
std::vector<QuizMaking> MakeQuiz(const Board& board, double level, int most, int remakes, const Draw& draw);

}  // namespace kelvara::rules
