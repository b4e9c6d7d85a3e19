// The three moves: pull out (CutTrain), back in and couple (AddTrain), push (PushTrain).
// Every move advances the units one slot at a time; each slot is a frame.
#include "model/rules.h"

#include <algorithm>
#include <limits>
#include <string>

#include "model/durations.h"

namespace kelvara {

bool TrainComplete(const Yard& yard, int trainCars) {
  int line = 1;
  int p = yard.GetLocoAfterPosition(1);
  if (p == 0 || p == kVisible) {
    line = 2;
    p = yard.GetLocoAfterPosition(2);
  }
  for (int k = 1; k <= trainCars; ++k) {
    const int pos = p + k - 1;
    if (pos >= kVisible || !(yard.at(line, pos) == Slot::Car(k))) return false;
  }
  return true;
}

bool SolvedBeforeAnyMove(const Yard& yard, int route, int n) {
  if (TrainComplete(yard, n)) return true;
  for (const int line : {route, 1}) {
    if (line != 1 && line != 2) continue;
    if (TrainComplete(rules::AddTrain(yard, kHeadShunt, line).yard, n)) return true;
  }
  return false;
}

}  // namespace kelvara

namespace kelvara::rules {

namespace {

std::string N(int v) { return std::to_string(v); }

int EmptyCount(const Yard& yard, int line) {
  int n = 0;
  for (int p = 0; p < kVisible; ++p) n += yard.at(line, p).IsEmpty() ? 1 : 0;
  return n;
}

// Moves the slots 0..last one position deeper and empties slot 0.
void ShiftDeeper(Yard& yard, int line, int last) {
  for (int k = last; k >= 1; --k) yard.at(line, k) = yard.at(line, k - 1);
  yard.at(line, 0) = Slot::Empty();
}

// A line of the track: the head shunt or a siding.
bool OnTrack(int line) { return line >= 0 && line < kTrackLines; }

// The steps of one move, each taken with the yard as it stands.
class Recorder {
 public:
  explicit Recorder(const Yard& yard) { out_.yard = yard; }
  Yard& yard() { return out_.yard; }
  void Add(Step::Kind kind) { Push(Step{kind, out_.yard, {}, {}, MsgIcon::None, false}); }
  void Log(std::string line) { Push(Step{Step::Kind::Log, out_.yard, std::move(line), {}, MsgIcon::None, false}); }
  void Box(std::vector<MsgPart> message, MsgIcon icon = MsgIcon::None) {
    Push(Step{Step::Kind::Box, out_.yard, {}, std::move(message), icon, false});
  }
  void Derail(bool first) { Push(Step{Step::Kind::Derail, out_.yard, {}, {}, MsgIcon::None, first}); }
  Outcome Done() { return std::move(out_); }
  Outcome& out() { return out_; }

