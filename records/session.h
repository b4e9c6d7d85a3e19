// The records around a game, kept the same way by both front ends: opened with a slot of this
// program's own, the records of earlier versions carried over, the game left taken up, and at the
// end the game in progress kept or left.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "records/records.h"

namespace kelvara {

class Game;

struct RecordsStart {
  Records::Opened opened;
  Records::Claim claim;
};

// Opens the records and claims this program's slot for its game in progress, with the game left
// in it when `takeUp`. Touches nothing of the game: it may run on a thread of its own.
RecordsStart OpenRecords(const std::string& path, bool takeUp);

// What the player must be told (a message box or a line) and what goes into the log.
struct RecordsTell {
  std::function<void(const std::string& text)> box;
  std::function<void(const std::string& text)> log;
};

// Once the locomotive list is loaded: what went wrong in the opening told, the records of the old
// digest carried over, the records handed to the game with their later failures told. The game
// left, if there is one, is not taken up yet: its train is loaded first (LoadTrainOfGameLeft).
std::unique_ptr<Records> StartRecords(RecordsStart& start, Game& game, const RecordsTell& tell);

// The saved game's own train and locomotive set loaded, when they are still there.
void LoadTrainOfGameLeft(Game& game, const SavedGame& left);

// The game left taken up over the train loaded now: the id of the text that says so (6100), or
// of the reason it cannot go on (the game is then recorded as left).
int TakeUpGameLeft(Game& game, const SavedGame& left);

// The program ends: the game in progress kept in this program's slot for the next start, or
// recorded as left.
void EndRecords(Game& game, bool keep);

}  // namespace kelvara
