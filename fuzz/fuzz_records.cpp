// Any bytes as the records database: it opens, is migrated or set aside, never crashes; its
// statistics read; the game left in it is read no larger than a game makes and is either taken up
// whole by a game or refused.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz_support.h"
#include "model/game.h"
#include "records/records.h"

using namespace kelvara;

namespace {

// A folder of its own in memory when there is one: a run writes and renames files every input.
const std::string& Folder() {
  static const std::string folder = [] {
    const std::string base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path().string();
    std::string made = base + "/kelvara-fuzz-records-" + std::to_string(::getpid());
    std::filesystem::create_directories(made);
    return made;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(Folder(), ec)) std::filesystem::remove(entry.path(), ec);
  const std::string path = Folder() + "/records.sqlite";
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

  Records::Opened opened = Records::Open(path, [] { return std::int64_t{1'800'000'000}; });
  if (!opened.records) {
    if (opened.problem.empty()) std::abort();  // no records and no word why
    return 0;
  }
  Records& records = *opened.records;
  (void)records.Stats();
  const Records::Claim claim = records.ClaimSlot(true);
  if (!claim.claimed) std::abort();  // nothing else runs: a slot is free
  if (!claim.left) return 0;
  const SavedGame& left = *claim.left;
  if (left.history.size() > kHistoryMost || left.answers.size() > kAnswersMost) std::abort();

  // Taken up by a game of a train the saved one may fit: its identity made to match, so that what
  // is checked is the saved positions themselves.
  static fuzzing::QuietPorts ports;
  Game game(ports.ports(), ports.settings);
  game.LocoUnits = 1 + static_cast<int>(size % 3);
  game.TrainCars = 2 + static_cast<int>(size % 7);
  SavedGame fitted = left;
  fitted.train = game.CurrentTrain();
  fitted.locoSet = game.Loco.LocoComment();
  const std::optional<int> refused = game.ResumeGame(fitted);
  if (refused) return 0;
  if (!game.GameActive || game.StartYard.GetLocoNum(0) + game.StartYard.GetLocoNum(1) + game.StartYard.GetLocoNum(2) !=
                              game.LocoUnits) {
    std::abort();  // taken up, it is a game of this train
  }
  records.Keep(*game.SaveGame());
  return 0;
}
