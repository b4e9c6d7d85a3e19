// The fewest-move solver (A* over packed positions) and the plain planner it falls back on.
#include "model/solver.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <tuple>
#include <utility>

#include "model/game.h"
#include "model/rules.h"

namespace kelvara {

std::string CommandsText(const std::vector<OneInputCommand>& commands) {
  std::string text;
  for (const OneInputCommand& c : commands) text += c.letter + std::to_string(c.number);
  return text;
}

namespace {

// ---- positions between two commands ----------------------------------------------------------

// The two sidings, junction end first: 0 for an empty slot, the car's number, or kLoco for a
// locomotive unit (its units always stand together and in order, so one mark serves them all).
constexpr std::uint8_t kLoco = 31;
constexpr int kSlots = 2 * kVisible;

struct Position {
  std::array<std::uint8_t, kSlots> slot{};
  std::uint8_t loco = 0;  // the slot of the locomotive's first unit, counted over both sidings
  std::uint8_t* line(int siding) { return slot.data() + (siding - 1) * kVisible; }
  const std::uint8_t* line(int siding) const { return slot.data() + (siding - 1) * kVisible; }
};

// A position as the search keeps it, in 18 bytes: which of the 40 slots are taken (five bytes),
// and what stands in them in slot order, five bits a unit (a car's number up to 20, or kLoco):
// twelve in the first eight bytes, the other eight in the last five. The locomotive's slot
// follows from its mark.
constexpr int kUnits = kVisible;  // units in a yard at most
constexpr int kPackedBytes = 5 + 8 + 5;
using Packed = std::array<std::uint8_t, kPackedBytes>;
static_assert(kSlots == 40 && kLoco < 32 && kUnits <= 20);

Packed Pack(const Position& p) {
  std::uint64_t taken = 0, first = 0, second = 0;
  int units = 0;
  for (int at = 0; at < kSlots; ++at) {
    const std::uint64_t v = p.slot[static_cast<std::size_t>(at)];
    if (v == 0) continue;
    taken |= std::uint64_t{1} << at;
    if (units < 12) {
      first |= v << (5 * units);
    } else {
      second |= v << (5 * (units - 12));
    }
    ++units;
  }
  Packed out;
  std::memcpy(out.data(), &taken, 5);
  std::memcpy(out.data() + 5, &first, 8);
  std::memcpy(out.data() + 13, &second, 5);
  return out;
}

Position Unpack(const Packed& packed) {
  std::uint64_t taken = 0, first = 0, second = 0;
  std::memcpy(&taken, packed.data(), 5);
  std::memcpy(&first, packed.data() + 5, 8);
  std::memcpy(&second, packed.data() + 13, 5);
  Position p;
  bool found = false;
  int units = 0;
  while (taken != 0) {
    const int at = __builtin_ctzll(taken);
    taken &= taken - 1;
    const auto v = static_cast<std::uint8_t>((units < 12 ? first >> (5 * units) : second >> (5 * (units - 12))) & 31u);
    ++units;
    p.slot[static_cast<std::size_t>(at)] = v;
    if (v == kLoco && !found) {
      p.loco = static_cast<std::uint8_t>(at);
      found = true;
    }
  }
  return p;
}

std::uint64_t Hash(const Position& p) {
  std::uint64_t h = 0x9E3779B97F4A7C15ull;
  for (std::size_t i = 0; i < kSlots; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, p.slot.data() + i, sizeof w);
    h = (h ^ w) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
  }
  return h;
}

int LocoStart(const std::uint8_t* l) {
  for (int i = 0; i < kVisible; ++i) {
    if (l[i] == kLoco) return i;
  }
  return -1;
}

int LocoSiding(const Position& p) { return p.loco < kVisible ? 1 : 2; }
int LocoSlot(const Position& p) { return p.loco % kVisible; }

// Moves slots 0..last one position deeper and empties slot 0, as the game's moves do.
void ShiftDeeper(std::uint8_t* l, int last) {
  for (int k = last; k >= 1; --k) l[k] = l[k - 1];
  l[0] = 0;
}

// The cars coupled behind the locomotive, whose first unit stands at `start`; -1 when its block
// reaches the car stopper (the game then counts nothing coupled at all).
int CoupledCars(const std::uint8_t* l, int start, int m) {
  const int after = start + m;
  if (after >= kVisible) return -1;
  int n = 0;
  while (after + n < kVisible && l[after + n] != 0) ++n;
  return n;
}

int FreeBehind(const std::uint8_t* l, int start, int m) {
  int n = 0;
  for (int k = start + m; k < kVisible; ++k) n += l[k] == 0 ? 1 : 0;
  return n;
}

// The block in front of the siding as it stood, less its first `count` empty slots; false with
// fewer than that.
bool BackIn(std::uint8_t* b, const std::uint8_t* block, int count) {
  int front = 0;  // empty slots at the junction end: most often the block just goes there
  while (front < count && b[front] == 0) ++front;
  if (front == count) {
    std::memcpy(b, block, static_cast<std::size_t>(count));
    return true;
  }
  std::array<std::uint8_t, kVisible> after{};
  int at = 0, skip = count;
  for (int i = 0; i < count; ++i) after[static_cast<std::size_t>(at++)] = block[i];
  for (int k = 0; k < kVisible; ++k) {
    if (b[k] == 0 && skip > 0) {
      --skip;
    } else if (at < kVisible) {
      after[static_cast<std::size_t>(at++)] = b[k];
    } else {
      return false;
    }
  }
  if (skip > 0) return false;
  std::memcpy(b, after.data(), kVisible);
  return true;
}

// C n from the locomotive's siding: the same steps as the game's pull, change of route and back
// in. False for a command the game would answer with a message (more cars than are coupled).
bool Pull(Position& pos, int m, int n) {
  const int r = LocoSiding(pos);
  std::uint8_t* a = pos.line(r);
  std::uint8_t* b = pos.line(3 - r);
  const int p = LocoSlot(pos);
  if (p + m >= kVisible) return false;  // against the stopper nothing counts as coupled
  for (int k = p + m; k < p + m + n; ++k) {
    if (k >= kVisible || a[k] == 0) return false;  // more cars than are coupled
  }
  const int count = m + n;
  std::array<std::uint8_t, kVisible> block{};
  std::memcpy(block.data(), a + p, static_cast<std::size_t>(count));
  std::memset(a + p, 0, static_cast<std::size_t>(count));
  // Backing in: the unit nearest the junction on the head shunt first, the locomotive last; each
  // unit pushes the group standing at the junction end one slot deeper, which closes the first gap
  // of the siding. So the block ends up in front of the siding as it stood, less its first `count`
  // empty slots; with fewer than that the train would stay on the head shunt.
  if (!BackIn(b, block.data(), count)) return false;
  pos.loco = static_cast<std::uint8_t>((2 - r) * kVisible);
  // A locomotive that came in alone runs on until the first standing car is behind it.
  if (n == 0) {
    bool cars = false;
    for (int k = m; k < kVisible; ++k) cars = cars || b[k] != 0;
    for (int q = m; cars && q < kVisible && b[q] == 0; ++q) {
      ShiftDeeper(b, q);
      ++pos.loco;
    }
  }
  return true;
}

// P n: false when the train would run into the car stopper.
bool Push(Position& pos, int m, int n) {
  std::uint8_t* a = pos.line(LocoSiding(pos));
  if (n < 1 || LocoSlot(pos) + m >= kVisible || n > FreeBehind(a, LocoSlot(pos), m)) return false;
  for (int i = 0; i < n; ++i) {
    int e = LocoSlot(pos) + m;
    while (e < kVisible && a[e] != 0) ++e;
    ShiftDeeper(a, e);
    ++pos.loco;
  }
  return true;
}

bool Complete(const Position& pos, int m, int n) {
  const std::uint8_t* a = pos.line(LocoSiding(pos));
  const int after = LocoSlot(pos) + m;
  for (int k = 1; k <= n; ++k) {
    if (after + k - 1 >= kVisible || a[after + k - 1] != k) return false;
  }
  return true;
}

// The units out of place: neighbouring pairs of the finished train, the locomotive and car 1 to
// car n and the end of its siding, that are not neighbours in a siding's unit sequence (gaps
// ignored).
int Unjoined(const Position& pos, int n) {
  std::array<std::int8_t, 32> siding{}, index{};
  std::array<int, 3> count{};
  int locoSiding = 0, locoLast = -1;
  for (int s = 1; s <= 2; ++s) {
    const std::uint8_t* l = pos.line(s);
    int& q = count[static_cast<std::size_t>(s)];
    for (int k = 0; k < kVisible; ++k) {
      const std::uint8_t v = l[k];
      if (v == 0) continue;
      if (v == kLoco) {
        locoSiding = s;
        locoLast = q;
      } else {
        siding[v] = static_cast<std::int8_t>(s);
        index[v] = static_cast<std::int8_t>(q);
      }
      ++q;
    }
  }
  int open = siding[1] == locoSiding && index[1] == locoLast + 1 ? 0 : 1;
  for (int k = 1; k < n; ++k) open += siding[k + 1] == siding[k] && index[k + 1] == index[k] + 1 ? 0 : 1;
  return open + (index[n] + 1 == count[static_cast<std::size_t>(siding[n])] ? 0 : 1);
}

// The C of each step of a chain of pulls.
struct Chain {
  int length = 0;
  std::array<std::uint8_t, 32> cars{};
};

// The lower bound of the header, sharpened. A C joins the last unit it pulls to the first unit of
// the other siding (to its end when that siding is empty) and changes no other neighbour, and a P
// changes none: so a string as short as the pairs still to join makes every command the one C that
// joins a pair, and that C is always the same (it pulls up to the unit due in front of the other
// siding's first car). When playing that chain out gets stuck, or leaves a gap, one more command
// is needed at least. The pulls of a chain that completes the train go into `chain`.
int Bound(const Position& pos, int m, int n, int open, Chain* chain = nullptr) {
  if (n <= 0) return 0;
  Position at;
  const Position* now = &pos;  // copied at the first pull: most chains stop before it
  for (int step = 0; step < open; ++step) {
    const int r = LocoSiding(*now);
    const std::uint8_t* other = now->line(3 - r);
    int first = 0;
    for (int k = 0; k < kVisible && first == 0; ++k) first = other[k];
    const int due = first == 0 ? n : first - 1;  // 0 for the locomotive
    const std::uint8_t* a = now->line(r);
    const int after = LocoSlot(*now) + m;
    int cars = due == 0 ? 0 : -1;
    for (int k = after; due != 0 && k < kVisible && a[k] != 0; ++k) {
      if (a[k] == due) cars = k - after + 1;
    }
    if (after >= kVisible || cars < 0) return open + 1;
    if (now == &pos) {
      at = pos;
      now = &at;
    }
    if (!Pull(at, m, cars)) return open + 1;
    if (chain != nullptr) chain->cars[static_cast<std::size_t>(chain->length++)] = static_cast<std::uint8_t>(cars);
  }
  return Complete(*now, m, n) ? open : open + 1;
}

// ---- the search ------------------------------------------------------------------------------

struct Step {
  char letter = 0;  // 'C' or 'P'; 0 for a start
  std::uint8_t number = 0;
};

struct Node {
  Packed pos;
  std::uint8_t unjoined;  // Unjoined(pos)
  std::uint8_t queued = 0;  // the bound it was queued with last
  bool closed : 1 = false;
  bool sharp : 1 = false;  // queued with the sharpened bound, not only the count of pairs
  std::uint16_t g;
  Step step;
  std::uint32_t parent;
};
static_assert(sizeof(Node) <= 32, "a node is most of a search's memory");

constexpr std::uint32_t kNoParent = 0xFFFFFFFFu;

class Search {
 public:
  // `limit`: positions whose g + h reaches it are not kept (a string that long is known already).
  // Positions are taken in the order of den * g + num * h: A* with num = den = 1, a search that
  // trusts the bound more (and finds some string sooner) with num > den.
  // `keepLooking`: a search that is not A* goes on after a string, for a shorter one.
  // `bytes`: the memory it may take, the table, the positions and the queue together.
  // `work`: the positions it may still take from the queue, shared by the searches of one solve;
  // the clock is only a ceiling above it, so a slow machine proves what a fast one does.
  Search(int m, int n, std::size_t bytes, int num, int den, int limit, std::chrono::steady_clock::time_point deadline,
         bool keepLooking, const std::atomic<bool>* cancel, std::size_t& work)
      : m_(m), n_(n), maxBytes_(bytes), num_(num), den_(den), limit_(limit), keepLooking_(keepLooking),
        deadline_(deadline), cancel_(cancel), work_(work) {
    // A position takes a node, its share of the table and a queue entry or two; the table holds
    // at most three quarters of its entries. Room for the whole budget at once: the memory is only
    // taken as it is written, and nothing is ever moved or hashed again.
    budget_ = std::min<std::size_t>(bytes / (sizeof(Node) + 10), 0x3FFFFFFFu);
    size_ = budget_ + budget_ / 3 + 16;
    // An entry is the node's index + 1 under as many bits of the hash as are left over above it.
    while (indexBits_ < 32 && (std::uint64_t{1} << indexBits_) <= budget_ + 1) ++indexBits_;
    table_.reset(static_cast<std::uint32_t*>(std::calloc(size_, sizeof(std::uint32_t))));
    if (!table_) budget_ = 0;
    bytes_ = table_ ? size_ * sizeof(std::uint32_t) : 0;
    nodes_.reserve(budget_);
  }

