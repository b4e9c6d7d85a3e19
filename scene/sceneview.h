// What the yard picture shows for the grid as it stands: the bitmap and hover text of each of the
// 60 cells and the three car-number rows. The window only has to put this on the screen.
#pragma once

#include <array>
#include <string>

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
};

SceneView ComputeScene(const Game& game);

// The fixed texts of the number guides: line 0 counts from its junction end at the right.
const std::string& NumberGuide(int line);

}  // namespace kelvara
