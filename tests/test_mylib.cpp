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