  void AddStart(const Position& pos, int g, Step step) { Offer(pos, g, kNoParent, step, Unjoined(pos, n_), Hash(pos)); }

  enum class End { Found, Exhausted, Budget };

  End Run() {
    for (std::uint32_t count = 0;; ++count) {
      while (cursor_ < open_.size() && open_[cursor_].empty()) ++cursor_;
      if (cursor_ >= open_.size()) return full_ ? End::Budget : End::Exhausted;
      if ((count & 1023) == 0 && (std::chrono::steady_clock::now() > deadline_ || Cancelled())) return End::Budget;
      if (work_ == 0) return End::Budget;
      --work_;
      const std::uint32_t at = open_[cursor_].back();
      open_[cursor_].pop_back();
      Node& node = nodes_[at];
      const int g = node.g;
      // Queued again since, with a better way to it or a sharper bound: this entry is stale.
      if (node.closed || static_cast<std::size_t>(den_ * g + num_ * node.queued) != cursor_) continue;
      // A string found since makes it too long.
      if (g + node.queued >= limit_) {
        if (num_ == den_) return full_ ? End::Budget : End::Exhausted;  // and every one after it
        continue;
      }
      // Nodes are queued by the count of pairs alone; the sharper bound, which costs a few
      // pulls, is worked out only for those that come up, most never do.
      const Position pos = Unpack(node.pos);
      if (!node.sharp) {
        node.sharp = true;
        const int h = Bound(pos, m_, n_, node.unjoined);
        if (g + h >= limit_) continue;
        if (static_cast<std::size_t>(den_ * g + num_ * h) > cursor_) {
          Queue(at, g, h);
          continue;
        }
      }
      node.closed = true;
      if (Complete(pos, m_, n_)) {
        // A* meets the shortest string first. A search that trusts the bound more keeps looking
        // for a shorter one than this, if asked to.
        if (num_ == den_ || !keepLooking_) {
          goal_ = at;
          return End::Found;
        }
        Shorten(at, Chain{});
        continue;
      }
      Expand(pos, at, g, node.step.letter == 'P');
    }
  }

