// Numbers as data files, settings and text boxes write them.
#pragma once

#include <cstdint>
#include <string_view>

namespace kelvara {

// The decimal number at the start of a text: blanks before it are skipped, then a sign, digits,
// a fraction and an exponent are read, and reading stops at the first character that does not
// belong ("0x2" reads 0, " 2abc" reads 2, "1e2" reads 100). No number at all reads 0. `whole`
// tells whether the number was all of the text, blanks around it allowed.
double LeadingNumber(std::string_view text, bool* whole = nullptr);

// The same, rounded to the nearest whole number (halves to the even one) and held within 32 bits.
std::int32_t LeadingInt32(std::string_view text, bool* whole = nullptr);

}  // namespace kelvara
