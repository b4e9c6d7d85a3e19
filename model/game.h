// The state of one game and the moves that change it.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "data/loco.h"
#include "data/mylib.h"
#include "data/trd.h"
#include "model/yard.h"
#include "shell/msgguide.h"
#include "shell/ports.h"
#include "shell/settings.h"

namespace kelvara {

// A picture rectangle of the departure run.
struct AnimeRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
};

// Sum of the widths from index 0 up to the last index minus one, stopping at the first zero width.
std::int32_t CalcTrainLength(const std::vector<AnimeRect>& rects);

inline constexpr int kAnserListSize = 1001;
inline constexpr int kAnimeRects = 101;
inline constexpr int kDumpLines = 3;  // one per visible line label: head shunt and the two sidings

class Game {
 public:
  Game(Ports ports, AppSettings& settings);

  // Game-wide flags.
  bool MakingQuiz = false;
  bool Derailed = false;
  bool GameActive = false;
  bool TrainChanged = false;

  Yard yard;
  Yard StartYard;
  std::array<std::string, kAnserListSize> AnserList{};
  int AnserCount = 0;

  // Units of the selected locomotive set (m) and cars of the loaded train (n).
  int LocoUnits = 1;
  int TrainCars = 0;
  // The siding the junction is set to: -1 none, 0 head shunt, 1 or 2.
  int Route = -1;
  // Shown in the passenger's complaint after a derailment.
  std::string UserName;

  MsgGuideClass MsgGuide;

  // The train being played (bellows left out, messages shown) and its locomotive list,
  // and the silent pair that lists every picture of the whole train, bellows included.
  TRDClass TRD;
  LocoClass Loco;
  TRDClass TRD2;
  LocoClass Loco2;

  // Scaled picture sizes of the whole train for the departure run; an entry with Right 0 ends it.
  std::array<AnimeRect, kAnimeRects> gAnimeSrcRect{};
  // The picture files behind those entries, locomotive units first.
  std::vector<std::string> AnimePictures;
  int PelmCarCount = 0;
  // Height of the yard view that the departure pictures are scaled to.
  int ViewHeight = 386;

  // Loads a locomotive set and a train file into the game, or keeps the current one.
  void ChangeTrain(int LocoINdex, const std::string& TRDFileName);
  // A random ".trd" of the data folder, or "".
  std::string GetTrainRandom();
  void mnuGameChangeTrainAuto_Click();
  struct TrainFileEntry {
    std::string path;
    std::string comment;  // empty when the file cannot be read
  };
  // Every "*.trd" of the data folder (any letter case) with its train name, for choosing by hand.
  std::vector<TrainFileEntry> ListTrainFiles();
  void LoadAnimateImage();

  // Places the locomotive on the head shunt and the whole train in siding 1.
  void SetCars();
  // Appends a line and the yard dump to the game log when MakeLog is on.
  void LogOut(std::string_view text);
  void AjustTrain() {}

  void CutTrain(int from, int to, int count);
  void AddTrain(int from, int to);
  bool PushTrain(int line, int count);

  // Step redraw: drawn only when the current mode animates single steps.
  void DrawRefresh3();
  // End-of-move redraw.
  void DrawRefresh2();

  DataPorts dataPorts() { return DataPorts{ports_.msg, ports_.texts, ports_.clock}; }
  Ports& ports() { return ports_; }
  AppSettings& settings() { return settings_; }
  MyLibClass& lib() { return lib_; }

 private:
  std::string Msg(int id) const { return ports_.texts.Text(id); }
  MsgAnswer Box(std::string_view text, MsgButtons b = MsgButtons::Ok, MsgIcon i = MsgIcon::None,
                std::string_view title = {});
  void Derail(bool first);
  void SuspendService();

  Ports ports_;
  AppSettings& settings_;
  MyLibClass lib_;
};

}  // namespace kelvara
