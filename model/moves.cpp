// The three moves: pull out (CutTrain), back in and couple (AddTrain), push (PushTrain).
// Every move advances the units one slot at a time and asks for a redraw after each step.
#include <string>

#include "model/durations.h"
#include "model/game.h"

namespace kelvara {

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

}  // namespace

void Game::CutTrain(int from, int to, int count) {
  LogOut("CutTrain In " + N(from) + " to " + N(to) + " with " + N(count));
  const int m = LocoUnits;
  if (count < m) {
    Box(Msg(5470), MsgButtons::Ok, MsgIcon::Exclamation);
    count = m;
  }
  if (count <= 0) return;

  const int c = yard.GetCoupledCarsNum(from);
  if (count > c) {
    if (!MakingQuiz) {
      // Nothing coupled (no locomotive, or one standing at the stopper) reads as 0, never negative.
      const int coupled = c > m ? c - m : 0;
      Box(N(count - m) + Msg(5480) + "\r\n" + N(coupled) + Msg(5490));
    }
    count = c;
    if (count == 0) return;
  }

  // The head shunt fills from its junction end; the units it holds already slide towards
  // position 0 with every unit drawn in, so its first `count` slots must be free.
  bool room = true;
  for (int p = 0; p < count && room; ++p) room = yard.at(to, p).IsEmpty();
  if (!room) {
    if (!MakingQuiz) Box(Msg(5500));
    return;
  }

  // Run to the junction with the first `count` units; the rest stay behind, uncoupled.
  for (int p = yard.FirstLocoPosition(from); p >= 1; --p) {
    for (int k = p - 1; k <= p + count - 2; ++k) yard.at(from, k) = yard.at(from, k + 1);
    yard.at(from, p + count - 1) = Slot::Empty();
    DrawRefresh3();
  }

  // Draw out across the seam, one unit per step.
  for (int i = 0; i < count; ++i) {
    for (int k = 1; k < kVisible; ++k) yard.at(to, k - 1) = yard.at(to, k);
    yard.at(to, kVisible - 1) = yard.at(from, 0);
    for (int k = 1; k < count; ++k) yard.at(from, k - 1) = yard.at(from, k);
    yard.at(from, count - 1) = Slot::Empty();
    DrawRefresh3();
  }

  DrawRefresh2();
  LogOut("CutTrain Out " + N(from) + " to " + N(to) + " with " + N(count));
}

void Game::AddTrain(int from, int to) {
  LogOut("AddTrain in " + N(from) + " to " + N(to));

  while (!yard.at(from, kVisible - 1).IsEmpty()) {
    // A locomotive never crosses the seam unless all of its units fit into the siding:
    // half a locomotive on each line could never be driven again.
    if (yard.at(from, kVisible - 1).IsLoco() && EmptyCount(yard, to) < yard.GetLocoNum(from)) return;
    if (!yard.at(to, 0).IsEmpty()) {
      int k = 1;
      while (k < kVisible && !yard.at(to, k).IsEmpty()) ++k;
      if (k == kVisible) return;  // the siding is full: stop where we are
      ShiftDeeper(yard, to, k);
    }
    yard.at(to, 0) = yard.at(from, kVisible - 1);
    ShiftDeeper(yard, from, kVisible - 1);
    DrawRefresh3();
  }

  // A locomotive that came in alone runs on until it meets the first standing car.
  while (yard.GetCarNum(to) != 0) {
    if (yard.FirstLocoPosition(to) < 0) break;
    const int q = yard.GetLocoAfterPosition(to);
    if (q >= kVisible || !yard.at(to, q).IsEmpty()) break;
    ShiftDeeper(yard, to, q);
    DrawRefresh3();
  }

  DrawRefresh2();
  LogOut("AddTrain Out " + N(from) + " to " + N(to));
}

bool Game::PushTrain(int line, int count) {
  LogOut("PushTrain In " + N(line) + " pushing " + N(count));
  if (count == 0) {
    Box(Msg(5590));
    return false;
  }
  Derailed = false;

  // With no locomotive in the siding nothing can be pushed, so nothing can run into the
  // stopper either: refuse with a beep instead of derailing a train that never moved.
  if (yard.GetLocoNum(line) == 0) {
    ports_.sound.Beep();
    DrawRefresh2();
    LogOut("PushTrain Out " + N(line) + " pushing " + N(count));
    return false;
  }

  for (int i = 0; i < count; ++i) {
    if (yard.GetMaxPushing(line) == 0) {
      Derail(!Derailed);
      ports_.scene.DrawRefresh();
    }
    if (yard.FirstLocoPosition(line) < 0) break;
    const int q = yard.GetLocoAfterPosition(line);
    if (q >= kVisible) break;
    int r = q;
    while (r < kVisible && !yard.at(line, r).IsEmpty()) ++r;
    // With r = 20 the unit at the stopper goes through it into overflow position 20.
    ShiftDeeper(yard, line, r);
    DrawRefresh3();
  }

  const bool ok = !Derailed;
  if (Derailed) SuspendService();

  DrawRefresh2();
  LogOut("PushTrain Out " + N(line) + " pushing " + N(count));
  return ok;
}

void Game::Derail(bool first) {
  if (!first) {
    ports_.sound.Beep();
    lib_.Wait1ms(durations::kDerailStep);
    return;
  }
  ports_.sound.StopSound();
  if (GameActive) {
    clockStopped_ = ports_.clock.TickCount();
    UpdateControls();
  }
  Box(Msg(5600));
  Box(Msg(5610));
  Derailed = true;
}

void Game::SuspendService() {
  // The game is over: the clock stops before the boxes, and only New Game and Restart are left.
  EndGame(GameEnd::Derailed);
  GameActive = false;
  gameOver_ = true;
  UpdateControls();
  Box(Msg(5620));
  lib_.Wait1ms(durations::kDerailMessages);
  Box(Msg(5630));
  Box(Msg(5640) + " " + UserName + " " + Msg(5650));
  MsgGuide.Msg(Msg(5660));
}

}  // namespace kelvara
