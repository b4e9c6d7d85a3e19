// What a player meets around the game on a real desktop: access keys, window sizes and places,
// Qt's own texts in the game's language, help.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QApplication>
#include <QGuiApplication>
#include <QWindow>
#include <QElapsedTimer>
#include <QSettings>
#include <sys/stat.h>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <algorithm>
#include <set>
#include <cstdlib>
#include <iostream>

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
#include "base/ini.h"
#include "base/textfile.h"
#include "services/gini.h"
#include "qt/frmshortcuts.h"
#include "qt/yardview.h"
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

// ---- Qt's own texts ---------------------------------------------------------------------------------

struct QtTextsTest : WindowFixture {
  static QString Button(QMessageBox::StandardButton which) {
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel | QMessageBox::Ok);
    return box.button(which)->text();
  }
};

TEST_F(QtTextsTest, MessageBoxButtonsSpeakTheGamesLanguage) {
  {
    Language japanese(kLangJapanese);
    Settings();
    Start("nsp nss");
    EXPECT_THAT(Button(QMessageBox::Yes).toStdString(), ::testing::HasSubstr("はい"));
    EXPECT_THAT(Button(QMessageBox::No).toStdString(), ::testing::HasSubstr("いいえ"));
    EXPECT_THAT(Button(QMessageBox::Cancel).toStdString(), ::testing::HasSubstr("キャンセル"));
    window->close();
  }
  // /e asks for English whatever the system's language.
  Language japanese(kLangJapanese);
  Start("/e nsp nss");
  EXPECT_EQ(Button(QMessageBox::Yes), "&Yes");
}

// ---- where the other windows open ---------------------------------------------------------------

using PlaceTest = WindowFixture;

TEST_F(PlaceTest, FormationViewsOpenBesideTheMainWindowWhereverItStandsNow) {
  Settings();
  Start();
  window->move(700, 100);
  Trigger("mnuViewMakeedUpTrain");
  QWidget* train = Shown("frmTrain");
  ASSERT_NE(train, nullptr);
  EXPECT_EQ(train->pos(), QPoint(window->x(), window->frameGeometry().bottom() + 1));
  EXPECT_EQ(train->width(), window->width());
  Trigger("mnuViewMakeUpTable");
  QWidget* table = Shown("frmTrainMakuUpTable");
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->frameGeometry().right() + 1, window->frameGeometry().left());
  EXPECT_EQ(table->y(), window->y());

  // The player moves both away and moves the main window; each command places its window anew.
  train->move(50, 50);
  table->move(900, 700);
  window->move(400, 200);
  Trigger("mnuViewMakeedUpTrain");
  EXPECT_EQ(train->pos(), QPoint(400, window->frameGeometry().bottom() + 1)) << "below the main window";
  Trigger("mnuViewMakeUpTable");
  EXPECT_EQ(table->frameGeometry().right() + 1, 400);
  // Near the bottom of the screen the train comes up to stay on it.
  window->move(400, 1080 - window->frameGeometry().height());
  Trigger("mnuViewMakeedUpTrain");
  EXPECT_EQ(train->frameGeometry().bottom(), 1079);
  QTest::mouseDClick(&window->view(), Qt::LeftButton, {}, qt::YardView::CellRect(19).center());
  QWidget* car = Shown("frmCar");
  ASSERT_NE(car, nullptr);
  EXPECT_EQ(car->frameGeometry().bottom(), 1079) << "moved up onto the work area";
  EXPECT_EQ(car->x(), 400);

  // Only the main window's place is kept for the next run.
  window->close();
  QSettings store(qt::QSettingsStore::FileName(), QSettings::IniFormat);
  store.beginGroup("Kelvara");
  QStringList kept;
  for (const QString& group : store.childGroups()) {
    if (group.startsWith("Possition")) kept << group;
  }
  EXPECT_EQ(kept, QStringList{"PossitionfrmMain"});
}

