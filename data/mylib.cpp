#include "data/mylib.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace kelvara {

MyLibClass::MyLibClass(IClock& clock)
    : clock_(clock),
      rng_(static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count())) {}

std::string MyLibClass::F_STR(std::string_view text, std::string_view delimiter) {
  const auto at = text.find(delimiter);
  return std::string(at == std::string_view::npos ? text : text.substr(0, at));
}

std::string MyLibClass::B_STR(std::string_view text, std::string_view delimiter) {
  const auto at = text.find(delimiter);
  if (at == std::string_view::npos || at + 1 >= text.size()) return {};
  return std::string(text.substr(at + 1));
}

std::string MyLibClass::RightAlignmentStrings(std::string_view src, int width) {
  if (width <= static_cast<int>(src.size())) return std::string(src);
  return std::string(static_cast<std::size_t>(width) - src.size(), ' ') + std::string(src);
}

std::int32_t MyLibClass::GetRandom(double lower, double upper) {
  // 24 random bits make a single-precision fraction in [0, 1).
  const float u = static_cast<float>(rng_() >> 40) * (1.0f / 16777216.0f);
  const double v = std::floor((upper - lower + 1.0) * static_cast<double>(u) + lower);
  if (std::isnan(v)) return 0;
  constexpr double lo = std::numeric_limits<std::int32_t>::min();
  constexpr double hi = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(std::clamp(v, lo, hi));
}

void MyLibClass::Wait1ms(int ms) {
  // The wait length is a 16-bit count in the game's routines.
  clock_.Wait(std::clamp(ms, 0, 32767));
}

}  // namespace kelvara
