// Settings file, INI reader and writer, texts, log, window places and platform services.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <regex>

#include "base/ini.h"
#include "base/number.h"
#include "base/program.h"
#include "base/textfile.h"
#include "data/mylib.h"
#include "fakes.h"
#include "services/gini.h"
#include "services/mylog.h"
#include "services/national.h"
#include "services/possition.h"
#include "tempdir.h"

namespace kelvara::testing {
namespace {

using namespace std::string_literals;

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string ReadAll(const std::string& path) { return ReadFileBytes(path).value_or(""); }

// ---- INI files ---------------------------------------------------------------------------

TEST(IniFileTest, PrivateProfileReading) {
  const IniFile ini = IniFile::Parse(
      "; top comment\r\n[Kelvara]\r\n  QuestionLevel =  10  \r\nname=\"quoted value\"\r\n[kelvara]\r\nQuestionLevel=99\r\n"
      "[Other]\r\nQuestionLevel=7\r\n");
  EXPECT_EQ(ini.Get("KELVARA", "questionlevel"), "10") << "first section, any case, blanks trimmed";
  EXPECT_EQ(ini.Get("Kelvara", "name"), "quoted value");
  EXPECT_EQ(ini.Get("Kelvara", "missing", "dflt  "), "dflt") << "a default loses its trailing blanks";
  EXPECT_EQ(IniFile::Parse("[s]\nImage='el_red.bmp;main'\nodd='x\"\n").Get("s", "Image"), "el_red.bmp;main");
  EXPECT_EQ(IniFile::Parse("[s]\nodd='x\"\n").Get("s", "odd"), "'x\"") << "only matching quotes go";
  EXPECT_EQ(ini.Get("Nowhere", "QuestionLevel"), "");
  EXPECT_EQ(ini.Get("Other", "QuestionLevel"), "7");

  const IniFile longValue = IniFile::Parse("[s]\nk=" + std::string(300, 'x') + "\n");
  EXPECT_EQ(longValue.Get("s", "k").size(), 254u);
  const IniFile japanese = IniFile::Parse("[s]\nk=" + std::string(250, 'a') + "電気機関車\n");
  EXPECT_EQ(japanese.Get("s", "k"), std::string(250, 'a') + "電気機関") << "cut at 254 characters, not bytes";
}

TEST(IniFileTest, WritingAKeyKeepsEverythingElse) {
  IniFile ini = IniFile::Parse("; mine\r\n[Other]\r\nx=1\r\n\r\n[Kelvara]\r\nTRD_FOLDER=/old\r\nMine=keep\r\n\r\n[Tail]\r\ny=2\r\n");
  ini.Set("Kelvara", "TRD_Folder", "/new");
  ini.Set("Kelvara", "QuestionLevel", "10");
  ini.Set("Fresh", "a", "b");
  EXPECT_EQ(ini.Serialize(),
            "; mine\r\n[Other]\r\nx=1\r\n\r\n[Kelvara]\r\nTRD_FOLDER=/new\r\nMine=keep\r\nQuestionLevel=10\r\n\r\n"
            "[Tail]\r\ny=2\r\n[Fresh]\r\na=b\r\n")
      << "the file's spelling of a key stays; a new section follows the last line";

  // A key written twice in place, its name indented in the file; a later section of the same name.
  IniFile twice = IniFile::Parse("[k]\r\n   Level = 1\r\n[K]\r\nlevel=9\r\nextra=1\r\n");
  twice.Set("k", "LEVEL", "2");
  twice.Set("k", "level", "3");
  EXPECT_EQ(twice.Serialize(), "[k]\r\nLevel=3\r\n[K]\r\nlevel=9\r\nextra=1\r\n");
  EXPECT_EQ(twice.Get("K", "Level"), "3");
  EXPECT_EQ(twice.Get("K", "extra"), "") << "keys of a later section of the same name are not read";
  EXPECT_EQ(twice.Entries(), (std::vector<std::pair<std::string, std::string>>{{"k", "Level"}}));
  IniFile blank = IniFile::Parse("[ ]\n  = v\n");
  EXPECT_EQ(blank.Get("", ""), "v") << "a section and a key with empty names";
  blank.Set(" ", "", "w");
  EXPECT_EQ(blank.Serialize(), "[ ]\n=w\n");
}

// Bytes a write does not touch stay as they were: marks, line ends, the other encoding.
TEST(IniFileTest, AWriteChangesOneLineAndNoOtherByte) {
  const std::string twoMarks =
      "\xEF\xBB\xBF\xEF\xBB\xBF[Kelvara]\r\nT\0ozn\nR\rT[\rnt\n\r\0\0\r\na]\r\nT\0ozAet[[\rnt\n\r\0\0\0"s;
  const std::string cp932 = EncodeCp932("; 設定\n[Kelvara]\nName=電気機関車\nlevel=5\n[0]\nImage=e.bmp;本務機\n");
  for (const std::string& bytes : {twoMarks, cp932, "[Kelvara]\nlevel=5"s, ""s}) {
    IniFile ini = IniFile::Parse(bytes);
    EXPECT_EQ(ini.Serialize(), bytes) << "read and written back unchanged";
    const auto entries = ini.Entries();
    ini.Set("Kelvara", "TRD_Folder", "/home/kiri/電車");
    ini.Set("Kelvara", "level", "10");
    const IniFile again = IniFile::Parse(ini.Serialize());
    EXPECT_EQ(again.Get("kelvara", "trd_folder"), "/home/kiri/電車");
    EXPECT_EQ(again.Get("Kelvara", "level"), "10");
    for (const auto& [section, key] : entries) {
      if (section == "Kelvara" && key == "level") continue;
      EXPECT_EQ(again.Get(section, key), IniFile::Parse(bytes).Get(section, key)) << section << "/" << key;
    }
  }
  IniFile cp = IniFile::Parse(cp932);
  cp.Set("Kelvara", "level", "10");
  EXPECT_EQ(cp.Serialize(), EncodeCp932("; 設定\n[Kelvara]\nName=電気機関車\nlevel=10\n[0]\nImage=e.bmp;本務機\n"));
}

TEST(IniFileTest, SavingReplacesTheFileWholeOrNotAtAll) {
  TempDir dir;
  const std::string path = dir.Write("k.ini", "[Kelvara]\r\nold=1\r\n");
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);
  IniFile ini = IniFile::Load(path);
  ini.Set("Kelvara", "new", "2");
  ASSERT_TRUE(ini.SaveAtomically(path));
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_NE(before.st_ino, after.st_ino) << "a new file was renamed over the old one";
  EXPECT_EQ(ReadAll(path), "[Kelvara]\r\nold=1\r\nnew=2\r\n");

