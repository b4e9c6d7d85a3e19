// The three moves as the game plays them: the rules give the steps, the game shows each one
// (frames, boxes, log lines) and keeps what a derailment ends.
#include <string>

#include "model/durations.h"
#include "model/game.h"
#include "model/rules.h"

namespace kelvara {

void Game::PlayMove(const rules::Outcome& move) {
  if (move.freshStart) Derailed = false;
  for (const rules::Step& step : move.steps) {
    yard = step.yard;
    switch (step.kind) {
      case rules::Step::Kind::Log: LogOut(step.line); break;
      case rules::Step::Kind::Frame: DrawRefresh3(); break;
      case rules::Step::Kind::Settle: DrawRefresh2(); break;
      case rules::Step::Kind::Redraw: ports_.scene.DrawRefresh(); break;
      case rules::Step::Kind::Beep: ports_.sound.Beep(); break;
      case rules::Step::Kind::Derail: Derail(step.first); break;
      case rules::Step::Kind::Suspend: SuspendService(); break;
      case rules::Step::Kind::Box: {
        std::string text;
        for (const rules::MsgPart& part : step.message) text += part.id != 0 ? Msg(part.id) : part.text;
        Box(text, MsgButtons::Ok, step.icon);
        break;
      }
    }
  }
  yard = move.yard;
}

void Game::CutTrain(int from, int to, int count) {
  PlayMove(rules::CutTrain(yard, from, to, count, LocoUnits, MakingQuiz));
}

void Game::AddTrain(int from, int to) { PlayMove(rules::AddTrain(yard, from, to)); }

bool Game::PushTrain(int line, int count) {
  const rules::Outcome move = rules::PushTrain(yard, line, count);
  PlayMove(move);
  return count != 0 && move.pushed;
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
