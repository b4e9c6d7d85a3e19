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
  for (const int cell : game.HintCells) {
    if (cell >= 0 && cell < kCells) view.marked[static_cast<std::size_t>(cell)] = true;
  }
  return view;
}

std::vector<FormationUnit> Formation(const LocoClass& loco, const TRDClass& trd) {
  std::vector<FormationUnit> units;
  for (int u = 0; u < loco.CarCount(); ++u) {
    const std::int32_t i = loco.CarIndex(u);
    units.push_back({loco.Cars.FileNameOf(i), loco.Cars.CommentOf(i)});
  }
  for (int c = 0; c < trd.CarCount(); ++c) {
    const std::int32_t i = trd.CarIndex(c);
    units.push_back({trd.Cars.FileNameOf(i), trd.Cars.CommentOf(i)});
  }
  return units;
}

std::string MakeUpTableText(const std::vector<FormationUnit>& units) {
  std::string text;
  for (std::size_t k = 0; k < units.size(); ++k) {
    text += MyLibClass::RightAlignmentStrings(std::to_string(k), 3) + "  " + GetBaseName(units[k].file) + "  " +
            units[k].comment + "\r\n";
  }
  return text;
}

std::optional<FormationUnit> SlotUnit(const Game& game, int cell) {
  if (cell < 0 || cell >= kCells) return std::nullopt;
  const Slot& slot = game.yard.at(cell / kVisible, cell % kVisible);
  if (slot.IsEmpty()) return std::nullopt;
  const CellView view = Describe(game, slot);
  const CarsClass& cars = slot.IsLoco() ? game.Loco.Cars : game.TRD.Cars;
  const std::int32_t index = slot.IsLoco() ? game.Loco.CarIndex(slot.number() - 1) : game.TRD.CarIndex(slot.number() - 1);
  return FormationUnit{view.file, cars.CommentOf(index)};
}

const std::string& NumberGuide(int line) {
  static const std::string head = "19 18 17 16 15 14 13 12 11 10 09 08 07 06 05 04 03 02 01 00";
  static const std::string siding = "00 01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17 18 19";
  return line == 0 ? head : siding;
}

}  // namespace kelvara
