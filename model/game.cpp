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
  const int e = n > kVisible ? n - kVisible : 0;
  // Writes that would fall off the track are dropped: the train choice refuses such trains,
  // but the grid must stay sound whatever it is handed.
  auto put = [this](int line, int pos, Slot s) {
    if (pos >= 0 && pos < kVisible) yard.at(line, pos) = s;
  };
  for (int line = 0; line <= 2; ++line) {
    for (int p = 0; p <= kLastPosition; ++p) yard.at(line, p) = Slot::Empty();
  }
  for (int u = 1; u <= m; ++u) put(kHeadShunt, kVisible - m - e + u - 1, Slot::Loco(u));
  for (int k = 1; k <= e; ++k) put(kHeadShunt, kVisible - e + k - 1, Slot::Car(k));
  const int inSiding = n - e;
  for (int k = e + 1; k <= n; ++k) put(1, kVisible - inSiding + (k - e) - 1, Slot::Car(k));
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