  // What cannot take the new file stays as it was, and no temporary is left beside it.
  std::filesystem::create_directories(dir / "blocked.ini/inside");
  EXPECT_FALSE(ini.SaveAtomically(dir / "blocked.ini"));
  EXPECT_TRUE(std::filesystem::exists(dir / "blocked.ini/inside"));
  // A link planted where the old fixed temporary name was is never followed.
  const std::string victim = dir.Write("victim.txt", "someone's file");
  std::filesystem::create_symlink(victim, path + ".new");
  ASSERT_TRUE(ini.SaveAtomically(path));
  EXPECT_EQ(ReadAll(victim), "someone's file");
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.str())) ++files;
  EXPECT_EQ(files, 4u) << "k.ini, the planted link, its target and the folder: no temporary";
}

// ---- settings ------------------------------------------------------------------------------

struct SettingsTest : ::testing::Test {
  TempDir dir;
  std::string ini;
  AppSettings s;
  void SetUp() override {
    ini = dir / "kelvara.ini";
    std::filesystem::create_directory(dir / "Cars");
  }
  void Load(const std::string& body) {
    dir.Write("kelvara.ini", body);
    s = AppSettings{};
    LoadIni(s, ini, dir.str());
  }
};

TEST_F(SettingsTest, FirstStartWritesTheDefaults) {
  s.OneInput = false;
  ASSERT_TRUE(CreateIni(s, ini, dir.str()));
  EXPECT_EQ(ReadAll(ini),
            "[Kelvara]\r\nTRD_Folder=" + (dir / "Cars") +
                "\r\nQuestionLevel=5\r\nCarNumGuide=True\r\nLookCarNumber=True\r\nCarNumOnMouse=True\r\n"
                "ReplaceAnimate=True\r\nDisMakeUpDraw=True\r\nDisMakeUpDrawAnimate=False\r\nCompleteRunMainLine=True\r\n"
                "CompleteBigAnimaite=True\r\nMakeLog=True\r\nOneInput=False\r\nGameSound=ON\r\nSuccessSound=ON\r\n");
  s.OneInput = true;  // the Default button keeps the way the player solves
  ASSERT_TRUE(CreateIni(s, ini, dir.str()));
  EXPECT_THAT(ReadAll(ini), HasSubstr("\r\nOneInput=True\r\n"));
}

