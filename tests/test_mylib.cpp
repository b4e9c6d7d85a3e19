#include <gtest/gtest.h>

#include <set>

#include <filesystem>
#include <sstream>

#include "data/mylib.h"
#include "base/number.h"
#include "base/textfile.h"
#include "fakes.h"
#include "base/program.h"
#include "tempdir.h"

namespace kelvara::testing {
namespace {

TEST(TextSplitTest, FrontAndBackOfTheFirstDelimiter) {
  EXPECT_EQ(MyLibClass::F_STR("abc", ";"), "abc");
  EXPECT_EQ(MyLibClass::F_STR("ab;c;d", ";"), "ab");
  EXPECT_EQ(MyLibClass::F_STR(";x", ";"), "");
  EXPECT_EQ(MyLibClass::B_STR("ab;c;d", ";"), "c;d");
  EXPECT_EQ(MyLibClass::B_STR("abc;", ";"), "") << "delimiter ends the text";
  EXPECT_EQ(MyLibClass::B_STR("abc", ";"), "");
  EXPECT_EQ(MyLibClass::B_STR("", " "), "");
  EXPECT_EQ(MyLibClass::RightAlignmentStrings("7", 3), "  7");
  EXPECT_EQ(MyLibClass::RightAlignmentStrings("abcd", 3), "abcd") << "never cut";
}

TEST(GetRandomTest, RangesAndEmptyRanges) {
  FakeClock clock;
  MyLibClass lib(clock);
  lib.Seed(7);
  std::set<int> dice;
  for (int i = 0; i < 2000; ++i) {
    EXPECT_EQ(lib.GetRandom(0, 0), 0);
    EXPECT_EQ(lib.GetRandom(1, 0), 1) << "an empty range gives the lower bound";
    const int d = lib.GetRandom(1, 6);
    ASSERT_GE(d, 1);
    ASSERT_LE(d, 6);
    dice.insert(d);
    const int f = lib.GetRandom(7 * 0.8, 7 * 1.2);
    ASSERT_GE(f, 5);
    ASSERT_LE(f, 9);
    dice.insert(100 + f);
  }
  EXPECT_EQ(dice, (std::set<int>{1, 2, 3, 4, 5, 6, 105, 106, 107, 108, 109}));
}

TEST(SeparateArgmentStringsTest, SingleSpacesSplitAndTheLastSlotStaysEmpty) {
  FakeClock clock;
  MyLibClass lib(clock);
  std::vector<std::string> out(8);
  lib.SeparateArgmentStrings("/nsp nml", out);
  EXPECT_EQ(out[0], "nsp");
  EXPECT_EQ(out[1], "nml");
  EXPECT_EQ(out[2], "");

  out.assign(8, "");
  lib.SeparateArgmentStrings("/nsp /e", out);
  EXPECT_EQ(out[1], "/e") << "only the very first slash goes";

  out.assign(8, "");
  lib.SeparateArgmentStrings("oa  ndt", out);
  EXPECT_EQ(out[0], "oa");
  EXPECT_EQ(out[1], "") << "two spaces end the splitting";

  out.assign(3, "");
  lib.SeparateArgmentStrings("a b c d", out);
  EXPECT_EQ(out, (std::vector<std::string>{"a", "b", ""}));
}

TEST(EnableAPITest, RemembersSwitchesAndRestoresMenus) {
  FakeControls c;
  c.SetEnabled("mnuGameRestart", false);
  std::vector<std::string> saved(30);
  MyLibClass::EnableAPI(c, "mnu", saved, false, false);
  EXPECT_EQ(saved[0], "TmnuGame");
  EXPECT_EQ(saved[3], "FmnuGameRestart");
  EXPECT_FALSE(c.IsEnabled("mnuGameNewGame"));
  EXPECT_TRUE(c.IsEnabled("cmdFront")) << "only the prefix is touched";
  EXPECT_TRUE(c.IsEnabled("mnuGameSep1")) << "separators are left alone";

  MyLibClass::EnableAPI(c, "mnu", saved, false, true);
  EXPECT_TRUE(c.IsEnabled("mnuGameNewGame"));
  EXPECT_FALSE(c.IsEnabled("mnuGameRestart"));

  std::vector<std::string> small(3);
  MyLibClass::EnableAPI(c, "mnu", small, false, false);
  EXPECT_EQ(small[2], "") << "the last element is never written";
  EXPECT_FALSE(c.IsEnabled("mnuGame"));
  EXPECT_TRUE(c.IsEnabled("mnuGameNewGame")) << "the control that filled the list keeps its state";
}

TEST(ProgramFilesTest, IniNameVersionAndOnlyOurTemporaryTunesDeleted) {
  std::string folder, name;
  SplitProgramPath("/opt/games/kelvara-1.0", folder, name);
  EXPECT_EQ(folder, "/opt/games/");
  EXPECT_EQ(name, "kelvara-1.0") << "a Linux program's name has no extension to drop";

  TempDir dir;
  SetProgramPaths(dir.str(), "kelvara");
  EXPECT_EQ(MyLibClass::GetIniFileName(), dir / "kelvara.ini");
  EXPECT_EQ(MyLibClass::GetVersionString(), "Ver 1.0");

  dir.Write(std::string(kTempTunePrefix) + "a1" + kTempTuneSuffix, "x");
  const std::string users = dir.Write("notes.tmp", "keep me");
  MyLibClass::DeleteTempFile();
  EXPECT_FALSE(std::filesystem::exists(dir / (std::string(kTempTunePrefix) + "a1" + kTempTuneSuffix)));
  EXPECT_TRUE(std::filesystem::exists(users));
}

TEST(InsertFileTest, AppendsEveryLineAsUtf8WithCrLf) {
  TempDir dir;
  FakeClock clock;
  MyLibClass lib(clock);
  const std::string src = dir.Write("loco.lst", EncodeCp932("[Loco]\r\nName=電気機関車\n"));
  std::ostringstream empty;
  EXPECT_FALSE(lib.InsertFile(src, empty)) << "an empty destination is refused";
  std::ostringstream log;
  log << "header\r\n";
  EXPECT_FALSE(lib.InsertFile(dir / "missing", log));
  EXPECT_TRUE(lib.InsertFile(src, log));
  EXPECT_EQ(log.str(), "header\r\n[Loco]\r\nName=電気機関車\r\n");
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