 private:
  void Push(Step s) { out_.steps.push_back(std::move(s)); }
  Outcome out_;
};

}  // namespace

Outcome CutTrain(const Yard& start, int from, int to, int count, int locoUnits, bool quiet) {
  Recorder r(start);
  if (!OnTrack(from) || !OnTrack(to)) return r.Done();  // no such line: nothing moves
  Yard& yard = r.yard();
  r.Log("CutTrain In " + N(from) + " to " + N(to) + " with " + N(count));
  const int m = locoUnits;
  if (count < m) {
    r.Box({{5470, {}}}, MsgIcon::Exclamation);
    count = m;
  }
  if (count <= 0) return r.Done();

  const int c = yard.GetCoupledCarsNum(from);
  if (count > c) {
    if (!quiet) {
      // Nothing coupled (no locomotive, or one standing at the stopper) reads as 0, never negative.
      const int coupled = c > m ? c - m : 0;
      r.Box({{0, N(count - m)}, {5480, {}}, {0, "\r\n" + N(coupled)}, {5490, {}}});
    }
    count = c;
    if (count == 0) return r.Done();
  }

  // The head shunt fills from its junction end; the units it holds already slide towards
  // position 0 with every unit drawn in, so its first `count` slots must be free.
  bool room = true;
  for (int p = 0; p < count && room; ++p) room = yard.at(to, p).IsEmpty();
  if (!room) {
    if (!quiet) r.Box({{5500, {}}});
    return r.Done();
  }

  // Run to the junction with the first `count` units; the rest stay behind, uncoupled.
  for (int p = yard.FirstLocoPosition(from); p >= 1; --p) {
    for (int k = p - 1; k <= p + count - 2; ++k) yard.at(from, k) = yard.at(from, k + 1);
    yard.at(from, p + count - 1) = Slot::Empty();
    r.Add(Step::Kind::Frame);
  }

  // Draw out across the seam, one unit per step.
  for (int i = 0; i < count; ++i) {
    for (int k = 1; k < kVisible; ++k) yard.at(to, k - 1) = yard.at(to, k);
    yard.at(to, kVisible - 1) = yard.at(from, 0);
    for (int k = 1; k < count; ++k) yard.at(from, k - 1) = yard.at(from, k);
    yard.at(from, count - 1) = Slot::Empty();
    r.Add(Step::Kind::Frame);
  }

  r.Add(Step::Kind::Settle);
  r.Log("CutTrain Out " + N(from) + " to " + N(to) + " with " + N(count));
  return r.Done();
}

Outcome AddTrain(const Yard& start, int from, int to) {
  Recorder r(start);
  if (!OnTrack(from) || !OnTrack(to)) return r.Done();
  Yard& yard = r.yard();
  r.Log("AddTrain in " + N(from) + " to " + N(to));

  while (!yard.at(from, kVisible - 1).IsEmpty()) {
    // A locomotive never crosses the seam unless all of its units fit into the siding:
    // half a locomotive on each line could never be driven again.
    if (yard.at(from, kVisible - 1).IsLoco() && EmptyCount(yard, to) < yard.GetLocoNum(from)) return r.Done();
    if (!yard.at(to, 0).IsEmpty()) {
      int k = 1;
      while (k < kVisible && !yard.at(to, k).IsEmpty()) ++k;
      if (k == kVisible) return r.Done();  // the siding is full: stop where we are
      ShiftDeeper(yard, to, k);
    }
    yard.at(to, 0) = yard.at(from, kVisible - 1);
    ShiftDeeper(yard, from, kVisible - 1);
    r.Add(Step::Kind::Frame);
  }

  // A locomotive that came in alone runs on until it meets the first standing car.
  while (yard.GetCarNum(to) != 0) {
    if (yard.FirstLocoPosition(to) < 0) break;
    const int q = yard.GetLocoAfterPosition(to);
    if (q >= kVisible || !yard.at(to, q).IsEmpty()) break;
    ShiftDeeper(yard, to, q);
    r.Add(Step::Kind::Frame);
  }

  r.Add(Step::Kind::Settle);
  r.Log("AddTrain Out " + N(from) + " to " + N(to));
  return r.Done();
}

Outcome PushTrain(const Yard& start, int line, int count) {
  Recorder r(start);
  if (!OnTrack(line)) return r.Done();
  Yard& yard = r.yard();
  r.Log("PushTrain In " + N(line) + " pushing " + N(count));
  r.out().freshStart = count != 0;
  if (count == 0) {
    r.Box({{5590, {}}});
    return r.Done();
  }

  // With no locomotive in the siding nothing can be pushed, so nothing can run into the
  // stopper either: refuse with a beep instead of derailing a train that never moved.
  if (yard.GetLocoNum(line) == 0) {
    r.Add(Step::Kind::Beep);
    r.Add(Step::Kind::Settle);
    r.Log("PushTrain Out " + N(line) + " pushing " + N(count));
    return r.Done();
  }

  bool derailed = false;
  for (int i = 0; i < count; ++i) {
    if (yard.GetMaxPushing(line) == 0) {
      r.Derail(!derailed);
      derailed = true;
      r.Add(Step::Kind::Redraw);
    }
    if (yard.FirstLocoPosition(line) < 0) break;
    const int q = yard.GetLocoAfterPosition(line);
    if (q >= kVisible) break;
    int end = q;
    while (end < kVisible && !yard.at(line, end).IsEmpty()) ++end;
    // With end = 20 the unit at the stopper goes through it into overflow position 20.
    ShiftDeeper(yard, line, end);
    r.Add(Step::Kind::Frame);
  }

  r.out().derailed = derailed;
  r.out().pushed = !derailed;
  if (derailed) r.Add(Step::Kind::Suspend);
  r.Add(Step::Kind::Settle);
  r.Log("PushTrain Out " + N(line) + " pushing " + N(count));
  return r.Done();
}

namespace {

bool Told(const Outcome& move) {
  return std::any_of(move.steps.begin(), move.steps.end(), [](const Step& s) { return s.kind == Step::Kind::Box; });
}

}  // namespace

Played Play(const Board& board, const OneInputCommand& command) {
  Played out{board};
  const int line = board.route;
  if (command.letter == "C") {
    const long long count = static_cast<long long>(board.locoUnits) + command.number;
    const Outcome pull = CutTrain(board.yard, line, kHeadShunt,
                                  static_cast<int>(std::min<long long>(count, std::numeric_limits<int>::max())),
                                  board.locoUnits, false);
    const int other = line == 1 ? 2 : 1;
    const Outcome back = AddTrain(pull.yard, kHeadShunt, other);
    out.board.yard = back.yard;
    out.board.route = other;
    out.told = Told(pull) || Told(back);
  } else if (command.letter == "P") {
    const Outcome push = PushTrain(board.yard, line, command.number);
    out.board.yard = push.yard;
    out.told = Told(push);
    out.derailed = push.derailed;
  }
  return out;
}

Quiz MixUp(const Yard& start, int locoUnits, double level, int most, const Draw& draw) {
  Quiz quiz;
  quiz.yard = start;
  Yard& yard = quiz.yard;
  auto step = [&quiz](QuizStep::Kind kind, int number = 0, std::string text = {}) {
    quiz.steps.push_back(QuizStep{kind, number, std::move(text), {}});
  };
  auto move = [&quiz, &yard](Outcome o) {
    yard = o.yard;
    quiz.steps.push_back(QuizStep{QuizStep::Kind::Move, 0, {}, std::move(o)});
  };
  const int count = std::min(draw(level * 0.8, level * 1.2), most);
  step(QuizStep::Kind::Count, count);
  int cur = 1;
  for (int i = 0; i < count; ++i) {
    step(QuizStep::Kind::Guide, count - i);
    move(AddTrain(yard, kHeadShunt, cur));
    step(QuizStep::Kind::Wait, durations::kQuizMove);

    const int lo = yard.GetLocoNum(cur);
    const int cars = yard.GetCarNum(cur);
    const int r = draw(lo, lo + cars);
    if (r > yard.GetCoupledCarsNum(cur)) {
      int k = 0;
      bool derailed = false;
      // Every push moves the train a slot deeper, so the stopper ends this loop at the latest.
      while (yard.GetCoupledCarsNum(cur) < r && k <= kVisible) {
        ++k;
        Outcome push = PushTrain(yard, cur, 1);
        derailed = push.derailed;
        const bool pushed = push.pushed;
        move(std::move(push));
        if (!pushed) break;
      }
      step(QuizStep::Kind::Answer, 0, "P " + N(cur) + ":" + N(k));
      if (derailed) {
        quiz.failed = true;
        step(QuizStep::Kind::Failed);
        return quiz;
      }
    }
    step(QuizStep::Kind::Answer, 0, "C " + N(cur) + ":" + N(r - yard.GetLocoNum(cur)));
    move(CutTrain(yard, cur, kHeadShunt, r, locoUnits, true));
    step(QuizStep::Kind::Wait, durations::kQuizMove);
    cur = cur == 1 ? 2 : 1;
  }

  move(AddTrain(yard, kHeadShunt, 1));
  move(CutTrain(yard, 1, kHeadShunt, yard.GetLocoNum(1), locoUnits, true));
  step(QuizStep::Kind::Done);
  return quiz;
}

Yard Placement(const Yard& start, int m, int n) {
  if (n == 0) return start;
  Yard yard = start;
  const int e = n > kVisible ? n - kVisible : 0;
  // Writes that would fall off the track are dropped: the train choice refuses such trains,
  // but the grid must stay sound whatever it is handed.
  auto put = [&yard](int line, int pos, Slot s) {
    if (pos >= 0 && pos < kVisible) yard.at(line, pos) = s;
  };
  for (int line = 0; line < kTrackLines; ++line) {
    for (int p = 0; p <= kLastPosition; ++p) yard.at(line, p) = Slot::Empty();
  }
  for (int u = 1; u <= m; ++u) put(kHeadShunt, kVisible - m - e + u - 1, Slot::Loco(u));
  for (int k = 1; k <= e; ++k) put(kHeadShunt, kVisible - e + k - 1, Slot::Car(k));
  const int inSiding = n - e;
  for (int k = e + 1; k <= n; ++k) put(1, kVisible - inSiding + (k - e) - 1, Slot::Car(k));
  return yard;
}

std::vector<QuizMaking> MakeQuiz(const Board& board, double level, int most, int remakes, const Draw& draw) {
  std::vector<QuizMaking> makings;
  Yard yard = board.yard;
  for (int tries = 0; tries <= remakes; ++tries) {
    QuizMaking making;
    if (tries > 0) {
      making.placed = true;
      yard = Placement(yard, board.locoUnits, board.cars);
    }
    for (int siding = 1; siding <= 2; ++siding) {
      if (yard.GetLocoNum(siding) == 0) continue;
      making.locoPulls.push_back(CutTrain(yard, siding, kHeadShunt, yard.GetLocoNum(siding), board.locoUnits, false));
      yard = making.locoPulls.back().yard;
    }
    const bool locomotive = yard.GetLocoNum(0) + yard.GetLocoNum(1) + yard.GetLocoNum(2) > 0;
    if (locomotive) {
      making.quiz = MixUp(yard, board.locoUnits, level, most, draw);
      yard = making.quiz.yard;
    } else {
      making.quiz.yard = yard;  // nothing to mix up: no quiz is made
    }
    const bool inOrder = !making.quiz.failed && SolvedBeforeAnyMove(yard, board.route, board.cars);
    making.again = inOrder;
    const bool last = !inOrder || tries == remakes;
    makings.push_back(std::move(making));
    if (last) break;
  }
  return makings;
}

Board ConsoleStart(Board board) {
  board.yard = AddTrain(board.yard, kHeadShunt, 1).yard;
  board.route = 1;
  return board;
}

}  // namespace kelvara::rules