TEST_F(SettingsTest, BooleansAndSoundSwitches) {
  Load("[Kelvara]\nCarNumGuide=TRUE\nLookCarNumber=On\nCarNumOnMouse=1\nReplaceAnimate=yes\nMakeLog= true \n"
       "GameSound=True\nSuccessSound=On\n");
  EXPECT_TRUE(s.CarNumGuide);
  EXPECT_TRUE(s.LookCarNumber);
  EXPECT_TRUE(s.CarNumOnMouse);
  EXPECT_FALSE(s.ReplaceAnimate);
  EXPECT_TRUE(s.MakeLog);
  EXPECT_FALSE(s.GameSound) << "the sound switches take 1, On, ON or on only";
  EXPECT_TRUE(s.SuccessSound);
  Load("[Kelvara]\nGameSound=oN\nSuccessSound=1\n");
  EXPECT_FALSE(s.GameSound);
  EXPECT_TRUE(s.SuccessSound);
}

TEST_F(SettingsTest, QuestionLevels) {
  const std::pair<const char*, int> cases[] = {{"3", 5}, {"4", 4}, {"abc", 5}, {"", 5}, {"50", 50},
                                               {" 7.5 ", 8}, {"6.5", 6}, {"10abc", 5}, {"1e12", 2147483647},
                                               {"0x10", 5}, {"1e1", 10}, {"+12", 12}, {"inf", 5}};
  for (const auto& [text, level] : cases) {
    Load(std::string("[Kelvara]\nQuestionLevel=") + text + "\n");
    EXPECT_EQ(s.QuestionLevel, level) << "stored as \"" << text << "\"";
  }
}

TEST_F(SettingsTest, DataFolderKeyCaseAndFallback) {
  std::filesystem::create_directory(dir / "mine");
  Load("[kelvara]\ntrd_folder=" + (dir / "mine") + "\n");
  EXPECT_EQ(s.TrdFolder, dir / "mine") << "keys are read in any case";
  Load("[Kelvara]\nTRD_FOLDER=" + (dir / "deleted") + "\n");
  EXPECT_EQ(s.TrdFolder, dir / "Cars") << "the folder beside the program, as \"cars\" finds it";
  std::filesystem::create_directory(dir / "cars");
  Load("[Kelvara]\nTRD_FOLDER=\n");
  EXPECT_EQ(s.TrdFolder, dir / "cars");
}

// ---- texts ---------------------------------------------------------------------------------

TEST(NationalTest, LanguageDecision) {
  EXPECT_FALSE(National().GetCaptionText(10).empty()) << "texts are there before the command line is read";
  National ja;
  ja.InitNational(kLangJapanese, "");
  EXPECT_EQ(ja.GetCaptionText(10), "新規出題(&N)");
  for (const char* line : {"/e", "kelvara /English", "nsp /E nml"}) {
    National en;
    en.InitNational(kLangJapanese, line);
    EXPECT_EQ(en.GetCaptionText(10), "&New Game") << line;
  }
  EXPECT_EQ(ja.Text(5642), "") << "a missing id reads empty";
}

// Every text id the program asks for is in the table in both languages.
TEST(NationalTest, EveryIdUsedByTheCodeExistsInBothLanguages) {
  const auto& table = National::BuiltInTable();
  const std::regex use(R"((?:Msg|Text|Box)\((\d{4,5})\))");
  int checked = 0;
  for (const char* folder : {"model", "data", "services", "sound", "scene", "qt", "cli"}) {
    const std::filesystem::path root = std::filesystem::path(KELVARA_SOURCE_DIR) / folder;
    if (!std::filesystem::exists(root)) continue;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
      if (entry.path().extension() != ".cpp" && entry.path().extension() != ".h") continue;
      const std::string code = ReadAll(entry.path().string());
      for (std::sregex_iterator it(code.begin(), code.end(), use), end; it != end; ++it) {
        const int id = std::stoi((*it)[1]);
        EXPECT_TRUE(table.count(id) && table.count(id + 1)) << "text " << id << " used in " << entry.path();
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 25);
  for (const auto& [id, text] : table) {
    if (id >= 1000) {
      EXPECT_TRUE(table.count(id % 2 ? id - 1 : id + 1)) << "text " << id << " has no partner";
    }
  }
}

// ---- log -----------------------------------------------------------------------------------

TEST(LogTest, DataHeaderFromCp932AndUtf8Files) {
  TempDir dir;
  FakeClock clock;
  MyLibClass lib(clock);
  dir.Write("Cars/loco.lst", EncodeCp932("[Loco]\r\nName=電気機関車\r\n"));
  const std::string trd = dir.Write("Cars/t.trd", "急行\nsound\n");
  dir.Write("kelvara.log", "1 : start-up line\r\n");
  MyLogClass log(dir / "kelvara.log");
  ASSERT_TRUE(LogOutFst(log, lib, dir / "Cars", trd));
  EXPECT_EQ(ReadAll(dir / "kelvara.log"),
            "Software Info.----\r\nVer 1.0\r\n\r\n\r\nLst File----\r\n" + (dir / "Cars/loco.lst") +
                "\r\n[Loco]\r\nName=電気機関車\r\n\r\n\r\nTRD File----\r\n" + trd +
                "\r\n急行\r\nsound\r\n\r\n\r\n");
}

// ---- window places -----------------------------------------------------------------------

class MapStore : public ISettingsStore {
 public:
  std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                         const std::string& fallback) const override {
    const auto it = values.find(app + "/" + section + "/" + key);
    return it == values.end() ? fallback : it->second;
  }
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override {
    values[app + "/" + section + "/" + key] = value;
  }
  std::map<std::string, std::string> values;
};

