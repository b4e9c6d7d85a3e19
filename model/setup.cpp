#include "model/setup.h"

#include <cstdlib>

#include "base/folders.h"
#include "base/paths.h"
#include "data/mylib.h"
#include "services/gini.h"

namespace kelvara {

std::string ReadSettings(AppSettings& settings) {
  const Folders& folders = UserFolders();
  const std::string ini = MyLibClass::GetIniFileName();
  if (FileExists(ini)) {
    LoadIni(settings, ini, folders.userData);
    return "LoadIni";
  }
  MakeFolder(folders.settings);
  CreateIni(settings, ini, folders.userData);
  return "CreateIni";
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
