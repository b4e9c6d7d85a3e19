#include "scene/sceneview.h"

#include "data/mylib.h"
#include "base/paths.h"

namespace kelvara {

namespace {

CellView Describe(const Game& game, const Slot& slot) {
  const CarsClass* cars = nullptr;
  std::int32_t index = -1;
  if (slot.IsLoco()) {
    cars = &game.Loco.Cars;
    index = game.Loco.CarIndex(slot.number() - 1);
  } else if (slot.IsCar()) {
    cars = &game.TRD.Cars;
    index = game.TRD.CarIndex(slot.number() - 1);
  }
  if (cars == nullptr || index < 0) return {};
  CellView v{cars->FileNameOf(index), {}};
  const std::string comment = cars->CommentOf(index);
  if (!v.file.empty() || !comment.empty()) v.tip = GetBaseName(v.file) + " : " + comment;
  return v;
}

}  // namespace

SceneView ComputeScene(const Game& game) {
  SceneView view;
  for (int line = 0; line < kDumpLines; ++line) {
    std::string row;
    for (int k = 0; k < kVisible; ++k) {
      const Slot& slot = game.yard.at(line, k);
      row += MyLibClass::RightAlignmentStrings(slot.Text(), 2) + " ";
      view.cells[static_cast<std::size_t>(line * kVisible + k)] = Describe(game, slot);
    }
    view.rows[static_cast<std::size_t>(line)] = row;
  }
  return view;
}

const std::string& NumberGuide(int line) {
  static const std::string head = "19 18 17 16 15 14 13 12 11 10 09 08 07 06 05 04 03 02 01 00";
  static const std::string siding = "00 01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17 18 19";
  return line == 0 ? head : siding;
}

}  // namespace kelvara
