// A second model of the yard between two commands, written from the rules as the player reads
// them and sharing no code with the game or its solver, and a plain A* over it that takes a
// position up again whenever a shorter way reaches it: what the tests hold the solver's figures
// against.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/yard.h"

namespace kelvara::testing::oracle {

constexpr std::uint8_t kL = 200;  // a locomotive unit; cars are 1..n, 0 is an empty slot

// The two sidings, junction end first, and the siding the locomotive stands in (the route).
struct Pos {
  std::array<std::array<std::uint8_t, 20>, 2> s{};
  int loco = 1;
  bool operator==(const Pos&) const = default;
  std::string Key() const {
    std::string k(41, '\0');
    for (int i = 0; i < 40; ++i) k[static_cast<std::size_t>(i)] = static_cast<char>(s[i / 20][i % 20]);
    k[40] = static_cast<char>(loco);
    return k;
  }
};

inline std::optional<Pos> FromYard(const Yard& y, int route) {
  Pos p;
  p.loco = route;
  for (int l = 1; l <= 2; ++l) {
    for (int k = 0; k < 20; ++k) {
      const Slot& slot = y.at(l, k);
      p.s[l - 1][k] = slot.IsLoco() ? kL : slot.IsCar() ? static_cast<std::uint8_t>(slot.number()) : 0;
      if (slot.IsLoco() && l != route) return std::nullopt;
    }
  }
  for (int k = 0; k <= kLastPosition; ++k) {
    if (!y.at(0, k).IsEmpty()) return std::nullopt;
  }
  return p;
}

inline int FirstLoco(const std::array<std::uint8_t, 20>& l) {
  for (int k = 0; k < 20; ++k) {
    if (l[k] == kL) return k;
  }
  return -1;
}

// C k: the locomotive and k cars coupled behind it run out and back into the other siding, one
// unit at a time, each pushing the group at the junction end deeper until it finds room; a
// locomotive that comes back alone runs on to the first standing car. Nothing for a command the
// game answers with a message (more cars than are coupled, a locomotive at the car stopper).
inline std::optional<Pos> Pull(const Pos& from, int m, int k) {
  if (from.loco != 1 && from.loco != 2) return std::nullopt;
  Pos p = from;
  auto& a = p.s[p.loco - 1];
  auto& b = p.s[2 - p.loco];
  const int first = FirstLoco(a);
  if (first < 0 || first + m >= 20 || k < 0) return std::nullopt;
  int coupled = 0;
  while (first + m + coupled < 20 && a[first + m + coupled] != 0) ++coupled;
  if (k > coupled) return std::nullopt;
  std::vector<std::uint8_t> block(a.begin() + first, a.begin() + first + m + k);
  for (int i = first; i < first + m + k; ++i) a[i] = 0;
  // The last car drawn out stands nearest the junction and goes in first.
  for (int i = static_cast<int>(block.size()) - 1; i >= 0; --i) {
    if (b[0] != 0) {
      int e = 1;
      while (e < 20 && b[e] != 0) ++e;
      if (e == 20) return std::nullopt;
      for (int j = e; j >= 1; --j) b[j] = b[j - 1];
    }
    b[0] = block[static_cast<std::size_t>(i)];
  }
  while (true) {
    bool cars = false;
    for (const auto u : b) cars = cars || (u != 0 && u != kL);
    const int l = FirstLoco(b);
    int q = l + 1;
    while (q < 20 && b[q] == kL) ++q;
    if (!cars || q >= 20 || b[q] != 0) break;
    for (int j = q; j >= 1; --j) b[j] = b[j - 1];
    b[0] = 0;
  }
  p.loco = 3 - p.loco;
  return p;
}

// P k: k steps, each moving the locomotive and what is coupled to it one slot deeper; nothing
// when a step would meet the car stopper (a derailment) or k is 0.
inline std::optional<Pos> Push(const Pos& from, int k) {
  if (k < 1 || (from.loco != 1 && from.loco != 2)) return std::nullopt;
  Pos p = from;
  auto& a = p.s[p.loco - 1];
  for (int step = 0; step < k; ++step) {
    const int l = FirstLoco(a);
    int q = l + 1;
    while (q < 20 && a[q] == kL) ++q;
    int r = q;
    while (r < 20 && a[r] != 0) ++r;
    if (l < 0 || r >= 20) return std::nullopt;
    for (int j = r; j >= 1; --j) a[j] = a[j - 1];
    a[0] = 0;
  }
  return p;
}

inline bool Finished(const Pos& p, int n) {
  const auto& a = p.s[p.loco - 1];
  int q = FirstLoco(a);
  while (q >= 0 && q < 20 && a[q] == kL) ++q;
  for (int c = 1; c <= n; ++c, ++q) {
    if (q < 0 || q >= 20 || a[q] != c) return false;
  }
  return true;
}

// Every neighbouring pair the finished train needs (locomotive-1, 1-2, ..., n and the car
// stopper's end) that is not a pair of neighbours in its siding, gaps left out: a C makes one new
// pair of neighbours and a P none, so no string is shorter.
inline int MissingPairs(const Pos& p, int n) {
  std::vector<int> where(static_cast<std::size_t>(n) + 2, -1), next(static_cast<std::size_t>(n) + 2, -2);
  for (int l = 0; l < 2; ++l) {
    std::vector<int> seq;
    for (const auto u : p.s[l]) {
      if (u == kL) {
        if (seq.empty() || seq.back() != 0) seq.push_back(0);
      } else if (u != 0) {
        seq.push_back(u);
      }
    }
    for (std::size_t i = 0; i < seq.size(); ++i) next[static_cast<std::size_t>(seq[i])] = i + 1 < seq.size() ? seq[i + 1] : -1;
  }
  int missing = 0;
  for (int c = 0; c < n; ++c) missing += next[static_cast<std::size_t>(c)] == c + 1 ? 0 : 1;
  return missing + (next[static_cast<std::size_t>(n)] == -1 ? 0 : 1);
}

inline std::vector<std::pair<std::string, Pos>> Moves(const Pos& p, int m) {
  std::vector<std::pair<std::string, Pos>> out;
  for (int k = 0; k <= 20; ++k) {
    if (auto q = Pull(p, m, k)) out.push_back({"C" + std::to_string(k), *q});
  }
  for (int k = 1; k <= 20; ++k) {
    if (auto q = Push(p, k)) out.push_back({"P" + std::to_string(k), *q});
  }
  return out;
}

struct Result {
  int length = -1;        // -1: nothing finishes it
  bool complete = false;  // false: the budget ran out first
  std::size_t expanded = 0;
};

// A* by the missing pairs, every position taken up again when a shorter way reaches it: the first
// finished train it takes from the queue is a shortest one. `budget` positions at most.
inline Result Shortest(const Pos& start, int m, int n, std::size_t budget = 20'000'000) {
  Result r;
  std::unordered_map<std::string, int> best;
  std::vector<std::vector<std::pair<Pos, int>>> open(200);
  best[start.Key()] = 0;
  open[static_cast<std::size_t>(MissingPairs(start, n))].push_back({start, 0});
  for (std::size_t f = 0; f < open.size();) {
    if (open[f].empty()) {
      ++f;
      continue;
    }
    const auto [p, g] = open[f].back();
    open[f].pop_back();
    if (best[p.Key()] < g) continue;  // reached since by a shorter way
    if (Finished(p, n)) {
      r.length = g;
      r.complete = true;
      return r;
    }
    if (++r.expanded > budget) return r;
    for (const auto& [move, q] : Moves(p, m)) {
      const auto [it, added] = best.try_emplace(q.Key(), g + 1);
      if (!added && it->second <= g + 1) continue;
      it->second = g + 1;
      const std::size_t fq = static_cast<std::size_t>(g + 1 + MissingPairs(q, n));
      if (fq >= open.size()) continue;
      open[fq].push_back({q, g + 1});
      f = std::min(f, fq);
    }
  }
  r.complete = true;
  return r;
}

}  // namespace kelvara::testing::oracle