// A size kept by an older version, from a run in the other language, cuts no text off.
// Under an open umask (000) what the game writes is still its owner's alone to change.
TEST_F(PlaceTest, FilesWrittenUnderAnOpenUmaskAreTheOwnersAlone) {
  std::filesystem::remove(dir / "kelvara.ini");  // made by the game: a first start
  const mode_t before = ::umask(0);
  Start("/e nsp", true);
  Trigger("mnuGameNewGame");
  Click("cmdBack");
  window->close();
  window.reset();
  ::umask(before);
  const std::string place = qt::QSettingsStore::FileName().toStdString();
  EXPECT_EQ(place, dir / "kelvara-places.conf") << "a portable copy keeps its window's place itself";
  for (const std::string& file : {dir / "kelvara.ini", dir / "kelvara.log", dir / "MIDIMCI.log", dir / "records.sqlite", place}) {
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0) << file;
    EXPECT_EQ(st.st_mode & 0022, 0u) << file << " is writable by others";
  }
}

TEST_F(PlaceTest, TheDataInstallWindowShowsAllItsText) {
  {
    QSettings store("Kelvara", "Kelvara");
    store.setValue("PossitionfrmDataInstall/Left", 10);
    store.setValue("PossitionfrmDataInstall/Top", 10);
    store.setValue("PossitionfrmDataInstall/Width", 400);
    store.setValue("PossitionfrmDataInstall/Height", 150);
  }
  Settings();
  Start();
  window->move(500, 300);
  WithModal([&] { Trigger("mnuOptionDataInstall"); }, [&](QWidget& w) {
    auto* text = w.findChild<QLabel*>("lblMsg");
    ASSERT_NE(text, nullptr);
    EXPECT_GE(text->height(), text->heightForWidth(text->width())) << "every instruction, the ninth too";
    EXPECT_GE(w.height(), w.sizeHint().height());
    EXPECT_GT(w.x(), window->x()) << "beside the main window, not where an old run left it";
  });
}

// ---- start-up -----------------------------------------------------------------------------------

// The splash stands in the middle of the screen before any window manager has placed it, and a
// player who clicks it away does not sit before an empty screen while start-up pauses.
TEST_F(PlaceTest, ASplashClickedAwayEndsTheStartUpPause) {
  Settings();
  qt::StartOptions o = Options();
  o.commandLine = "/e nss";  // with the splash
  // The pauses twenty times as long as a player sees them: a pause cut short and one waited out
  // (100 s) stay far apart on the busiest machine.
  o.timeScale = 20;
  o.noSound = true;
  window = std::make_unique<qt::frmMain>(o);
  QElapsedTimer clock;
  bool clicked = false;
  onWait = [&](int ms) {
    QWidget* splash = Shown("frmSplash");
    if (clicked || splash == nullptr || ms < 1000) return;
    EXPECT_LE((splash->frameGeometry().center() - QApplication::primaryScreen()->availableGeometry().center()).manhattanLength(), 8);
    clicked = true;
    clock.start();
    QTimer::singleShot(50, splash, [splash] { QTest::mouseClick(splash, Qt::LeftButton); });
  };
  window->Form_Load();
  ASSERT_TRUE(clicked) << "start-up paused while the splash was up";
  EXPECT_LT(clock.elapsed(), 50000) << "the pause ended at the click";
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->game().Route, 1);
}

// ---- the keyboard alone ---------------------------------------------------------------------------

using KeyboardTest = WindowFixture;

// Access keys and digits only: the number box keeps the keyboard between moves and hints, so
// what the player types is the count of the next pull.
TEST_F(KeyboardTest, APullAfterAHintTakesTheCountTyped) {
  Settings();
  Start();
  window->game().lib().Seed(4);
  Trigger("mnuGameNewGame");
  ASSERT_EQ(window->game().phase(), Phase::Playing);
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  // Keys as the window system delivers them, through the window.
  auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keySequence(window->windowHandle(), QKeySequence(k | m)); };
  const int line = window->game().Route;
  key(Qt::Key_B, Qt::AltModifier);  // back into the siding the route shows
  // An access key presses the button as a click does, a moment later.
  EXPECT_TRUE(WaitFor([&] { return window->game().yard.GetLocoNum(line) == window->game().LocoUnits; }));
  EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(NumberBox()));
  key(Qt::Key_H, Qt::ControlModifier);
  ASSERT_EQ(window->game().HintsUsed, 1);
  const int coupled = window->game().yard.GetCoupledCarsNum(line) - window->game().LocoUnits;
  ASSERT_GE(coupled, 1);
  const int n = std::min(coupled, 2);
  key(static_cast<Qt::Key>(Qt::Key_0 + n));
  EXPECT_EQ(NumberBox()->currentText(), QString::number(n))
      << "typed into " << QApplication::focusWidget()->objectName().toStdString();
  key(Qt::Key_R, Qt::AltModifier);
  EXPECT_TRUE(WaitFor([&] { return window->game().yard.GetLocoNum(kHeadShunt) == window->game().LocoUnits; }));
  EXPECT_EQ(window->game().yard.GetCarNum(kHeadShunt), n) << "with the cars typed";
}

