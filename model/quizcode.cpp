// Quiz codes: bytes in Crockford's base 32, and a weighted check character modulo 37.
#include "model/quizcode.h"

#include <array>
#include <cstdint>
#include <vector>

namespace kelvara {

namespace {

constexpr std::string_view kDigits = "0123456789ABCDEFGHJKMNPQRSTVWXYZ";
// The check character: the 32 digits and five symbols more, for the 37 values of the sum.
constexpr std::string_view kCheck = "0123456789ABCDEFGHJKMNPQRSTVWXYZ*~$=U";
constexpr int kNameMost = 40;
constexpr int kLoco = 31;  // a locomotive unit's mark; 1..30 are car numbers

int DigitValue(char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (c == 'O') return 0;
  if (c == 'I' || c == 'L') return 1;
  const auto at = kDigits.find(c);
  return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

// Each digit weighted by its place, 1 to 36 over and over: a changed digit moves the sum by a
// multiple of its weight, two neighbours swapped by their difference, never by 37.
int CheckValue(const std::vector<int>& digits) {
  int sum = 0;
  for (std::size_t i = 0; i < digits.size(); ++i) sum = (sum + static_cast<int>(i % 36 + 1) * digits[i]) % 37;
  return sum;
}

bool NameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
         c == '.' || c == '+';
}

bool HexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

// Bits appended and taken least significant first.
struct Bits {
  std::vector<std::uint8_t> bytes;
  std::size_t at = 0;  // bits read
  void Put(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
      const std::size_t bit = total++;
      if (bit / 8 >= bytes.size()) bytes.push_back(0);
      if ((value >> i) & 1u) bytes[bit / 8] = static_cast<std::uint8_t>(bytes[bit / 8] | (1u << (bit % 8)));
    }
  }
  std::optional<std::uint32_t> Take(int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i, ++at) {
      if (at / 8 >= bytes.size()) return std::nullopt;
      if ((bytes[at / 8] >> (at % 8)) & 1u) value |= 1u << i;
    }
    return value;
  }
  std::size_t total = 0;
};

}  // namespace

std::optional<std::string> EncodeQuizCode(const QuizCode& quiz) {
  if (quiz.train.empty() || quiz.train.size() > kNameMost || quiz.digest.size() != 8) return std::nullopt;
  for (const char c : quiz.train) {
    if (!NameCharacter(c)) return std::nullopt;
  }
  for (const char c : quiz.digest) {
    if (!HexDigit(c)) return std::nullopt;
  }
  if (quiz.locoSet < 0 || quiz.locoSet > 255 || quiz.route < -1 || quiz.route > 2) return std::nullopt;
  if (quiz.version < 1 || quiz.version > kQuizCodeVersion) return std::nullopt;
  Bits bits;
  bits.Put(static_cast<std::uint32_t>(quiz.version), 8);
  bits.Put(static_cast<std::uint32_t>(quiz.locoSet), 8);
  bits.Put(static_cast<std::uint32_t>(quiz.route + 1), 2);
  bits.Put(static_cast<std::uint32_t>(std::stoul(quiz.digest, nullptr, 16)), 32);
  bits.Put(static_cast<std::uint32_t>(quiz.train.size()), 6);
  for (const char c : quiz.train) bits.Put(static_cast<unsigned char>(c), 8);
  // Which of the 60 slots are taken, then what stands in them, five bits a unit.
  std::vector<std::uint32_t> units;
  for (int line = 0; line < 3; ++line) {
    for (int k = 0; k <= kLastPosition; ++k) {
      const Slot& s = quiz.yard.at(line, k);
      if (s.IsEmpty()) {
        if (k < kVisible) bits.Put(0, 1);
        continue;
      }
      if (k >= kVisible) return std::nullopt;
      if (s.IsCar() && (s.number() < 1 || s.number() > 30)) return std::nullopt;
      bits.Put(1, 1);
      units.push_back(s.IsLoco() ? kLoco : static_cast<std::uint32_t>(s.number()));
    }
  }
  for (int line = 3; line < kLines; ++line) {
    for (int k = 0; k <= kLastPosition; ++k) {
      if (!quiz.yard.at(line, k).IsEmpty()) return std::nullopt;
    }
  }
  if (units.empty() || units.size() > static_cast<std::size_t>(kVisible)) return std::nullopt;
  for (const std::uint32_t u : units) bits.Put(u, 5);

  std::vector<int> digits;
  for (std::size_t bit = 0; bit < bits.total; bit += 5) {
    int d = 0;
    for (int i = 0; i < 5; ++i) {
      const std::size_t b = bit + static_cast<std::size_t>(i);
      if (b / 8 < bits.bytes.size() && ((bits.bytes[b / 8] >> (b % 8)) & 1u)) d |= 1 << i;
    }
    digits.push_back(d);
  }
  std::string code;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && i % 5 == 0) code += '-';
    code += kDigits[static_cast<std::size_t>(digits[i])];
  }
  code += kCheck[static_cast<std::size_t>(CheckValue(digits))];
  return code;
}

