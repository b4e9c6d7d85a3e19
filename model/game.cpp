#include "model/game.h"

namespace kelvara {

std::int32_t CalcTrainLength(std::span<const AnimeRect> rects) {
  std::int32_t length = 0;
  for (std::size_t i = 0; i + 1 < rects.size(); ++i) {
    const std::int32_t width = rects[i].Right - rects[i].Left;
    if (width == 0) break;
    length += width;
  }
  return length;
}

Game::Game(Ports ports, AppSettings& settings)
    : TRD(DataPorts{ports.msg, ports.texts, ports.clock}),
      Loco(DataPorts{ports.msg, ports.texts, ports.clock}),
      TRD2(DataPorts{ports.msg, ports.texts, ports.clock}),
      Loco2(DataPorts{ports.msg, ports.texts, ports.clock}),
      Pelm(ports.clock),
      ports_(ports),
      settings_(settings),
      lib_(ports.clock) {
  MsgGuide.ObjGuide = &ports_.status;
  TRD.NoLoadCouplerBellows = true;
  Loco.NoLoadCouplerBellows = true;
  TRD2.NoErrorMsg = true;
  Loco2.NoErrorMsg = true;
}

MsgAnswer Game::Box(std::string_view text, MsgButtons b, MsgIcon i, std::string_view title) {
  return ports_.msg.Show(text, b, i, title);
}

void Game::SetCars() {
  const int n = TrainCars;
  const int m = LocoUnits;
  if (n == 0) {
    Box(Msg(5680));
    return;
  }
  yard = rules::Placement(yard, m, n);
}

void Game::LogOut(std::string_view text) {
  if (!settings_.MakeLog) return;
  ports_.log.WriteLine(text);
  for (int i = 0; i < kDumpLines; ++i) ports_.log.WriteLine(yard.DumpLine(i));
}

void Game::DrawRefresh3() {
  const bool draw = MakingQuiz ? (settings_.DisMakeUpDraw && settings_.DisMakeUpDrawAnimate)
                               : settings_.ReplaceAnimate;
  if (draw) ports_.scene.DrawRefresh();
}

void Game::DrawRefresh2() {
  if (!MakingQuiz || settings_.DisMakeUpDraw) ports_.scene.DrawRefresh();
}

}  // namespace kelvara
