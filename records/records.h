// The player's records: every game played and the games in progress, kept in one SQLite database
// in the player's data folder. Any number of games running at once write into the same file, each
// keeping its game in progress in a slot of its own; a file that is not a database, or is damaged,
// is set aside under a name of its own and a new one begun.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/record.h"

struct sqlite3;

namespace kelvara {

struct TrainStats {
  TrainIdentity train;
  std::string name;  // "" for games recorded before names were
  int played = 0;
  int completed = 0;
  int bestMoves = -1;     // the fewest moves of a completed game; -1 for none
  int fewestAtBest = -1;  // the fewest possible in that game
  std::int64_t bestMs = -1;
};

struct Statistics {
  int played = 0;
  int completed = 0;
  int derailed = 0;
  int left = 0;
  int inFewest = 0;  // completed in the fewest possible moves, where that was proven
  int currentStreak = 0;
  int longestStreak = 0;
  std::vector<TrainStats> trains;  // the most played first
  struct Recent {
    int moves = 0;
    int fewest = -1;
    GameEnd end = GameEnd::Left;
  };
  std::vector<Recent> recent;  // the last 50 games, oldest first
  // Each quiz played by its code, the most played first (at most Records::kQuizzes).
  struct Quiz {
    std::string code;
    std::string trainName;
    int played = 0;
    int bestMoves = -1;  // -1 when never completed
    int fewest = -1;
  };
  std::vector<Quiz> quizzes;
  int dailyCompleted = 0;  // days whose quiz was completed
  int dailyStreak = 0;     // days in a row up to today (or yesterday) with today's quiz completed
};

class Records : public IRecords {
 public:
  static constexpr int kSchemaVersion = 5;
  static constexpr int kRecent = 50;
  static constexpr int kQuizzes = 20;
  // Programs that keep a game in progress at once; one more is told it cannot keep its game.
  static constexpr int kSlots = 16;

  struct Opened {
    std::unique_ptr<Records> records;  // null when none can be kept
    // Where a file that could not be used went, or "".
    std::string setAside;
    // Why nothing is kept, or why a file was set aside; "" when all went well.
    std::string problem;
  };
  // Opens the database, making it and its folder as needed. `now` gives seconds since 1970 (UTC).
  static Opened Open(const std::string& path, std::function<std::int64_t()> now = {});
  ~Records() override;
  Records(const Records&) = delete;
  Records& operator=(const Records&) = delete;

  // The game ends: recorded, and this program's slot emptied in the same write.
  RecordResult GameEnded(const GameRecord& record) override;
  // The game in progress into this program's slot, replacing what it held; only what changed
  // since the last write is written.
  void Keep(const SavedGame& game) override;
  // The first error of a write that failed, or "".
  const std::string& LastError() const { return lastError_; }
  // Called once, at the first write that fails (a full disk, a folder made read-only): the
  // front end says so once and plays on.
  std::function<void(const std::string& error)> OnFirstFailure;
  // Called when a file found damaged while the game runs was set aside (its new name) and new
  // records begun.
  std::function<void(const std::string& setAside)> OnSetAside;

  // A slot for this program's game in progress, held for as long as the program runs (a lock the
  // system lets go of when the program ends, however it ends). With `takeUp`, the slot of the
  // newest game left by a program that no longer runs, with that game; without, an empty slot.
  struct Claim {
    bool claimed = false;           // false: every slot is held by a running program
    std::optional<SavedGame> left;  // the game left in the slot, to be taken up
    bool damaged = false;           // a game was left there that does not read back: it is gone
  };
  Claim ClaimSlot(bool takeUp);
  int Slot() const { return slot_; }

  Statistics Stats() const;
  // Every game recorded, newest last (tools and tests).
  std::vector<GameRecord> Games() const;
  // The games in progress kept in every slot, by slot (tools and tests).
  std::vector<std::pair<int, SavedGame>> KeptGames() const;
  // Every game forgotten; the games in progress stay.
  bool Reset();
  // Rows that name their train by the digest of earlier versions, which took in the folder, are
  // given the digest of the train's content when `contentDigest` finds the train as it was (and
  // their quiz codes with it). Rows whose train is gone or changed stay as they are. Returns the
  // trains carried over.
  int CarryOverTrains(const std::function<std::optional<std::string>(const TrainIdentity&)>& contentDigest);

 private:
  Records(sqlite3* db, std::string path, std::function<std::int64_t()> now);
  bool Write(const std::function<bool()>& body);
  // The file found damaged while playing is set aside and a new one begun in its place.
  bool Recover();
  bool Exec(const char* sql);
  void Fail(const char* what);
  // The game kept in a slot, every size checked; nothing when it is empty, `damaged` when what
  // is there is more than a game can make or does not read back.
  std::optional<SavedGame> ReadSlot(int slot, bool& damaged) const;
  bool ClearSlot(int slot);

  sqlite3* db_;
  std::string path_;
  std::function<std::int64_t()> now_;
  std::string lastError_;
  int slot_ = 0;        // this program's slot, 0 for none
  int slotLock_ = -1;   // the descriptor whose lock holds it
  SavedGame written_;   // what the slot holds, as this program wrote it last
  bool writtenValid_ = false;
};

}  // namespace kelvara
