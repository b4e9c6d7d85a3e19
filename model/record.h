// What a finished game leaves behind, and the game in progress as it can be taken up again; the
// game hands both to a keeper of records it is given (a database in the front ends, a fake in
// tests) and knows nothing of how they are kept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/yard.h"

namespace kelvara {

enum class GameEnd { Completed, Derailed, Left };

std::string_view GameEndName(GameEnd end);  // "completed", "derailed", "left"
std::optional<GameEnd> GameEndFromName(std::string_view name);

// The train as a record names it: the file's name and a digest of what it holds, so a train file
// changed under the same name is another train.
struct TrainIdentity {
  std::string file;    // the train file's name, without its folder
  std::string digest;  // 16 hex digits
  // 2: the digest of the train's content; 1: of earlier versions, which took in the folder too.
  // Records of version 1 become version 2 when their train is found again as it was.
  int scheme = 2;
  bool operator==(const TrainIdentity&) const = default;
};

struct GameRecord {
  std::int64_t endedAt = 0;  // seconds since 1970 (UTC); the keeper stamps it when 0
  std::int64_t playedMs = 0;
  TrainIdentity train;
  std::string trainName;  // as the train file names it, for the statistics
  std::string locoSet;
  int level = 0;
  std::string startPosition;  // YardText of the quiz's start, then "@" and its route
  int moves = 0;
  int fewest = -1;  // -1 when the search could not tell
  bool fewestProven = false;
  int hints = 0;
  int undos = 0;
  GameEnd end = GameEnd::Left;
  std::string code;   // the quiz's code, "" when it could not be named
  std::string daily;  // the day ("YYYY-MM-DD", UTC) when it was that day's quiz, else ""
};

// What the keeper says back when a game is recorded.
struct RecordResult {
  bool stored = false;
  bool newBest = false;  // a completed game with fewer moves than any before on this train
};

// A game in progress, whole: what the window showed, its history for undo and redo, its answer
// list.
struct SavedGame {
  struct Step {
    std::string yard;  // YardText
    int route = -1;
    std::string ucount;
    int moves = 0;
    std::string label;
    bool operator==(const Step&) const = default;
  };
  std::string trainPath;  // as the game loaded it
  TrainIdentity train;
  int locoSetIndex = 0;
  std::string locoSet;
  int level = 0;
  std::string startYard;
  int startRoute = -1;
  std::string yard;
  int route = -1;
  std::string ucount;
  int moves = 0;
  int hints = 0;
  int undos = 0;
  std::int64_t playedMs = 0;
  int dcount = 0;
  int fewest = -1;
  bool fewestProven = false;
  bool fewestConsole = false;
  bool restartOffered = false;
  std::vector<Step> history;
  std::size_t historyAt = 0;
  std::vector<std::string> answers;
  bool operator==(const SavedGame&) const = default;
};

// A saved game that could not be taken up again, recorded as left.
GameRecord LeftRecord(const SavedGame& saved);

// What a game can make, and so the most a saved game may hold: anything beyond is damage.
inline constexpr std::size_t kHistoryMost = 5000;   // steps of undo and redo in one game
inline constexpr std::size_t kKeptTextMost = 4096;  // a position, a label, a name or a path
inline constexpr std::size_t kAnswersMost = 1001;   // the making moves of a quiz

class IRecords {
 public:
  virtual ~IRecords() = default;
  // The game ends: recorded; the game in progress kept for it, if any, goes.
  virtual RecordResult GameEnded(const GameRecord& record) = 0;
  // The game in progress as it stands after a move, kept until it ends or is kept anew.
  virtual void Keep(const SavedGame&) {}
};

// A time played as the statistics show it: "1:05", and "1:02:03" past the hour.
std::string PlayedText(std::int64_t ms);

// A yard as one line of text: the four lines split by "/", their slots by ",", "." for an empty
// slot, "L3" for unit 3, "12" for car 12; the empty slots at the end of a line left out.
std::string YardText(const Yard& yard);
// nullopt for a text that is not one (a slot out of range, a number that does not fit, too many
// lines or slots).
std::optional<Yard> YardFromText(std::string_view text);

}  // namespace kelvara