  bool HasPath() const { return goal_ != kNoParent || chainFrom_ != kNoParent; }
  // Strings of this many commands or more are not looked for any more.
  int Limit() const { return limit_; }

  // The string found last: the way to the goal that came up, or to the position whose chain of
  // pulls completes the train, and that chain.
  std::vector<OneInputCommand> Path() const {
    std::vector<OneInputCommand> out;
    const std::uint32_t end = goal_ != kNoParent ? goal_ : chainFrom_;
    for (std::uint32_t at = end; at != kNoParent; at = nodes_[at].parent) {
      const Step s = nodes_[at].step;
      if (s.letter != 0) out.push_back({std::string(1, s.letter), s.number});
    }
    std::reverse(out.begin(), out.end());
    if (goal_ == kNoParent) {
      for (int k = 0; k < chain_.length; ++k) out.push_back({"C", chain_.cars[static_cast<std::size_t>(k)]});
    }
    return out;
  }

  std::size_t States() const { return nodes_.size(); }
  // The memory the search has taken: the table, the positions written and the queue's room.
  std::size_t Bytes() const { return bytes_ + nodes_.size() * sizeof(Node); }
  // The entry a hash starts looking at: its low half scaled to the table.
  std::size_t Home(std::uint64_t hash) const { return static_cast<std::size_t>(((hash & 0xFFFFFFFFu) * size_) >> 32); }
  bool Cancelled() const { return cancel_ != nullptr && cancel_->load(std::memory_order_relaxed); }

