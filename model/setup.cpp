#include "model/setup.h"

#include <cstdlib>

#include "base/folders.h"
#include "base/paths.h"
#include "base/textfile.h"
#include "data/mylib.h"
#include "services/gini.h"

namespace kelvara {

std::string ReadSettings(AppSettings& settings, std::string* problem) {
  const Folders& folders = UserFolders();
  const std::string ini = MyLibClass::GetIniFileName();
  const FileRead read = ReadGameFile(ini, kSettingsFileLimit);
  if (read.bytes) {
    LoadIni(settings, ini, folders.userData);
    return "LoadIni";
  }
  if (read.missing) {
    MakeFolder(folders.settings);
    CreateIni(settings, ini, folders.userData);
    return "CreateIni";
  }
  // There but not readable (a folder, a FIFO, no permission, a failing disk): the game runs on
  // its defaults and the file stays as it is, whatever else it holds.
  DefaultSettings(settings, folders.userData);
  if (problem != nullptr) *problem = ini + ": " + read.Reason();
  return "LoadIni";
}

std::unique_ptr<Game> MakeGame(Ports ports, AppSettings& settings, MyLogClass* log,
                               std::optional<std::uint64_t> seed) {
  auto game = std::make_unique<Game>(ports, settings);
  game->DefaultSetFolder = UserFolders().installedSet;
  game->MyLog = log;
  if (const char* user = std::getenv("USER")) game->UserName = user;
  if (seed) game->lib().Seed(*seed);
  return game;
}

}  // namespace kelvara
