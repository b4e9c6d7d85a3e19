#include "base/number.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace kelvara {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

double LeadingNumber(std::string_view text, bool* whole) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  const std::size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && IsDigit(text[i])) ++i, ++digits;
  }
  if (digits == 0) {
    if (whole != nullptr) *whole = false;
    return 0.0;
  }
  // An exponent counts only when digits follow it: "2e" is 2 followed by text.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      while (j < text.size() && IsDigit(text[j])) ++j;
      i = j;
    }
  }
  std::string number(text.substr(start, i - start));
  if (number[0] == '+') number.erase(0, 1);
  double value = 0.0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec == std::errc::result_out_of_range) value = number[0] == '-' ? -HUGE_VAL : HUGE_VAL;
  (void)end;
  if (whole != nullptr) {
    std::size_t k = i;
    while (k < text.size() && IsBlank(text[k])) ++k;
    *whole = k == text.size();
  }
  return value;
}

std::int32_t LeadingInt32(std::string_view text, bool* whole) {
  const double v = std::nearbyint(LeadingNumber(text, whole));
  return static_cast<std::int32_t>(std::clamp(v, -2147483648.0, 2147483647.0));
}

}  // namespace kelvara
