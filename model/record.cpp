#include "model/record.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace kelvara {

std::string_view GameEndName(GameEnd end) {
  switch (end) {
    case GameEnd::Completed:
      return "completed";
    case GameEnd::Derailed:
      return "derailed";
    case GameEnd::Left:
      break;
  }
  return "left";
}

std::optional<GameEnd> GameEndFromName(std::string_view name) {
  for (const GameEnd e : {GameEnd::Completed, GameEnd::Derailed, GameEnd::Left}) {
    if (GameEndName(e) == name) return e;
  }
  return std::nullopt;
}

GameRecord LeftRecord(const SavedGame& g) {
  GameRecord r;
  r.playedMs = g.playedMs;
  r.train = g.train;
  r.locoSet = g.locoSet;
  r.level = g.level;
  r.startPosition = g.startYard + "@" + std::to_string(g.startRoute);
  r.moves = g.moves;
  r.fewest = g.fewest;
  r.fewestProven = g.fewestProven;
  r.hints = g.hints;
  r.undos = g.undos;
  r.end = GameEnd::Left;
  return r;
}

std::string PlayedText(std::int64_t ms) {
  const long long s = std::max<std::int64_t>(0, ms) / 1000;
  char out[32];
  if (s >= 3600) {
    std::snprintf(out, sizeof out, "%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
  } else {
    std::snprintf(out, sizeof out, "%lld:%02lld", s / 60, s % 60);
  }
  return out;
}

std::string YardText(const Yard& yard) {
  std::string out;
  for (int l = 0; l < kLines; ++l) {
    if (l > 0) out += '/';
    int last = kLastPosition;
    while (last >= 0 && yard.at(l, last).IsEmpty()) --last;
    for (int p = 0; p <= last; ++p) {
      if (p > 0) out += ',';
      const Slot s = yard.at(l, p);
      out += s.IsEmpty() ? "." : s.IsLoco() ? "L" + std::to_string(s.number()) : std::to_string(s.number());
    }
  }
  return out;
}

namespace {

std::optional<Slot> SlotFromText(std::string_view t) {
  if (t == ".") return Slot::Empty();
  const bool loco = !t.empty() && t.front() == 'L';
  if (loco) t.remove_prefix(1);
  int n = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
  // Numbers as the game makes them: 1 and up, within the slot's range.
  if (t.empty() || ec != std::errc() || end != t.data() + t.size() || n < 1 || n > 32767) return std::nullopt;
  return loco ? Slot::Loco(n) : Slot::Car(n);
}

}  // namespace

std::optional<Yard> YardFromText(std::string_view text) {
  Yard yard;
  int line = 0;
  while (true) {
    const std::size_t slash = text.find('/');
    std::string_view part = text.substr(0, slash);
    int p = 0;
    while (!part.empty()) {
      if (p > kLastPosition) return std::nullopt;
      const std::size_t comma = part.find(',');
      const auto slot = SlotFromText(part.substr(0, comma));
      if (!slot) return std::nullopt;
      yard.at(line, p++) = *slot;
      if (comma == std::string_view::npos) break;
      part.remove_prefix(comma + 1);
      if (part.empty()) return std::nullopt;  // a trailing comma
    }
    if (slash == std::string_view::npos) break;
    if (++line >= kLines) return std::nullopt;
    text.remove_prefix(slash + 1);
  }
  return line == kLines - 1 ? std::optional<Yard>(yard) : std::nullopt;
}

}  // namespace kelvara