 private:
  // After a push no second push: two in a row make the same position as one push of both lengths.
  void Expand(const Position& pos, std::uint32_t at, int g, bool afterPush) {
    const int r = LocoSiding(pos);
    const std::uint8_t* a = pos.line(r);
    const std::uint8_t* o = pos.line(3 - r);
    const int coupled = CoupledCars(a, LocoSlot(pos), m_);
    const int unjoined = nodes_[at].unjoined;
    // A C changes one neighbour: the last unit it pulls leaves the unit behind it in this siding
    // for the first of the other siding. The count of pairs follows from those two alone.
    constexpr std::uint8_t kEnd = 255;
    std::uint8_t first = kEnd;
    for (int k = 0; k < kVisible && first == kEnd; ++k) {
      if (o[k] != 0) first = o[k];
    }
    const int after = LocoSlot(pos) + m_;
    for (int c = 0; c <= coupled; ++c) {
      const std::uint8_t last = c == 0 ? 0 : a[after + c - 1];  // 0 for the locomotive
      const std::uint8_t due = last == n_ ? kEnd : static_cast<std::uint8_t>(last + 1);
      std::uint8_t behind = kEnd;
      for (int k = after + c; k < kVisible && behind == kEnd; ++k) {
        if (a[k] != 0) behind = a[k];
      }
      const int count = unjoined + (behind == due ? 1 : 0) - (first == due ? 1 : 0);
      if (g + 1 + count >= limit_) continue;  // known before the pull is played
      // One below the limit only a position whose chain of joining pulls completes the train is
      // kept. The chain's first pull takes the cars up to the one due in front of `behind`, which
      // must then be coupled: among those pulled now, or in the group they are backed onto.
      if (g + 1 + count + 1 == limit_ && count > 0 && behind != 1) {
        const std::uint8_t next = behind == kEnd ? static_cast<std::uint8_t>(n_) : static_cast<std::uint8_t>(behind - 1);
        if (!Coupled(next, a + after, c, o, m_ + c)) continue;
      }
      Position next = pos;
      if (Pull(next, m_, c)) Stage(next, {'C', static_cast<std::uint8_t>(c)}, count);
    }
    // A push joins no pair: near the limit only a C can still make a shorter string.
    const int free = coupled < 0 || afterPush || g + 1 + unjoined >= limit_ ? 0 : FreeBehind(a, LocoSlot(pos), m_);
    // One below the limit the chain's first pull needs the car due in front of the other siding
    // coupled: a push shorter than the gaps before that car leaves it standing.
    int from = 1;
    if (free > 0 && g + 1 + unjoined + 1 == limit_ && unjoined > 0 && first != 1) {
      const std::uint8_t want = first == kEnd ? static_cast<std::uint8_t>(n_) : static_cast<std::uint8_t>(first - 1);
      int gaps = 0;
      from = free + 1;  // not in this siding: no push helps
      for (int k = after; k < kVisible; ++k) {
        if (a[k] == want) {
          from = std::max(gaps, 1);
          break;
        }
        gaps += a[k] == 0 ? 1 : 0;
      }
    }
    // Each push one slot further than the one before: the locomotive and the cars coupled to it
    // close the first gap behind them.
    Position next = pos;
    std::uint8_t* line = next.line(r);
    for (int p = 1, end = after; p <= free; ++p, ++end) {
      while (end < kVisible && line[end] != 0) ++end;
      if (end >= kVisible) break;
      ShiftDeeper(line, end);
      ++next.loco;
      if (p >= from) Stage(next, {'P', static_cast<std::uint8_t>(p)}, unjoined);
    }
    for (const Child& child : children_) Offer(child.pos, g + 1, at, child.step, child.unjoined, child.hash);
    children_.clear();
  }

