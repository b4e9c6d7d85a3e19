// What the yard picture shows for the grid as it stands: the bitmap and hover text of each of the
// 60 cells and the three car-number rows. The window only has to put this on the screen.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/game.h"

namespace kelvara {

inline constexpr int kCells = 3 * kVisible;

struct CellView {
  std::string file;  // "" for an empty slot
  std::string tip;   // "<base name> : <comment>", or "" with neither
  bool operator==(const CellView&) const = default;
};

struct SceneView {
  std::array<CellView, kCells> cells;
  std::array<std::string, kDumpLines> rows;  // " .  1 L1 " ... three characters a slot
  std::array<bool, kCells> marked{};         // the units the last hint moves
};

SceneView ComputeScene(const Game& game);

// One unit of a formation as the views outside the yard show it.
struct FormationUnit {
  std::string file;
  std::string comment;
  bool operator==(const FormationUnit&) const = default;
};

// The locomotive set's units, then the train's cars, in order.
std::vector<FormationUnit> Formation(const LocoClass& loco, const TRDClass& trd);
// The make-up table: "  0  el_blue  EF10 1" a unit, numbered from 0, each line ended by CR LF.
std::string MakeUpTableText(const std::vector<FormationUnit>& units);
// The unit standing in yard cell `cell` (line cell / 20, slot cell % 20); nothing for an empty slot.
std::optional<FormationUnit> SlotUnit(const Game& game, int cell);

// The fixed texts of the number guides: line 0 counts from its junction end at the right.
const std::string& NumberGuide(int line);

}  // namespace kelvara
