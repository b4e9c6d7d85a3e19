#include "records/session.h"

#include <filesystem>

#include "model/game.h"

namespace kelvara {

RecordsStart OpenRecords(const std::string& path, bool takeUp) {
  RecordsStart start;
  start.opened = Records::Open(path);
  if (start.opened.records) start.claim = start.opened.records->ClaimSlot(takeUp);
  return start;
}

std::unique_ptr<Records> StartRecords(RecordsStart& start, Game& game, const RecordsTell& tell) {
  const Records::Opened& opened = start.opened;
  if (!opened.setAside.empty()) {
    tell.box(game.ports().texts.Text(6150) + "\r\n" + opened.setAside);
  } else if (!opened.records) {
    tell.box(game.ports().texts.Text(6140) + "\r\n" + opened.problem);
  }
  if (!opened.problem.empty()) tell.log("Records: " + opened.problem);
  std::unique_ptr<Records> records = std::move(start.opened.records);
  if (!records) return records;
  if (!start.claim.claimed) tell.box(game.ports().texts.Text(6190));
  if (start.claim.damaged) tell.box(game.ports().texts.Text(6180));
  records->OnFirstFailure = [tell, &game](const std::string& error) {
    tell.log("Records: " + error);
    tell.box(game.ports().texts.Text(6140) + "\r\n" + error);
  };
  records->OnSetAside = [tell, &game](const std::string& aside) {
    tell.log("Records set aside: " + aside);
    tell.box(game.ports().texts.Text(6150) + "\r\n" + aside);
  };
  records->CarryOverTrains([&game](const TrainIdentity& t) { return game.ContentDigestOf(t); });
  game.Recorder = records.get();
  return records;
}

void LoadTrainOfGameLeft(Game& game, const SavedGame& left) {
  std::error_code ec;
  if (left.locoSetIndex >= 0 && left.locoSetIndex < game.Loco.LocoSetCount() &&
      std::filesystem::is_regular_file(left.trainPath, ec)) {
    game.ChangeTrain(left.locoSetIndex, left.trainPath);
  }
}

int TakeUpGameLeft(Game& game, const SavedGame& left) {
  const std::optional<int> why = game.ResumeGame(left);
  if (!why) return 6100;
  // It cannot go on: it ends here, recorded as left, and its slot with it.
  if (game.Recorder != nullptr) game.Recorder->GameEnded(LeftRecord(left));
  return *why;
}

void EndRecords(Game& game, bool keep) {
  if (keep) {
    game.KeepInProgress();
  } else {
    game.LeaveGame();
  }
}

}  // namespace kelvara