std::variant<QuizCode, CodeError> DecodeQuizCode(std::string_view text) {
  // A code is a few dozen characters: anything far longer is no code, and is not read on.
  if (text.size() > 400) return CodeError::Malformed;
  std::vector<int> digits;
  int check = -1;
  std::size_t last = text.find_last_not_of(" \t\r\n-");
  if (last == std::string_view::npos) return CodeError::Malformed;
  for (std::size_t i = 0; i < last; ++i) {
    const char c = text[i];
    if (c == '-' || c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    const int d = DigitValue(c);
    if (d < 0) return CodeError::Typing;
    digits.push_back(d);
  }
  char end = text[last];
  if (end >= 'a' && end <= 'z') end = static_cast<char>(end - 'a' + 'A');
  if (end == 'u') end = 'U';
  const auto at = kCheck.find(end == 'O' ? '0' : (end == 'I' || end == 'L') ? '1' : end);
  if (at == std::string_view::npos) return CodeError::Typing;
  check = static_cast<int>(at);
  if (digits.empty() || CheckValue(digits) != check) return CodeError::Typing;

  Bits bits;
  for (std::size_t i = 0; i < digits.size(); ++i) bits.Put(static_cast<std::uint32_t>(digits[i]), 5);
  QuizCode quiz;
  const auto version = bits.Take(8);
  const auto set = bits.Take(8);
  const auto route = bits.Take(2);
  const auto digest = bits.Take(32);
  const auto length = bits.Take(6);
  if (!version || *version < 1 || *version > static_cast<std::uint32_t>(kQuizCodeVersion) || !set || !route || !digest || !length || *length == 0 || *length > kNameMost) {
    return CodeError::Malformed;
  }
  quiz.version = static_cast<int>(*version);
  quiz.locoSet = static_cast<int>(*set);
  quiz.route = static_cast<int>(*route) - 1;
  char hex[9];
  std::snprintf(hex, sizeof hex, "%08x", *digest);
  quiz.digest = hex;
  for (std::uint32_t i = 0; i < *length; ++i) {
    const auto c = bits.Take(8);
    if (!c || !NameCharacter(static_cast<char>(*c))) return CodeError::Malformed;
    quiz.train.push_back(static_cast<char>(*c));
  }
  if (quiz.train == "." || quiz.train == "..") return CodeError::Malformed;
  std::array<bool, 60> taken{};
  int count = 0;
  for (bool& t : taken) {
    const auto b = bits.Take(1);
    if (!b) return CodeError::Malformed;
    t = *b != 0;
    count += t ? 1 : 0;
  }
  if (count == 0 || count > kVisible) return CodeError::Malformed;
  std::array<bool, 31> seen{};
  for (std::size_t slot = 0; slot < taken.size(); ++slot) {
    if (!taken[slot]) continue;
    const auto u = bits.Take(5);
    if (!u || *u == 0) return CodeError::Malformed;
    const int line = static_cast<int>(slot) / kVisible, k = static_cast<int>(slot) % kVisible;
    if (*u == kLoco) {
      quiz.yard.at(line, k) = Slot::Loco(1);
    } else {
      if (seen[*u]) return CodeError::Malformed;  // a car twice
      seen[*u] = true;
      quiz.yard.at(line, k) = Slot::Car(static_cast<int>(*u));
    }
  }
  // What is left is the padding of the last digit, under five bits of zeros.
  if (bits.total - bits.at >= 5) return CodeError::Malformed;
  while (bits.at < bits.total) {
    const auto b = bits.Take(1);
    if (!b || *b != 0) return CodeError::Malformed;
  }
  // The locomotive's units stand together, numbered from the junction end as the game numbers them.
  int units = 0;
  for (int line = 0; line < 3; ++line) {
    for (int k = 0; k < kVisible; ++k) {
      if (quiz.yard.at(line, k).IsLoco()) ++units;
    }
  }
  if (units == 0) return CodeError::Malformed;
  bool placed = false;
  for (int line = 0; line < 3 && !placed; ++line) {
    for (int k = 0; k < kVisible; ++k) {
      if (!quiz.yard.at(line, k).IsLoco()) continue;
      for (int u = 0; u < units; ++u) {
        if (k + u >= kVisible || !quiz.yard.at(line, k + u).IsLoco()) return CodeError::Malformed;
        quiz.yard.at(line, k + u) = Slot::Loco(u + 1);
      }
      placed = true;
      break;
    }
  }
  // The cars are 1..n, each once.
  int cars = 0;
  for (int c = 1; c <= 30; ++c) cars += seen[static_cast<std::size_t>(c)] ? 1 : 0;
  for (int c = 1; c <= cars; ++c) {
    if (!seen[static_cast<std::size_t>(c)]) return CodeError::Malformed;
  }
  return quiz;
}

}  // namespace kelvara