TEST(PossitionTest, SaveRestoreAndKeepInsideTheWorkArea) {
  MapStore store;
  FakeMessageBox msg;
  FakeTexts texts;
  const WorkArea area{0, 0, 1024, 740};
  WindowPlace main{"frmMain", 1500, 100, 600, 460, true};
  WindowPlace fresh{"frmMain", 10, 10, 600, 460, true};
  EXPECT_FALSE(RestorePossition(store, fresh, 0, 0, "Kelvara", msg, texts, area)) << "nothing stored yet";

  SavePossition(store, main, "Kelvara", msg, texts);
  EXPECT_EQ(store.values.at("Kelvara/PossitionfrmMain/Left"), "1500");
  EXPECT_EQ(store.values.at("Kelvara/PossitionfrmMain/Width"), "600");
  ASSERT_TRUE(RestorePossition(store, fresh, 0, 0, "Kelvara", msg, texts, area));
  EXPECT_EQ(fresh.left, 1024 - 600) << "moved back inside a smaller screen";
  EXPECT_EQ(fresh.top, 100);

  WindowPlace fixed{"frmAbout", 5, -40, 300, 200, false};
  SavePossition(store, fixed, "Kelvara", msg, texts);
  EXPECT_FALSE(store.values.count("Kelvara/PossitionfrmAbout/Width")) << "fixed windows keep no size";

  WindowPlace huge{"x", 50, 50, 2000, 2000, true};
  SetInnerWorkArea(huge, 100, 100, area);
  EXPECT_EQ(huge.left, 0);
  EXPECT_EQ(huge.top, 0);

  SavePossition(store, main, "", msg, texts);
  EXPECT_THAT(msg.Texts(), ElementsAre("App.ProductName<30010>"));
}

// ---- platform --------------------------------------------------------------------------------

TEST(ProgramFilesTest, IniNameAndOnlyOurTemporaryTunesDeleted) {
  std::string folder, name;
  SplitProgramPath("/opt/games/kelvara-1.0", folder, name);
  EXPECT_EQ(folder, "/opt/games/");
  EXPECT_EQ(name, "kelvara-1.0") << "a Linux program's name has no extension to drop";

  TempDir dir;
  SetProgramPaths(dir.str(), "kelvara");
  EXPECT_EQ(MyLibClass::GetIniFileName(), dir / "kelvara.ini");

  dir.Write(std::string(kTempTunePrefix) + "a1" + kTempTuneSuffix, "x");
  const std::string users = dir.Write("notes.tmp", "keep me");
  MyLibClass::DeleteTempFile();
  EXPECT_FALSE(std::filesystem::exists(dir / (std::string(kTempTunePrefix) + "a1" + kTempTuneSuffix)));
  EXPECT_TRUE(std::filesystem::exists(users));
}

// The one reading of numbers in texts: the number box, "Num", the quiz level.
TEST(LeadingNumberTest, DecimalAtTheStartRoundedHalfToEven) {
  struct Case {
    const char* text;
    std::int32_t value;
    bool whole;
  };
  const Case cases[] = {{"", 0, false},      {"abc", 0, false},    {"7 cars", 7, false}, {" 12 ", 12, true},
                        {"2.5", 2, true},    {"3.5", 4, true},     {"-2.5", -2, true},   {"0x10", 0, false},
                        {"1e2", 100, true},  {"2e", 2, false},     {".5", 0, true},      {"+", 0, false},
                        {"99999999999999", 2147483647, true},      {"-1e300", -2147483647 - 1, true}};
  for (const Case& c : cases) {
    bool whole = !c.whole;
    EXPECT_EQ(LeadingInt32(c.text, &whole), c.value) << '"' << c.text << '"';
    EXPECT_EQ(whole, c.whole) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace kelvara::testing
