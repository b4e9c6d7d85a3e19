#include "services/gini.h"

#include <utility>

#include "base/paths.h"
#include "base/ini.h"
#include "base/number.h"
#include "base/product.h"

namespace kelvara {

namespace {

struct BoolKey {
  const char* key;
  bool AppSettings::*field;
};

constexpr BoolKey kBooleans[] = {
    {"CarNumGuide", &AppSettings::CarNumGuide},
    {"LookCarNumber", &AppSettings::LookCarNumber},
    {"CarNumOnMouse", &AppSettings::CarNumOnMouse},
    {"ReplaceAnimate", &AppSettings::ReplaceAnimate},
    {"DisMakeUpDraw", &AppSettings::DisMakeUpDraw},
    {"DisMakeUpDrawAnimate", &AppSettings::DisMakeUpDrawAnimate},
    {"CompleteRunMainLine", &AppSettings::CompleteRunMainLine},
    {"CompleteBigAnimaite", &AppSettings::CompleteBigAnimaite},
    {"MakeLog", &AppSettings::MakeLog},
    {"OneInput", &AppSettings::OneInput},
};

// The train folder in `folder`, found in any letter case as the old program's was; "Cars" when
// there is none yet (the data install window makes it).
std::string FallbackFolder(const std::string& folder) {
  for (const char* spelling : {"cars", "Cars", "CARS"}) {
    const std::string there = BuildPath(folder, spelling);
    if (FolderExists(there)) return there;
  }
  return BuildPath(folder, "Cars");
}

}  // namespace

void DefaultSettings(AppSettings& s, const std::string& dataFolder) {
  const bool oneInput = s.OneInput;
  const int zoom = s.Zoom;  // the window's size is not a setting of the options
  s = AppSettings{};
  s.TrdFolder = BuildPath(dataFolder, "Cars");
  s.QuestionLevel = 5;
  s.CarNumGuide = s.LookCarNumber = s.CarNumOnMouse = s.ReplaceAnimate = s.DisMakeUpDraw = true;
  s.DisMakeUpDrawAnimate = false;
  s.CompleteRunMainLine = s.CompleteBigAnimaite = s.MakeLog = true;
  s.GameSound = s.SuccessSound = true;
  s.OneInput = oneInput;
  s.Zoom = zoom;
}

bool CreateIni(AppSettings& s, const std::string& iniPath, const std::string& dataFolder) {
  DefaultSettings(s, dataFolder);
  return SaveIni(s, iniPath);
}

void LoadIni(AppSettings& s, const std::string& iniPath, const std::string& dataFolder) {
  const IniFile ini = IniFile::Load(iniPath);
  const char* section = kProductName;

  s.TrdFolder = ini.Get(section, "TRD_FOLDER");
  if (!FolderExists(NormalizeSeparators(s.TrdFolder))) s.TrdFolder = FallbackFolder(dataFolder);

  // Only a value that is a number as a whole counts; anything else falls back to the level 5.
  bool numeric = false;
  const std::int32_t level = LeadingInt32(ini.Get(section, "QuestionLevel"), &numeric);
  if (numeric) s.QuestionLevel = level;
  if (s.QuestionLevel < 4) s.QuestionLevel = 5;

  for (const BoolKey& b : kBooleans) {
    const std::string v = Lower(ini.Get(section, b.key));
    if (v == "true" || v == "on" || v == "1") s.*b.field = true;
  }
  auto soundSwitch = [&](const char* key) {
    const std::string v = ini.Get(section, key);
    return v == "1" || v == "On" || v == "ON" || v == "on";
  };
  s.ParFromHere = Lower(ini.Get(section, "ParFromHere")) == "true";
  s.GameSound = soundSwitch("GameSound");
  s.SuccessSound = soundSwitch("SuccessSound");
  bool band = false;
  const std::int32_t difficulty = LeadingInt32(ini.Get(section, "Difficulty"), &band);
  s.Difficulty = band && difficulty >= 0 && difficulty <= 4 ? difficulty : 0;
  bool whole = false;
  const std::int32_t zoom = LeadingInt32(ini.Get(section, "Zoom"), &whole);
  s.Zoom = whole && zoom >= 1 && zoom <= 3 ? zoom : 0;
}

bool SaveZoom(const AppSettings& s, const std::string& iniPath) {
  return IniFile::Update(iniPath, [&s](IniFile& ini) { ini.Set(kProductName, "Zoom", std::to_string(s.Zoom)); });
}

bool SaveIni(const AppSettings& s, const std::string& iniPath) {
  return IniFile::Update(iniPath, [&s](IniFile& ini) {
    const char* section = kProductName;
    ini.Set(section, "TRD_Folder", s.TrdFolder);
    ini.Set(section, "QuestionLevel", std::to_string(s.QuestionLevel));
    for (const BoolKey& b : kBooleans) ini.Set(section, b.key, s.*b.field ? "True" : "False");
    const bool game = s.GameSound || (s.SoundChosen && s.SoundChosen->game);
    const bool success = s.SuccessSound || (s.SoundChosen && s.SoundChosen->success);
    ini.Set(section, "GameSound", game ? "ON" : "OFF");
    ini.Set(section, "SuccessSound", success ? "ON" : "OFF");
    if (s.Zoom >= 1) ini.Set(section, "Zoom", std::to_string(s.Zoom));
    // The game's own settings beyond the classic ones are written once they leave their defaults.
    if (s.ParFromHere || !ini.Get(section, "ParFromHere").empty()) ini.Set(section, "ParFromHere", s.ParFromHere ? "True" : "False");
    if (s.Difficulty != 0 || !ini.Get(section, "Difficulty").empty()) ini.Set(section, "Difficulty", std::to_string(s.Difficulty));
  });
}

}  // namespace kelvara