// ---- help and the icon ---------------------------------------------------------------------------

using HelpTest = WindowFixture;

TEST_F(HelpTest, F1OpensThePageAndSaysWhereItIsWhenNothingCan) {
  Settings();
  Start();
  std::vector<QString> asked;
  openHelp = [&](const QString& url) {
    asked.push_back(url);
    return false;  // no browser on this desktop
  };
  QApplication::setActiveWindow(window.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  QTest::keyClick(window.get(), Qt::Key_F1);
  ASSERT_EQ(asked.size(), 1u) << "F1 is Help > Help";
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0], window->texts().Text(6050) + "\r\n" + (dir / "help/index.htm"));
}

TEST(HelpPageTest, TellsOfEveryShortcutInBothLanguages) {
  const std::string page = ReadFileBytes(std::string(KELVARA_BUILD_DIR) + "/help/index.htm").value_or("");
  const std::string en = page.substr(0, page.find("<section id=\"ja\""));
  const std::string ja = page.substr(page.find("<section id=\"ja\""));
  for (const std::string& section : {en, ja}) {
    for (const char* key : {"<kbd>F1</kbd>", "<kbd>H</kbd>", "<kbd>Z</kbd>", "<kbd>Y</kbd>", "<kbd>Esc</kbd>",
                            "<kbd>R</kbd>", "<kbd>B</kbd>", "<kbd>L</kbd>"}) {
      EXPECT_THAT(section, ::testing::HasSubstr(key)) << section.substr(0, 40);
    }
  }
  for (const char* word : {"Hint", "Undo", "Redo"}) EXPECT_THAT(en, ::testing::HasSubstr(word));
  for (const char* word : {"ヒント", "元に戻す", "やり直し"}) EXPECT_THAT(ja, ::testing::HasSubstr(word));
}

TEST_F(HelpTest, TheLogoIsThereWithNoIconFilesBesideTheProgram) {
  Settings();
  Start();
  ASSERT_FALSE(std::filesystem::exists(dir / "icons"));
  const QImage logo = window->windowIcon().pixmap(64, 64).toImage();
  ASSERT_FALSE(logo.isNull());
  int drawn = 0;
  for (int y = 0; y < logo.height(); ++y) {
    for (int x = 0; x < logo.width(); ++x) drawn += qAlpha(logo.pixel(x, y)) > 0 ? 1 : 0;
  }
  EXPECT_GT(drawn, 64 * 64 / 2) << "the rounded square of the icon, not an empty picture";
}

// ---- window sizes -------------------------------------------------------------------------------

struct SizeTest : WindowFixture {
  bool Offered(int zoom) { return window->menu(("mnuViewZoom" + std::to_string(zoom)).c_str())->isEnabled(); }
  std::string SavedZoom() { return IniFile::Load(dir / "kelvara.ini").Get("Kelvara", "Zoom"); }
};

