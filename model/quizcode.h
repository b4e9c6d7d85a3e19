// Quiz codes: a short text that names one quiz exactly (the train by its file and the digest of
// its cars, the locomotive set, the start position and its route) with a check character against
// typing errors. Nothing a code holds is trusted: decoding checks every field, and the game checks
// the quiz against the train it names before it is played.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "model/yard.h"

namespace kelvara {

// Codes of version 2 name the train by the digest of its content; version 1, by the digest of
// earlier versions, which held the folder too (read, never written now).
inline constexpr int kQuizCodeVersion = 2;

struct QuizCode {
  int version = kQuizCodeVersion;
  std::string train;   // the train file's name without its folder and ".trd"
  std::string digest;  // the first 8 hex digits of the train's digest
  int locoSet = 0;     // the locomotive set's index in the list
  int route = -1;      // the route at the start: -1, 0, 1 or 2
  Yard yard;           // the start: units on the head shunt and the sidings, slots 0..19 only
  bool operator==(const QuizCode&) const = default;
};

enum class CodeError {
  Typing,     // the check character does not fit: a character changed, left out or swapped
  Malformed,  // it fits, but what it holds is no quiz
};

// The code in groups of five, "-" between: nothing when the quiz cannot be named (units past a
// car stopper, a train name too long or with characters a file name should not have).
std::optional<std::string> EncodeQuizCode(const QuizCode& quiz);
// Upper or lower case, "-" and spaces anywhere, O for 0 and I or L for 1, as typed.
std::variant<QuizCode, CodeError> DecodeQuizCode(std::string_view text);

}  // namespace kelvara
