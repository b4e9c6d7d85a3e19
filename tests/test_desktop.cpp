// What a player meets around the game on a real desktop: access keys, window sizes and places,
// Qt's own texts in the game's language, help.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <cstdlib>

#include "data/install.h"
#include "fakes.h"
#include "qt/accesskeys.h"
#include "qt/applynational.h"
#include "qt/frmabout.h"
#include "qt/frmanserview.h"
#include "qt/frmcomplete.h"
#include "qt/frmdatainstall.h"
#include "qt/frmoneinput.h"
#include "qt/frmoptions.h"
#include "qt/frmtrainselect.h"
#include "services/gini.h"
#include "window_fixture.h"

namespace kelvara::testing {
namespace {

using ::testing::IsEmpty;

std::vector<std::string> Clashes(const QWidget& w) {
  std::vector<std::string> out;
  for (const QString& c : qt::AccessKeyClashes(w)) out.push_back(c.toStdString());
  return out;
}

// The language the game picks from the environment, for the length of a test.
struct Language {
  explicit Language(int lang) : old_(std::getenv("LC_ALL") ? std::getenv("LC_ALL") : "") {
    ::setenv("LC_ALL", lang == kLangJapanese ? "ja_JP.UTF-8" : "en_US.UTF-8", 1);
  }
  ~Language() {
    if (old_.empty()) {
      ::unsetenv("LC_ALL");
    } else {
      ::setenv("LC_ALL", old_.c_str(), 1);
    }
  }
  std::string old_;
};

struct AccessKeyTest : WindowFixture, ::testing::WithParamInterface<int> {};

TEST_P(AccessKeyTest, NoTwoControlsOfAWindowOrMenuShareOne) {
  const int lang = GetParam();
  Language language(lang);
  National texts;
  texts.InitNational(lang, "");
  Settings();
  Start("nsp nss");
  EXPECT_THAT(Clashes(*window), IsEmpty());
  // The main window offers the keys a player reaches for first.
  std::map<QString, QChar> keys;
  for (const qt::AccessKey& k : qt::AccessKeys(*window)) keys[k.control] = k.key;
  EXPECT_EQ(keys["mnuFile"], QChar('F'));
  EXPECT_EQ(keys["cmdBack"], QChar('B'));
  EXPECT_FALSE(keys["cmdFront"].isNull());

  qt::frmOneInput console(nullptr, [] {});
  qt::ApplyNational(console, texts);
  EXPECT_THAT(Clashes(console), IsEmpty());

  FakeMessageBox msg;
  AppSettings s;
  const std::string ini = dir / "options.ini";
  CreateIni(s, ini, dir.str());
  qt::frmOptions options(nullptr, s, qt::frmOptions::Services{msg, texts, ini, dir.str(), dir / "kelvara.log", [] {}});
  EXPECT_THAT(Clashes(options), IsEmpty());

  qt::frmAbout about(nullptr, texts, msg);
  EXPECT_THAT(Clashes(about), IsEmpty());

  FileCalls calls;
  DataInstall install(msg, texts, dir.str(), calls);
  qt::frmDataInstall data(nullptr, texts, dir.str(), install);
  EXPECT_THAT(Clashes(data), IsEmpty());

  qt::frmTrainSelect select(nullptr, texts, {"EF10"}, {{"/d/a.trd", "Express"}});
  EXPECT_THAT(Clashes(select), IsEmpty());

  qt::frmAnserView answer(nullptr, "(1): C 1:3\r\n");
  qt::ApplyNational(answer, texts);
  EXPECT_THAT(Clashes(answer), IsEmpty());

  qt::frmComplete complete(nullptr);
  qt::ApplyNational(complete, texts);
  EXPECT_THAT(Clashes(complete), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, AccessKeyTest, ::testing::Values(kLangJapanese, kLangEnglish),
                         [](const auto& info) { return info.param == kLangJapanese ? "Japanese" : "English"; });

TEST(AccessKeyOfTest, ReadsTheLetterAfterASingleAmpersand) {
  EXPECT_EQ(qt::AccessKeyOf("F&ront"), QChar('R'));
  EXPECT_EQ(qt::AccessKeyOf("前進(&f)"), QChar('F'));
  EXPECT_EQ(qt::AccessKeyOf("Salt && pepper"), QChar());
  EXPECT_EQ(qt::AccessKeyOf("A && &B"), QChar('B'));
  EXPECT_EQ(qt::AccessKeyOf("trailing&"), QChar());
}

}  // namespace
}  // namespace kelvara::testing