TEST_F(SizeTest, TheFirstStartPicksTheLargestSizeThatLeavesRoomOnTheScreen) {
  ASSERT_EQ(QApplication::primaryScreen()->availableGeometry().size(), QSize(1920, 1080));
  Settings("Zoom=0\r\n");  // no size picked yet
  Start();
  EXPECT_EQ(window->view().Zoom(), 2) << "cars 48 pixels long on an ordinary screen, not 24";
  const QSize twice = window->frameGeometry().size();
  EXPECT_EQ(window->WindowSizeAt(2), twice);
  EXPECT_EQ(window->WindowSizeAt(1).width(), twice.width() - 600);
  EXPECT_EQ(window->WindowSizeAt(3).height(), twice.height() + 386);
  // The rule on the other screens players have, at 100 %.
  EXPECT_EQ(window->LargestZoom(QRect(0, 0, 1366, 768), 0.85), 1);
  EXPECT_EQ(window->LargestZoom(QRect(0, 0, 1920, 1040), 0.85), 2) << "a panel along the bottom";
  EXPECT_EQ(window->LargestZoom(QRect(0, 0, 3840, 2160), 0.85), 3);
  EXPECT_EQ(window->LargestZoom(QRect(0, 0, 1600, 1200)), 2) << "3x is 1800 pixels wide";
  // 3x would not fit: not offered, and not taken from the keyboard either.
  EXPECT_TRUE(Offered(1));
  EXPECT_TRUE(Offered(2));
  EXPECT_FALSE(Offered(3));
  window->menu("mnuViewZoom3")->trigger();
  EXPECT_EQ(window->view().Zoom(), 2);
  window->menu("mnuViewZoom1")->trigger();
  EXPECT_EQ(window->view().Zoom(), 1);
  EXPECT_EQ(SavedZoom(), "1");
}

TEST_F(SizeTest, ASavedSizeTheScreenCannotHoldGivesWayWithoutBeingForgotten) {
  Settings("Zoom=3\r\n");
  Start();
  EXPECT_EQ(window->view().Zoom(), 2);
  EXPECT_TRUE(window->frameGeometry().bottom() < 1080 && window->frameGeometry().right() < 1920);
  EXPECT_EQ(SavedZoom(), "3") << "the player's choice, for the larger screen it was made on";
  // Sizes stay off while the game is busy, whatever the screen holds.
  Trigger("mnuGameNewGame");
  EXPECT_FALSE(Offered(3));
}

// A laptop screen, and a large screen to its right.
struct TwoScreensTest : SizeTest {
  void SetUp() override {
    if (QApplication::screens().size() < 2) GTEST_SKIP() << "needs the two offscreen screens";
    SizeTest::SetUp();
  }
};

TEST_F(TwoScreensTest, SizesFollowTheScreenTheWindowIsOn) {
  Settings("Zoom=0\r\n");
  Start();
  EXPECT_EQ(window->screen()->name(), "Laptop");
  EXPECT_EQ(window->view().Zoom(), 1);
  EXPECT_FALSE(Offered(2));
  EXPECT_FALSE(Offered(3));
  window->move(1366 + 200, 200);
  EXPECT_TRUE(WaitFor([&] { return window->screen()->name() == QString("UHD"); }));
  EXPECT_TRUE(WaitFor([&] { return Offered(3); }));
  window->menu("mnuViewZoom3")->trigger();
  EXPECT_EQ(window->view().Zoom(), 3);
  // Back on the small screen, the size that no longer fits gives way.
  window->move(100, 0);
  EXPECT_TRUE(WaitFor([&] { return window->screen()->name() == QString("Laptop"); }));
  EXPECT_TRUE(WaitFor([&] { return window->view().Zoom() == 1; }));
  EXPECT_EQ(SavedZoom(), "3");
}

// On the laptop's 768 lines the statistics window keeps inside the screen; its tables give.
TEST_F(TwoScreensTest, TheStatisticsFitALaptopScreen) {
  Settings();
  Start();
  EXPECT_EQ(window->screen()->name(), "Laptop");
  WithModal([&] { Trigger("mnuGameStatistics"); }, [&](QWidget& w) {
    EXPECT_LE(w.frameGeometry().height(), w.screen()->availableGeometry().height());
    EXPECT_TRUE(w.screen()->availableGeometry().contains(w.geometry())) << "no part below the screen's bottom";
  });
}