  // The children of a position are made first and offered after: the table entry each will look
  // at is on its way from memory meanwhile.
  struct Child {
    Position pos;
    Step step;
    int unjoined;
    std::uint64_t hash;
  };
  void Stage(const Position& pos, Step step, int unjoined) {
    const std::uint64_t hash = Hash(pos);
    if (table_) __builtin_prefetch(&table_[Home(hash)]);
    children_.push_back({pos, step, unjoined, hash});
  }

  // Whether `car` is coupled behind the locomotive once `pulled` cars (from `block`) are backed
  // into `siding`, which loses its first `room` empty slots to them. A locomotive that comes in
  // alone runs on to the first standing car.
  static bool Coupled(std::uint8_t car, const std::uint8_t* block, int pulled, const std::uint8_t* siding, int room) {
    for (int i = 0; i < pulled; ++i) {
      if (block[i] == car) return true;
    }
    bool standing = false;
    for (int k = 0; k < kVisible; ++k) {
      if (siding[k] == 0) {
        if (room > 0) {
          --room;
        } else if (pulled > 0 || standing) {
          return false;
        }
        continue;
      }
      if (siding[k] == car) return true;
      standing = true;
    }
    return false;
  }

  // Table entries: the node's index + 1 (0: free), under the top bits of the position's hash.
  void Offer(const Position& pos, int g, std::uint32_t parent, Step step, int unjoined, std::uint64_t hash) {
    const int h = unjoined;  // sharpened when the node comes up, or here
    if (g + h >= limit_) return;
    // One below the limit the sharper bound decides at once: the positions it drops would only
    // take room, and this layer is the largest. A position it keeps is one whose chain of joining
    // pulls completes the train, which makes a string one shorter than the limit at once.
    Chain chain;
    const bool last = g + h + 1 == limit_;
    if (last && g + Bound(pos, m_, n_, unjoined, &chain) >= limit_) return;
    if (!table_) {
      full_ = true;
      return;
    }
    const std::uint32_t indexMask = indexBits_ >= 32 ? 0xFFFFFFFFu : (std::uint32_t{1} << indexBits_) - 1;
    const std::uint32_t tag = indexBits_ >= 32 ? 0 : static_cast<std::uint32_t>(hash >> (32 + indexBits_)) << indexBits_;
    const Packed packed = Pack(pos);
    std::size_t i = Home(hash);
    for (; table_[i] != 0; i = i + 1 == size_ ? 0 : i + 1) {
      if ((table_[i] & ~indexMask) != tag) continue;
      const auto at = (table_[i] & indexMask) - 1;
      Node& known = nodes_[at];
      if (known.pos != packed) continue;
      if (known.g <= g) {
        if (last) Shorten(at, chain);
        return;
      }
      // A shorter way to a position taken already: it is taken again, or whatever it closed off
      // beyond the limit would have been measured by the longer way, and an exhausted search
      // would prove nothing.
      known.closed = false;
      known.g = static_cast<std::uint16_t>(g);
      known.parent = parent;
      known.step = step;
      known.sharp = false;
      if (last) {
        Shorten(at, chain);
      } else {
        Queue(at, g, h);
      }
      return;
    }
    if (nodes_.size() >= budget_ || Bytes() + sizeof(Node) > maxBytes_) {
      full_ = true;
      return;
    }
    Node node{};
    node.pos = packed;
    node.unjoined = static_cast<std::uint8_t>(unjoined);
    node.step = step;
    node.g = static_cast<std::uint16_t>(g);
    node.parent = parent;
    nodes_.push_back(node);
    table_[i] = tag | static_cast<std::uint32_t>(nodes_.size());
    const auto at = static_cast<std::uint32_t>(nodes_.size() - 1);
    if (last) {
      Shorten(at, chain);
    } else {
      Queue(at, g, h);
    }
  }

