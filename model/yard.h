// The yard: four lines of one-car-long slots and the queries every part of the game uses.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelvara {

inline constexpr int kLines = 4;          // 0 head shunt, 1 and 2 sidings, 3 unused
inline constexpr int kVisible = 20;       // positions 0..19 are the track
inline constexpr int kLastPosition = 100; // 20..100 only catch what breaks through the stopper
inline constexpr int kHeadShunt = 0;
inline constexpr int kTrackLines = 3;       // the head shunt and the two sidings

// One slot: empty (" ."), a locomotive unit ("L1".."Lm") or car k (k = its place in the formation).
class Slot {
 public:
  enum class Kind : std::uint8_t { Empty, Loco, Car };

  constexpr Slot() = default;
  static constexpr Slot Empty() { return Slot(); }
  static constexpr Slot Loco(int unit) { return Slot(Kind::Loco, unit); }
  static constexpr Slot Car(int k) { return Slot(Kind::Car, k); }

  constexpr Kind kind() const { return kind_; }
  constexpr int number() const { return number_; }
  constexpr bool IsEmpty() const { return kind_ == Kind::Empty; }
  constexpr bool IsLoco() const { return kind_ == Kind::Loco; }
  constexpr bool IsCar() const { return kind_ == Kind::Car; }

  // " ." for empty, "L3" for unit 3, "12" for car 12.
  std::string Text() const;
  // A car compares equal to the decimal text of its number, an empty slot to " .".
  bool operator==(std::string_view text) const { return Text() == text; }
  constexpr bool operator==(const Slot&) const = default;

 private:
  constexpr Slot(Kind k, int n) : kind_(k), number_(static_cast<std::int16_t>(n)) {}
  Kind kind_ = Kind::Empty;
  std::int16_t number_ = 0;
};

class Yard {
 public:
  using Line = std::array<Slot, kLastPosition + 1>;

  Slot& at(int line, int pos) { return slots_[line][pos]; }
  const Slot& at(int line, int pos) const { return slots_[line][pos]; }
  Line& line(int l) { return slots_[l]; }
  const Line& line(int l) const { return slots_[l]; }
  void Clear() { *this = Yard(); }
  bool operator==(const Yard&) const = default;

  // Queries over the visible positions 0..19.
  int GetLocoNum(int line) const;
  int GetCarNum(int line) const;
  // First position after the locomotive block; 20 with no locomotive or a block reaching 19.
  int GetLocoAfterPosition(int line) const;
  // Locomotive units plus the cars coupled behind them; 0 when GetLocoAfterPosition is 20.
  int GetCoupledCarsNum(int line) const;
  // Every empty slot from the end of the locomotive block up to 19.
  int GetMaxPushing(int line) const;
  // First position holding a locomotive unit, or -1.
  int FirstLocoPosition(int line) const;

  // "Line 2: .  L1  3 ..." as the game log prints it.
  std::string DumpLine(int line) const;

 private:
  std::array<Line, kLines> slots_{};
};

// Copies a whole table over the source's bounds; used to take and restore the start of a quiz.
inline void DimCopy2(const Yard& source, Yard& target) { target = source; }

}  // namespace kelvara