TEST_F(TwoScreensTest, TheAboutBoxOpensOnTheMainWindowsScreen) {
  Settings();
  Start();
  window->move(1366 + 3840 - window->frameGeometry().width() - 10, 300);
  EXPECT_TRUE(WaitFor([&] { return window->screen()->name() == QString("UHD"); }));
  QRect about;
  WithModal([&] { window->menu("mnuHelpAbout")->trigger(); }, [&](QWidget& box) { about = box.frameGeometry(); });
  EXPECT_GE(about.left(), 1366) << "not on the laptop screen to the left";
  EXPECT_LE(about.right(), 1366 + 3840);
  const QRect main = window->frameGeometry();
  EXPECT_NEAR(about.center().x(), main.center().x(), 2) << "centred on the main window";
}

// ---- Wayland --------------------------------------------------------------------------------------

// On a real compositor, started by wayland_test.sh; skipped on any other platform.
struct WaylandTest : WindowFixture {
  void SetUp() override {
    if (QGuiApplication::platformName() != "wayland") GTEST_SKIP() << "runs on a Wayland compositor (wayland_test.sh)";
    WindowFixture::SetUp();
  }
  static inline std::vector<std::string>* warnings = nullptr;
};

TEST_F(WaylandTest, StartUpAQuizAMoveAndTheCloseBox) {
  std::vector<std::string> said;
  warnings = &said;
  const QtMessageHandler before = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& c, const QString& m) {
    if (type != QtDebugMsg && type != QtInfoMsg) warnings->push_back(std::string(c.category ? c.category : "") + ": " + m.toStdString());
  });
  Settings();
  Start();
  ASSERT_TRUE(window->isVisible());
  const auto woke = LogLines();
  ASSERT_FALSE(woke.empty());
  EXPECT_TRUE(woke.back().starts_with("Wake up complete")) << woke.back();
  // Placing the window is the compositor's business: the places asked for go nowhere, quietly.
  window->move(300, 200);
  Trigger("mnuViewMakeedUpTrain");
  window->game().lib().Seed(3);
  Trigger("mnuGameNewGame");
  ASSERT_EQ(window->game().phase(), Phase::Playing);
  const int line = window->game().Route;
  Click("cmdBack");
  EXPECT_EQ(window->game().yard.GetLocoNum(line), window->game().LocoUnits) << "backed into line " << line;
  // The compositor's close request (the title bar's close box) reaches the window as a close.
  window->windowHandle()->close();
  EXPECT_TRUE(WaitFor([&] { return !window->isVisible(); }));
  qInstallMessageHandler(before);
  std::cout << "log line checked: " << woke.back() << "\n";
  const auto lines = LogLines();  // the log of the quiz, which starts afresh with it
  for (const std::string& l : {std::string("Into Form_Unload"), std::string("SavePossition"), std::string("MyLog = Nothing")}) {
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& x) { return x.starts_with(l); })) << l;
    std::cout << "log line checked: " << l << "\n";
  }
  EXPECT_THAT(said, IsEmpty()) << "no warnings from Qt on Wayland";
  // Wayland never says where a window stands (every one reads 0, 0): no place is kept that the
  // next start under X11 would take.
  EXPECT_FALSE(QFile::exists(qt::QSettingsStore::FileName())) << "places written on Wayland";
}

}  // namespace
}  // namespace kelvara::testing

