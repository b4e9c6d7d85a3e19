// The Front and Back buttons, the number box and clicks on cars.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "base/number.h"
#include "model/durations.h"
#include "model/game.h"

namespace kelvara {

namespace {

int Saturate(long long v) {
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

}  // namespace

std::int32_t NumberBoxValue(std::string_view text) { return LeadingInt32(text); }

void Game::CountUp() {
  const std::int32_t n = NumberBoxValue(ports_.status.Panel("UCount"));
  ports_.status.SetPanel("UCount", std::to_string(static_cast<long long>(n) + 1));
}

void Game::cmdFront_Click() {
  IControls& c = ports_.controls;
  HintCells.clear();  // the marks go as soon as anything moves
  const int line = Route;
  const std::int32_t n = NumberBoxValue(c.Text("cmbCutTrainNum"));
  const int units = line >= 0 && line < kLines ? yard.GetLocoNum(line) : 0;
  const int count = Saturate(static_cast<long long>(n) + units + yard.GetCoupledCarsNum(kHeadShunt));
  if (line >= 1 && line <= 2) CutTrain(line, kHeadShunt, count);
  c.SetText("cmbCutTrainNum", "");
  CountUp();
  if (line == 1) {
    SetSign(0);
    SetSign(2);
  } else if (line == 2) {
    SetSign(0);
    SetSign(1);
  }
  if (GameActive) {
    ++MovesUsed;
    RecordStep(PlainCaption(Msg(1250)) + " " + std::to_string(n));
  }
}

void Game::cmdBack_Click() {
  IControls& c = ports_.controls;
  HintCells.clear();
  restartOffered_ = true;
  if (settings_.OneInput) {
    OneInputMode();
    if (GameActive) ChkGameEnd();
    return;
  }
  const int line = Route;
  if (line < 1 || line > 2) {
    Box(Msg(5690) + "\r\n" + Msg(5700), MsgButtons::Ok, MsgIcon::Critical);
    lib_.Wait1ms(durations::kWrongRoute);
    return;
  }
  std::string step = PlainCaption(Msg(1240));
  const Yard before = yard;
  if (yard.at(kHeadShunt, kVisible - 1).IsEmpty()) {
    const std::int32_t n = NumberBoxValue(c.Text("cmbCutTrainNum"));
    PushTrain(line, n);
    c.SetText("cmbCutTrainNum", "");
    // A push counts as a command, the back-in after a pull does not: that was the pull's.
    if (!(yard == before)) ++MovesUsed;
    step += " " + std::to_string(n);
  } else {
    AddTrain(kHeadShunt, line);
  }
  if (GameActive) {
    // A Back that moved nothing (a push of no car lengths) is no step to take back.
    if (!(yard == before)) RecordStep(step);
    ChkGameEnd();
  }
  c.SetFocus("cmbCutTrainNum");
}

int CarsUpTo(const Yard& yard, int cell) {
  if (cell < 0 || cell >= 3 * kVisible) return -1;
  const int line = cell / kVisible;
  if (yard.GetLocoNum(line) == 0) return -1;
  return std::max(cell % kVisible - yard.GetLocoAfterPosition(line) + 1, 0);
}

void Game::imgCar_Click(int index) {
  if (!settings_.CarNumOnMouse) return;
  const int n = CarsUpTo(yard, index);
  if (n < 0) return;
  ports_.controls.SetText("cmbCutTrainNum", std::to_string(n));
  if (Enabled("cmdFront")) ports_.controls.SetFocus("cmdFront");
}

}  // namespace kelvara
