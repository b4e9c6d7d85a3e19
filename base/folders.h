// Where the program keeps and finds its files.
//
// A portable copy (the build tree, a folder the player unpacked somewhere writable) keeps
// everything beside the executable, as the game always did. An installed program, or a copy in
// a folder the player cannot write, reads its default train set and help pages from where they
// were installed and writes only into the player's own folders (the XDG base directories):
// settings in the configuration folder, the log in the state folder, temporary tunes in the
// runtime folder, the player's trains in the data folder.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kelvara {

struct Folders {
  bool portable = true;
  std::string settings;      // holds "<program>.ini"
  std::string log;           // holds "<program>.log" and the sequencer's log
  std::string temp;          // temporary tune files
  std::string userData;      // the player's data: its "Cars" is the default train folder
  std::string installedSet;  // the default train set shipped with the program; "" when portable
  std::string help;          // the help pages
  std::string icons;         // the program's icons, "<program>-<size>.png"
};

// Environment variables by name; nullptr when unset.
using Environment = std::function<const char*(const char*)>;

// The folders for a program in `programFolder`, which the player may write to or not.
// `dataFromBin` is where an installation puts the shared data relative to the folder of the
// executables ("../share/kelvara"): when that folder is there, the program is installed and
// writes nothing beside itself. Folders end without a separator.
Folders FindFolders(const std::string& programFolder, bool programFolderWritable, const std::string& dataFromBin,
                    const Environment& env);

// The folders of this process, found once from ProgramFolder() and the environment.
const Folders& UserFolders();
// Tests and tools point the program elsewhere; nullopt goes back to the folders found.
void SetUserFolders(std::optional<Folders> folders);

// The program's icon of one size: "<size>x<size>/apps/kelvara.png" in an icon theme folder
// ("…/hicolor"), "kelvara-<size>.png" in any other.
std::string IconPath(const Folders& folders, int size);
inline std::string HelpFolder() { return UserFolders().help; }

// Makes a folder and its parents as the XDG rules want them (only the owner may enter the ones
// it makes). True when the folder is there afterwards.
bool MakeFolder(const std::string& path);

}  // namespace kelvara