  // The way to node `at` and then `chain` complete the train: from now on only a shorter string
  // is looked for.
  void Shorten(std::uint32_t at, const Chain& chain) {
    const int length = nodes_[at].g + chain.length;
    if (length >= limit_) return;
    limit_ = length;
    chainFrom_ = at;
    chain_ = chain;
  }

  void Queue(std::uint32_t at, int g, int h) {
    const std::size_t f = static_cast<std::size_t>(den_ * g + num_ * h);
    nodes_[at].queued = static_cast<std::uint8_t>(h);
    if (open_.size() <= f) open_.resize(f + 1);
    std::vector<std::uint32_t>& bucket = open_[f];
    if (bucket.size() == bucket.capacity()) {
      // The bucket doubles: within the memory, or the search is full (and proves nothing).
      const std::size_t more = std::max<std::size_t>(bucket.capacity(), 16) * sizeof(std::uint32_t);
      if (bytes_ + nodes_.size() * sizeof(Node) + more > maxBytes_) {
        full_ = true;
        return;
      }
      bucket.reserve(bucket.capacity() + more / sizeof(std::uint32_t));
      bytes_ += more;
    }
    bucket.push_back(at);
    cursor_ = std::min(cursor_, f);  // only a weighted search ever goes back
  }

  int m_, n_;
  std::size_t maxBytes_;
  std::size_t budget_ = 0;  // positions at most
  std::size_t bytes_ = 0;   // the table and the queue's room
  int num_, den_;
  int limit_;
  bool keepLooking_;
  std::chrono::steady_clock::time_point deadline_;
  const std::atomic<bool>* cancel_;
  std::size_t& work_;
  struct Free {
    void operator()(std::uint32_t* p) const { std::free(p); }
  };
  std::unique_ptr<std::uint32_t[], Free> table_;
  std::size_t size_ = 0;  // entries of the table
  int indexBits_ = 1;
  std::vector<Node> nodes_;
  std::vector<Child> children_;
  std::vector<std::vector<std::uint32_t>> open_;  // nodes by the f they were queued with
  std::size_t cursor_ = 0;  // no bucket below it holds anything
  bool full_ = false;
  std::uint32_t goal_ = kNoParent;
  std::uint32_t chainFrom_ = kNoParent;
  Chain chain_;
};

// ---- the game's own moves --------------------------------------------------------------------


// Whether the position is one the packed search can take: nothing on the head shunt or past a
// car stopper, the locomotive whole in the siding the route shows, at most 20 units, cars 1..n.
std::optional<Position> Between(const Yard& yard, int route, int m, int n) {
  if ((route != 1 && route != 2) || m < 1 || n < 0 || m + n > kVisible) return std::nullopt;
  for (int line = 0; line < kLines; ++line) {
    for (int k = line == 0 ? 0 : kVisible; k <= kLastPosition; ++k) {
      if (!yard.at(line, k).IsEmpty()) return std::nullopt;
    }
  }
  Position pos;
  int locos = 0, cars = 0;
  std::array<bool, 32> seen{};
  for (int s = 1; s <= 2; ++s) {
    for (int k = 0; k < kVisible; ++k) {
      const Slot& slot = yard.at(s, k);
      if (slot.IsLoco()) {
        if (s != route) return std::nullopt;
        pos.line(s)[k] = kLoco;
        ++locos;
      } else if (slot.IsCar()) {
        const int c = slot.number();
        if (c < 1 || c > n || seen[static_cast<std::size_t>(c)]) return std::nullopt;
        seen[static_cast<std::size_t>(c)] = true;
        pos.line(s)[k] = static_cast<std::uint8_t>(c);
        ++cars;
      }
    }
  }
  if (locos != m || cars != n) return std::nullopt;
  const std::uint8_t* a = pos.line(route);
  const int p = LocoStart(a);
  for (int k = 0; k < p; ++k) {
    if (a[k] != 0) return std::nullopt;  // cars between the junction and the locomotive
  }
  for (int k = p; k < p + m; ++k) {
    if (k >= kVisible || a[k] != kLoco) return std::nullopt;
  }
  pos.loco = static_cast<std::uint8_t>((route - 1) * kVisible + p);
  return pos;
}

// The plain plan: car k + 1 is brought to the junction end of a siding, the finished part is
// backed in against it and the next pull takes it along; every pull first pushes just far
// enough to couple the cars it needs. Long, but it needs no search.
class Planner {
 public:
  Planner(const Yard& yard, int route, int m, int n) : board_{yard, route, m, n} {}

