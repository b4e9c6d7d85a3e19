// The commands of a one-input string: C pulls a number of cars out and backs them into the other
// siding, P pushes a number of car lengths deeper.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara {

inline constexpr int kOneInputCommands = 101;

// One command of a one-input string: its letter (one character) and its number.
struct OneInputCommand {
  std::string letter;
  std::int32_t number = 0;
  bool operator==(const OneInputCommand&) const = default;
};

// "c5p3" -> C5, P3. Digits before the first letter are dropped; any other character is a command
// of its own. At most 101 commands are kept and numbers stop at the 32-bit limit.
std::vector<OneInputCommand> ParseOneInput(std::string_view text);

// The string the console takes: "C5C2P3".
std::string CommandsText(const std::vector<OneInputCommand>& commands);

}  // namespace kelvara