namespace kelvara::testing {
namespace {

struct ShortcutsTest : WindowFixture {};

// Help > Keyboard shortcuts lists what the menus and buttons answer to, in both languages: every
// item with a shortcut is there with it, and nothing is there that the window lacks.
TEST_F(ShortcutsTest, TheListIsTheMenusOwn) {
  for (const bool japanese : {false, true}) {
    SCOPED_TRACE(japanese ? "ja" : "en");
    ::setenv("LC_ALL", japanese ? "ja_JP.UTF-8" : "en_US.UTF-8", 1);
    Settings();
    Start("nsp nss");
    ::unsetenv("LC_ALL");
    std::set<std::pair<QString, QString>> listed, yardListed;  // command, keys
    std::set<QString> consoleListed;
    int otherRows = 0;
    WithModal([&] { Trigger("mnuHelpKeys"); }, [&](QWidget& w) {
      auto* keys = w.findChild<QTableWidget*>("lstKeys");
      ASSERT_NE(keys, nullptr);
      EXPECT_EQ(w.windowTitle().toStdString(), window->texts().Text(7400));
      const QString yard = QString::fromStdString(window->texts().Text(7500));
      const QList<QAction*> tops = window->menuBar()->actions();
      for (int r = 0; r < keys->rowCount(); ++r) {
        const QString place = keys->item(r, 0)->text();
        if (place == yard) {
          yardListed.insert({keys->item(r, 1)->text(), keys->item(r, 2)->text()});
        } else if (place == QString::fromStdString(window->texts().GetCaptionText(110))) {
          consoleListed.insert(keys->item(r, 2)->text());
        } else if (place == window->windowTitle() || std::any_of(tops.begin(), tops.end(), [&](QAction* a) {
                     return a->text().remove('&').startsWith(place);
                   })) {
          listed.insert({keys->item(r, 1)->text(), keys->item(r, 2)->text()});
        } else {
          ++otherRows;  // the answer view, the options, the about window
        }
      }
      if (const char* shots = std::getenv("KELVARA_SHOTS")) {
        w.grab().save(QString(shots) + (japanese ? "/keys-ja.png" : "/keys-en.png"));
        keys->scrollToBottom();
        w.grab().save(QString(shots) + (japanese ? "/keys-yard-ja.png" : "/keys-yard-en.png"));
      }
    });
    auto plain = [](QString caption) {
      if (const int open = caption.indexOf("(&"); open >= 0) caption.truncate(open);
      return caption.remove('&').trimmed();
    };
    std::set<QString> commands;
    int withShortcut = 0;
    for (QAction* top : window->menuBar()->actions()) {
      if (top->menu() == nullptr) continue;
      for (QAction* item : top->menu()->actions()) {
        if (item->isSeparator()) continue;
        commands.insert(plain(item->text()));
        for (const QKeySequence& k : item->shortcuts()) {
          ++withShortcut;
          const QString key = k.toString(QKeySequence::NativeText);
          EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [&](const auto& row) {
            return row.first == plain(item->text()) && row.second.contains(key);
          })) << plain(item->text()).toStdString() << " " << key.toStdString();
        }
      }
    }
    EXPECT_GE(withShortcut, 5) << "Hint, Undo, Redo, Help at least";
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) commands.insert(plain(b->text()));
    for (const auto& [command, keys] : listed) {
      EXPECT_TRUE(commands.contains(command)) << command.toStdString() << " is not in the window";
      EXPECT_FALSE(keys.isEmpty());
    }
    EXPECT_TRUE(std::any_of(listed.begin(), listed.end(), [&](const auto& row) {
      return row.first == plain(Button("cmdBack")->text()) && row.second.endsWith("B");
    })) << "Back's access key";
    // The yard's keys, as the yard answers them: each listed with what it does, nothing else.
    std::set<QString> yardCommands;
    for (const qt::YardKey& key : qt::YardKeys()) {
      const QString command = QString::fromStdString(window->texts().Text(key.text));
      yardCommands.insert(command);
      for (const QKeySequence& k : key.action == qt::YardKeyAction::Digit ? QList<QKeySequence>{key.keys.front()} : key.keys) {
        EXPECT_TRUE(std::any_of(yardListed.begin(), yardListed.end(), [&](const auto& row) {
          return row.first == command && row.second.contains(qt::YardKeyName(k));
        })) << command.toStdString() << " " << k.toString().toStdString();
      }
    }
    EXPECT_EQ(yardListed.size(), yardCommands.size());
    // The other windows' keys under their titles: the console's C, P and Ok, and more.
    const QString alt = QKeySequence(Qt::ALT).toString(QKeySequence::NativeText);
    for (const char* key : {"C", "P", "O"}) EXPECT_TRUE(consoleListed.contains(alt + key)) << key;
    EXPECT_GE(otherRows, 5);
    for (const auto& [command, keys] : yardListed) EXPECT_TRUE(yardCommands.contains(command)) << command.toStdString();
  }
}

}  // namespace
}  // namespace kelvara::testing
