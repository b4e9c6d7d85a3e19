// One-input command strings: a whole solution such as "C5C2P3C5" typed at once.
#include <algorithm>
#include <limits>

#include "model/durations.h"
#include "model/game.h"

namespace kelvara {

namespace {

// Length of the UTF-8 character starting with byte c (1 for a stray byte).
std::size_t CharLength(unsigned char c) {
  if (c >= 0xF0 && c < 0xF8) return 4;
  if (c >= 0xE0) return c < 0xF0 ? 3 : 1;
  if (c >= 0xC0) return 2;
  return 1;
}

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

}  // namespace

std::vector<OneInputCommand> ParseOneInput(std::string_view text) {
  const std::string upper = Upper(text);
  std::vector<OneInputCommand> out;
  bool dropping = false;  // past the 101st command: its digits go with it
  for (std::size_t i = 0; i < upper.size();) {
    const char c = upper[i];
    if (c >= '0' && c <= '9') {
      if (!out.empty() && !dropping) {
        OneInputCommand& cmd = out.back();
        const long long next = static_cast<long long>(cmd.number) * 10 + (c - '0');
        cmd.number = next > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                                      : static_cast<std::int32_t>(next);
      }
      ++i;
      continue;
    }
    const std::size_t len = std::min(CharLength(static_cast<unsigned char>(c)), upper.size() - i);
    if (out.size() < kOneInputCommands) {
      out.push_back({upper.substr(i, len), 0});
    } else {
      dropping = true;
    }
    i += len;
  }
  return out;
}

void Game::OneInputMode() {
  // A console closed without OK runs nothing, not even the back-in of a run.
  if (const auto text = ports_.scene.OneInputConsole()) RunOneInput(*text);
}

void Game::RunOneInput(std::string_view text) {
  oneInputRun_ = true;  // the clock stands while the string runs
  UpdateControls();
  MsgGuide.Msg(Msg(5720) + Msg(5730));
  const std::vector<OneInputCommand> commands = ParseOneInput(text);

  const Yard before = yard;
  const int route = Route;
  SetSign(0);
  SetSign(1);
  AddTrain(kHeadShunt, 1);
  ports_.scene.DrawRefresh();

  // Each command is a step of its own for undo; the first takes the back-in with it.
  const int total = static_cast<int>(commands.size());
  for (int i = 0; i < total; ++i) {
    const OneInputCommand& cmd = commands[static_cast<std::size_t>(i)];
    MsgGuide.Msg(Msg(5720) + " ( " + std::to_string(total - 1 - i) + " ) : " + cmd.letter + " " +
                 std::to_string(cmd.number));
    CountUp();
    lib_.Wait1ms(durations::kOneInputCommand);
    RunOneInputCommand(cmd);
    if (GameActive) {
      if (cmd.letter == "C" || cmd.letter == "P") ++MovesUsed;
      RecordStep(cmd.letter + std::to_string(cmd.number));
    }
  }
  if (total == 0 && GameActive && !(yard == before && Route == route)) RecordStep(PlainCaption(Msg(1240)));
  MsgGuide.Msg(Msg(5720) + " : " + Msg(5740));
  oneInputRun_ = false;  // the clock runs on, while the game does
  UpdateControls();
}

void Game::RunOneInputCommand(const OneInputCommand& cmd) {
  const int line = Route;
  if (cmd.letter == "C") {
    const long long count = static_cast<long long>(LocoUnits) + cmd.number;
    CutTrain(line, kHeadShunt,
             count > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : static_cast<int>(count));
    SetSign(0);
    const int other = line == 1 ? 2 : 1;
    SetSign(other);
    AddTrain(kHeadShunt, other);
    ports_.scene.DrawRefresh();
  } else if (cmd.letter == "P") {
    PushTrain(line, cmd.number);
  }
}

}  // namespace kelvara
