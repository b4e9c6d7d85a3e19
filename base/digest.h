// FNV-1a, 64 bits: a digest that changes with any byte of what it is given. Not a safeguard
// against anyone who means harm, only against changes made by accident.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace kelvara {

class Fnv64 {
 public:
  Fnv64& Bytes(std::string_view s) {
    for (const char c : s) h_ = (h_ ^ static_cast<unsigned char>(c)) * kPrime;
    return *this;
  }
  // A field of several: its end is hashed too, so "ab","c" differs from "a","bc".
  Fnv64& Field(std::string_view s) {
    Bytes(s);
    h_ = (h_ ^ 0xFFu) * kPrime;
    return *this;
  }
  std::uint64_t Value() const { return h_; }
  // 16 lower-case hex digits.
  std::string Hex() const {
    char out[17];
    std::snprintf(out, sizeof out, "%016llx", static_cast<unsigned long long>(h_));
    return out;
  }

 private:
  static constexpr std::uint64_t kPrime = 1099511628211ull;
  std::uint64_t h_ = 14695981039346656037ull;
};

}  // namespace kelvara