  std::vector<int> Cars(int line) const {
    std::vector<int> out;
    for (int p = 0; p < kVisible; ++p) {
      if (board_.yard.at(line, p).IsCar()) out.push_back(board_.yard.at(line, p).number());
    }
    return out;
  }
  int Current() const { return board_.route; }
  int Other() const { return board_.route == 1 ? 2 : 1; }

  bool Pull(int cars) { return Couple(cars) && Run({"C", cars}); }

  bool Couple(int cars) {
    const int line = Current(), m = board_.locoUnits;
    const int want = m + cars;
    if (board_.yard.GetCoupledCarsNum(line) >= want) return true;
    const auto before = Between(board_.yard, line, m, board_.cars);
    if (!before) return false;
    for (int k = 1; k <= board_.yard.GetMaxPushing(line); ++k) {
      Position pos = *before;
      if (!Push(pos, m, k)) break;
      if (CoupledCars(pos.line(line), LocoSlot(pos), m) + m >= want) return Run({"P", k});
    }
    return false;
  }

  std::vector<OneInputCommand> commands;

 private:
  bool Run(const OneInputCommand& cmd) {
    commands.push_back(cmd);
    const rules::Played played = rules::Play(board_, cmd);
    board_ = played.board;
    return played.Clean();
  }
  rules::Board board_;
};

int IndexOf(const std::vector<int>& cars, int car) {
  const auto it = std::find(cars.begin(), cars.end(), car);
  return it == cars.end() ? -1 : static_cast<int>(it - cars.begin());
}

std::optional<std::vector<OneInputCommand>> Plan(const Yard& yard, int route, int m, int n) {
  Planner plan(yard, route, m, n);
  for (int k = 0; k < n; ++k) {
    const int next = k + 1;
    const int here = IndexOf(plan.Cars(plan.Current()), next);
    bool ok = true;
    if (here >= 0) {
      // Behind the carried cars in this siding: set the cars between aside, come back for it.
      if (here == k) continue;
      ok = plan.Pull(here) && plan.Pull(k);
    } else {
      const int there = IndexOf(plan.Cars(plan.Other()), next);
      if (there < 0) return std::nullopt;
      ok = plan.Pull(k) &&          // the carried cars go over on top of the cars in front of it
           plan.Pull(k + there) &&  // those come back with them
           plan.Pull(k);            // and the carried cars return against it
    }
    if (!ok) return std::nullopt;
  }
  if (!plan.Couple(n)) return std::nullopt;
  return plan.commands;
}

// Plays a string on a copy of the game: it must complete the train without a derailment.
bool Completes(const Yard& yard, int route, int m, int n, const std::vector<OneInputCommand>& commands,
               bool allowMessages) {
  rules::Board board{yard, route, m, n};
  for (const OneInputCommand& c : commands) {
    const rules::Played played = rules::Play(board, c);
    if (played.derailed || (played.told && !allowMessages)) return false;
    board = played.board;
  }
  return TrainComplete(board.yard, n);
}

// A search called off: whatever it found is not for the position it was asked about any more.
SolveResult Cancelled(SolveResult result) {
  result.outcome = SolveResult::Outcome::Cancelled;
  result.commands.clear();
  result.proven = false;
  return result;
}

}  // namespace

