// Choosing the locomotive set and the train, and loading them into the game.
#include <algorithm>
#include <array>
#include <set>

#include "data/bmp.h"
#include "base/paths.h"
#include "base/product.h"
#include "model/game.h"

namespace kelvara {

namespace {

constexpr int kMaxUnits = 20;  // locomotive units and cars must fit into one siding

bool IsTrdNoCase(const std::string& name) {
  const std::string ext = GetExtensionName(name);
  if (ext.size() != 3) return false;
  return (ext[0] | 0x20) == 't' && (ext[1] | 0x20) == 'r' && (ext[2] | 0x20) == 'd';
}

std::string LowerAscii(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

}  // namespace

void Game::ChangeTrain(int LocoINdex, const std::string& TRDFileName, bool ask) {
  Busy loading(*this, Phase::Loading);
  // What the choice wrote into the guide goes with it, whether or not the train changes.
  struct GuideCleared {
    MsgGuideClass& guide;
    ~GuideCleared() { guide.Msg(""); }
  } cleared{MsgGuide};
  if (GameActive && ask &&
      Box(Msg(5210), MsgButtons::YesNo, MsgIcon::Information) == MsgAnswer::No) {
    return;
  }
  // Recorded as it stands now, when the new train is in place; a change that fails plays on.
  const std::optional<GameRecord> leaving = RecordOfGame(GameEnd::Left);
  ports_.sound.StopSound();
  MsgGuide.Msg("Refresh Cars...");

  // Every loader of this change asks about each car file once; afterwards they ask the disk again.
  CarFileMemo memo;
  struct Finders {
    std::array<CarFinder*, 3> of;
    ~Finders() {
      for (CarFinder* f : of) *f = plain;
    }
    CarFinder plain;
  } restore{{&TRD.Finder, &TRD2.Finder, &Loco2.Finder}, WithFallback(FindCarFile, settings_.TrdFolder, DefaultSetFolder)};
  for (CarFinder* f : restore.of) *f = WithFallback(memo.Finder(), settings_.TrdFolder, DefaultSetFolder);

  // What is playable now stays loaded when the new choice cannot be played.
  const TRDClass::Formation previousTrd = TRD.SaveFormation();
  const std::int32_t previousSet = Loco.LocoSetIndex();
  auto keepPrevious = [&] {
    TRD.RestoreFormation(previousTrd);
    Loco.LocoSetIndex(previousSet);
  };

  TRD.Refresh();
  Loco.LocoSetIndex(LocoINdex);
  TRD.TrainFileName = TRDFileName;
  if (TRDFileName.empty() && !TRD.NoErrorMsg) {
    // No train file was found to choose from: say where none was, rather than a folder of "".
    std::string folders;
    for (const std::string& f : TrainFolders()) folders += (folders.empty() ? "" : ", ") + f;
    Box(Msg(10110) + "\r\nFolder= " + (folders.empty() ? settings_.TrdFolder : folders), MsgButtons::Ok,
        MsgIcon::Exclamation, kAppTitle);
    Box(Msg(5220), MsgButtons::Ok, MsgIcon::Exclamation);
    keepPrevious();
    return;
  }
  if (!TRD.LoadTrd()) {
    Box(Msg(5220), MsgButtons::Ok, MsgIcon::Exclamation);
    keepPrevious();
    return;
  }
  if (TRD.CarCount() == 0) {
    Box("None cars in TRD", MsgButtons::Ok, MsgIcon::Exclamation);
    keepPrevious();
    return;
  }
  if (Loco.CarCount() + TRD.CarCount() > kMaxUnits) {
    Box(Msg(5760) + "\r\n" + Msg(5230) + " : " + std::to_string(Loco.CarCount()) + "\r\n" + Msg(5240) +
            " : " + std::to_string(TRD.CarCount()),
        MsgButtons::Ok, MsgIcon::Exclamation);
    keepPrevious();
    return;
  }

  ports_.controls.SetText("lblMsg", Msg(5230) + " : " + Loco.LocoComment() + "     \r\n" + Msg(5240) + " : " +
                                        TRD.TrainComment);
  LoadAnimateImage();
  trainDigest_.reset();
  LocoUnits = Loco.CarCount();
  TrainCars = TRD.CarCount();
  SetCars();
  TrainChanged = true;
  DimCopy2(yard, StartYard);
  StartRoute = Route;
  // The game in progress, as text 5210 said, is over: its history, counters and time with it.
  Submit(leaving);
  GameActive = false;
  Derailed = false;
  gameOver_ = false;
  completed_ = false;
  history_.clear();
  historyAt_ = 0;
  ForgetPar();
  AnserCount = 0;
  ClearStatus();
  ports_.status.SetPanel("DCount", "");
  ports_.scene.DrawRefresh();
}

std::vector<std::string> Game::TrainFolders() const {
  std::vector<std::string> folders;
  for (const std::string& f : {settings_.TrdFolder, DefaultSetFolder}) {
    const std::string folder = NormalizeSeparators(f);
    if (FolderExists(folder) && std::find(folders.begin(), folders.end(), folder) == folders.end()) {
      folders.push_back(folder);
    }
  }
  return folders;
}

namespace {

// The train files of the folders in order; a name already seen (in any letter case) is passed
// over, so the player's own copy of a train stands in for the default set's.
std::vector<std::string> TrainFiles(const std::vector<std::string>& folders, bool (*isTrain)(const std::string&)) {
  std::vector<std::string> out;
  std::set<std::string> seen;
  for (const std::string& folder : folders) {
    for (const std::string& name : ListFiles(folder)) {
      // A train file that is a link out of the folder is not the pack's.
      const std::string path = BuildPath(folder, name);
      if (isTrain(name) && InsideFolder(path, folder) && seen.insert(LowerAscii(name)).second) out.push_back(path);
    }
  }
  return out;
}

}  // namespace

std::string Game::GetTrainRandom() {
  const std::vector<std::string> folders = TrainFolders();
  if (folders.empty()) {
    Box(Msg(5670) + "\r\n" + settings_.TrdFolder, MsgButtons::Ok, MsgIcon::Exclamation);
    return {};
  }
  const std::vector<std::string> trains =
      TrainFiles(folders, [](const std::string& name) { return GetExtensionName(name) == "trd"; });
  const int c = static_cast<int>(trains.size());
  const int r = lib_.GetRandom(1, c);
  return r >= 1 && r <= c ? trains[static_cast<std::size_t>(r - 1)] : std::string();
}

std::string Game::LocoListFolder() const {
  for (const std::string& folder : {settings_.TrdFolder, DefaultSetFolder}) {
    if (!folder.empty() && FileExists(FindLikeWindows(BuildPath(NormalizeSeparators(folder), "loco.lst")))) {
      return folder;
    }
  }
  return settings_.TrdFolder;
}

void Game::LoadLocoList() {
  Loco.Finder = WithFallback(FindCarFile, settings_.TrdFolder, DefaultSetFolder);
  Loco.LoadLst(LocoListFolder());
}

void Game::mnuGameChangeTrainAuto_Click() {
  MsgGuide.Msg("Get Loco Random...");
  // Only drawn here: ChangeTrain selects the set once it knows the change goes through, so a
  // No or a refused train leaves the running game's locomotive as it is.
  const int i = lib_.GetRandom(0, Loco.LocoSetCount() - 1);
  MsgGuide.Msg("Get Train Random...");
  const std::string p = GetTrainRandom();
  ChangeTrain(i, p);
}

std::vector<Game::TrainFileEntry> Game::ListTrainFiles() {
  std::vector<TrainFileEntry> out;
  TRDClass reader(dataPorts());
  reader.NoErrorMsg = true;
  for (const std::string& path : TrainFiles(TrainFolders(), IsTrdNoCase)) {
    reader.Refresh();
    reader.TrainFileName = path;
    reader.LoadTrd();
    out.push_back({reader.TrainFileName, reader.TrainComment});
  }
  return out;
}

std::vector<std::string> Game::LocoSetNames() {
  const std::int32_t current = Loco.LocoSetIndex();
  std::vector<std::string> names;
  for (int i = 0; i < Loco.LocoSetCount(); ++i) {
    Loco.LocoSetIndex(i);
    names.push_back(Loco.LocoComment());
  }
  // A cancelled choice must not leave the game drawing another set's pictures.
  Loco.LocoSetIndex(current);
  return names;
}

void Game::ChangeTrainByHand(int locoSet, const std::string& trainPath) {
  const int i = locoSet >= 0 ? locoSet : lib_.GetRandom(0, Loco.LocoSetCount() - 1);
  ChangeTrain(i, trainPath.empty() ? GetTrainRandom() : trainPath);
}

void FillPictureList(std::span<const PictureSize> headers, int viewHeight, AnimeRects& rects) {
  const std::size_t total = std::min(headers.size(), rects.size() - 1);
  for (std::size_t i = 0; i < total; ++i) {
    const PictureSize scaled = ScaleToHeight(headers[i].width, headers[i].height, viewHeight);
    if (scaled.height == 0) continue;
    rects[i].Right = scaled.width;
    rects[i].Bottom = scaled.height;
  }
  rects[total].Right = 0;
  rects[total].Bottom = 0;
}

void Game::LoadAnimateImage() {
  MsgGuide.Msg("Load TrainImage...");
  Loco2.Refresh();
  Loco2.LoadLst(LocoListFolder());
  Loco2.LocoSetIndex(Loco.LocoSetIndex());
  TRD2.Refresh();
  TRD2.TrainFileName = TRD.TrainFileName;
  TRD2.LoadTrd();

  const int m = Loco2.CarCount();
  const int n = TRD2.CarCount();
  // The table has room for 100 pictures and the end marker; a longer train shows its first 100.
  const int total = std::min(m + n, kAnimeRects - 1);
  Pelm.CarCount(total);
  AnimePictures.assign(static_cast<std::size_t>(total), std::string());
  std::vector<PictureSize> headers(static_cast<std::size_t>(total));
  for (int i = 0; i < total; ++i) {
    CarsClass& cars = i < m ? Loco2.Cars : TRD2.Cars;
    cars.Index(i < m ? Loco2.CarIndex(i) : TRD2.CarIndex(i - m));
    const std::string path = cars.CarFileName();
    AnimePictures[static_cast<std::size_t>(i)] = path;
    MsgGuide.Msg("Load car : " + path);
    ReadBMPSize(path, headers[static_cast<std::size_t>(i)].width, headers[static_cast<std::size_t>(i)].height);
  }
  FillPictureList(headers, ViewHeight, gAnimeSrcRect);
  MsgGuide.Msg("");
}

}  // namespace kelvara