SolveResult SolveFewest(const Yard& yard, int route, int m, int n, const SolverLimits& limits) {
  SolveResult result;
  if (m + n > kVisible) {
    result.outcome = SolveResult::Outcome::NoSolution;
    return result;
  }
  if (TrainComplete(yard, n)) {
    result.outcome = SolveResult::Outcome::Solved;
    result.proven = true;
    return result;
  }

  // The starts: the position itself, or, when the route and the locomotive disagree (a one-input
  // string begins with siding 1 wherever the locomotive stands), what each first command makes of
  // it through the game's own moves, messages and all.
  std::vector<std::pair<Position, Step>> starts;
  bool messages = false;
  if (const auto pos = Between(yard, route, m, n)) {
    starts.push_back({*pos, {}});
  } else {
    for (const char letter : {'C', 'P'}) {
      for (int k = letter == 'C' ? 0 : 1; k <= kVisible; ++k) {
        const rules::Played played = rules::Play({yard, route, m, n}, {std::string(1, letter), k});
        if (played.derailed) continue;
        if (const auto next = Between(played.board.yard, played.board.route, m, n)) {
          const bool known = std::any_of(starts.begin(), starts.end(), [&](const auto& s) { return s.first.slot == next->slot; });
          if (!known) starts.push_back({*next, {letter, static_cast<std::uint8_t>(k)}});
        }
      }
    }
    messages = true;
  }
  if (starts.empty()) {
    result.outcome = SolveResult::Outcome::NoSolution;
    return result;
  }

  // First a search that trusts the bound three times as much, for a string soon; then one that
  // trusts it half as much again and, after each string, looks on for a shorter one until no
  // position is left that could lead to one: the string in hand is then a shortest one. Should
  // its budget run out first, A*, which keeps only positions that could still lead to a shorter
  // string, has the rest. Every search takes a position up again when a shorter way reaches it,
  // so an exhausted one proves, weighted or not. The budget is counted in positions taken from
  // the queue, shared by the three; the clock is only a ceiling over them all.
  const auto deadline = std::chrono::steady_clock::now() + limits.time;
  std::size_t work = limits.work;
  auto have = [&] { return result.outcome == SolveResult::Outcome::Solved; };
  auto run = [&](int num, int den, std::size_t bytes, std::size_t share, bool keepLooking) {
    const int most = limits.longest >= 0 ? std::min(limits.longest, kOneInputCommands) : kOneInputCommands;
    const int limit = have() ? static_cast<int>(result.commands.size()) : most + 1;
    std::size_t allowed = std::min(work, share);
    const std::size_t given = allowed;
    Search search(m, n, bytes, num, den, limit, deadline, keepLooking, limits.cancel, allowed);
    for (const auto& [pos, step] : starts) search.AddStart(pos, step.letter != 0 ? 1 : 0, step);
    Search::End end = search.Run();
    work -= given - allowed;
    result.work += given - allowed;
    result.states = std::max(result.states, search.States());
    result.bytes = std::max(result.bytes, search.Bytes());
    if (search.Cancelled()) return Search::End::Budget;
    if (search.HasPath()) {
      std::vector<OneInputCommand> found = search.Path();
      // An exhaustion proves that nothing is shorter than the limit the search ended with: the
      // string in hand must be that long, or something is wrong and nothing is proven.
      if (end == Search::End::Exhausted && static_cast<int>(found.size()) != search.Limit()) end = Search::End::Budget;
      if (Completes(yard, route, m, n, found, messages)) {
        result.commands = std::move(found);
        result.outcome = SolveResult::Outcome::Solved;
      } else {
        return Search::End::Budget;  // a string the game does not play proves nothing
      }
    }
    return end;
  };
  auto cancelled = [&] { return limits.cancel != nullptr && limits.cancel->load(std::memory_order_relaxed); };
  for (const auto& [num, den, share, keepLooking] : {std::tuple{3, 1, 5, false}, std::tuple{3, 2, 1, true}}) {
    if (cancelled()) return Cancelled(std::move(result));
    const Search::End end = run(num, den, limits.maxBytes / static_cast<std::size_t>(share),
                                limits.work / static_cast<std::size_t>(share), keepLooking);
    if (end == Search::End::Exhausted) {
      // Nothing shorter anywhere: the string in hand is a shortest one, or there is none at all.
      if (!have()) result.outcome = SolveResult::Outcome::NoSolution;
      result.proven = have();
      return result;
    }
    // Short enough for the caller: not proven shortest, and not wanted to be.
    if (have() && static_cast<int>(result.commands.size()) <= limits.enough) return result;
  }
  if (cancelled()) return Cancelled(std::move(result));
  const Search::End exact = run(1, 1, limits.maxBytes, work, false);
  if (cancelled()) return Cancelled(std::move(result));
  if (exact == Search::End::Found || (exact == Search::End::Exhausted && have())) {
    result.proven = true;
    return result;
  }
  if (exact == Search::End::Exhausted) {
    result.outcome = SolveResult::Outcome::NoSolution;
    return result;
  }
  if (have()) return result;
  if (starts.size() == 1 && starts[0].second.letter == 0) {
    if (auto plan = Plan(yard, route, m, n); plan && Completes(yard, route, m, n, *plan, false)) {
      result.commands = std::move(*plan);
      result.outcome = SolveResult::Outcome::Solved;
      return result;
    }
  }
  result.outcome = SolveResult::Outcome::GaveUp;
  return result;
}

SolveResult SolveFromConsole(const Yard& yard, int m, int n, const SolverLimits& limits) {
  // No route yet: the console's own first step sets it to siding 1 and backs into it.
  const rules::Board start = rules::ConsoleStart({yard, -1, m, n});
  return SolveFewest(start.yard, start.route, m, n, limits);
}

std::optional<std::string> SolveOneInput(const Yard& yard, int locoUnits, int trainCars) {
  const SolveResult r = SolveFromConsole(yard, locoUnits, trainCars);
  if (r.outcome != SolveResult::Outcome::Solved) return std::nullopt;
  return CommandsText(r.commands);
}

}  // namespace kelvara
