// The windows around the main window, offscreen: each one's rules, and every menu item opening
// what it should.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "base/folders.h"
#include "base/platform.h"
#include "data/install.h"
#include "fakes.h"
#include "qt/applynational.h"
#include "qt/frmabout.h"
#include "qt/frmanserview.h"
#include "qt/frmdatainstall.h"
#include "qt/frmformation.h"
#include "qt/frmoneinput.h"
#include "qt/frmoptions.h"
#include "qt/frmtrainselect.h"
#include "scene/sceneview.h"
#include "services/gini.h"
#include "tempdir.h"
#include "window_fixture.h"

namespace kelvara::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

National English() {
  National t;
  t.InitNational(kLangEnglish, "");
  return t;
}

// ---- options ----------------------------------------------------------------------------------

struct OptionsTest : ::testing::Test {
  TempDir dir;
  FakeMessageBox msg;
  National texts = English();
  AppSettings s;
  std::string ini;
  int redraws = 0;
  void SetUp() override {
    ini = dir / "kelvara.ini";
    CreateIni(s, ini, dir.str());
  }
  std::unique_ptr<qt::frmOptions> Open() {
    return std::make_unique<qt::frmOptions>(
        nullptr, s, qt::frmOptions::Services{msg, texts, ini, dir.str(), dir / "kelvara.log", [this] { ++redraws; }});
  }
  AppSettings OnDisk() const {
    AppSettings d;
    LoadIni(d, ini, dir.str());
    return d;
  }
};

TEST_F(OptionsTest, ApplyOkCancelAndDefault) {
  auto o = Open();
  EXPECT_EQ(o->checks["chkCarNumGuide"]->toolTip(), "") << "tool tip numbers point at no text";
  // Cancel loses what was not applied.
  o->checks["chkCarNumGuide"]->setChecked(false);
  o->reject();
  EXPECT_TRUE(OnDisk().CarNumGuide);
  // Apply writes, as typed, and redraws the yard.
  o = Open();
  o->txtTrdFolder->setText(QString::fromStdString(dir / "elsewhere"));
  o->cmbLevel->setCurrentText("30");
  o->checks["chkSound_0"]->setChecked(false);
  o->checks["chkOneInput"]->setChecked(true);
  o->Apply();
  EXPECT_EQ(redraws, 1);
  EXPECT_EQ(s.QuestionLevel, 30);
  const std::string file = ReadFileBytes(ini).value_or("");
  EXPECT_THAT(file, HasSubstr("TRD_Folder=" + (dir / "elsewhere")));
  EXPECT_THAT(file, HasSubstr("GameSound=OFF"));
  EXPECT_THAT(file, HasSubstr("OneInput=True"));
  // Default asks first; Cancel there changes nothing, OK writes the defaults at once.
  msg.answers = {MsgAnswer::Cancel};
  o->Default();
  EXPECT_EQ(msg.shown.back().text, texts.GetMessageText(90));
  EXPECT_EQ(msg.shown.back().buttons, MsgButtons::OkCancel);
  EXPECT_EQ(msg.shown.back().icon, MsgIcon::Question);
  EXPECT_EQ(OnDisk().QuestionLevel, 30);
  o->Default();
  EXPECT_EQ(OnDisk().QuestionLevel, 5);
  EXPECT_EQ(o->cmbLevel->currentText(), "5");
  EXPECT_TRUE(o->checks["chkSound_0"]->isChecked()) << "the dialog shows the defaults";
  o->reject();
  EXPECT_EQ(OnDisk().QuestionLevel, 5) << "even if the dialog is cancelled afterwards";
  EXPECT_TRUE(OnDisk().OneInput) << "the way the player solves stays";
}

TEST_F(OptionsTest, SoundTheDeviceSwitchedOffIsSavedAsThePlayerChoseIt) {
  s.GameSound = s.SuccessSound = false;  // what a failing device leaves in memory
  s.SoundChosen = AppSettings::Sounds{true, true};
  auto o = Open();
  EXPECT_FALSE(o->checks["chkSound_0"]->isChecked()) << "the dialog shows the sound as it is now";
  o->cmbLevel->setCurrentText("30");
  o->Apply();
  EXPECT_TRUE(OnDisk().GameSound && OnDisk().SuccessSound) << "another change does not save the failure";
  // Once the player touches a sound box, the boxes say what is saved.
  o->checks["chkSound_0"]->setChecked(true);
  o->Apply();
  EXPECT_TRUE(OnDisk().GameSound);
  o->checks["chkSound_0"]->setChecked(false);
  o->Apply();
  EXPECT_FALSE(OnDisk().GameSound);
  EXPECT_FALSE(OnDisk().SuccessSound);
}

TEST_F(OptionsTest, GreyedBoxKeepsItsTickAndUnknownLevelsFallBack) {
  s.DisMakeUpDrawAnimate = true;
  s.QuestionLevel = 4;  // possible only by editing the file
  auto o = Open();
  EXPECT_EQ(o->cmbLevel->currentText(), "5");
  QCheckBox* draw = o->checks["chkDisMakeUpDraw"];
  QCheckBox* animate = o->checks["chkDisMakeUpDrawAnimate"];
  QTest::mouseClick(draw, Qt::LeftButton);  // off
  EXPECT_FALSE(animate->isEnabled());
  EXPECT_TRUE(animate->isChecked());
  o->Apply();
  EXPECT_EQ(s.QuestionLevel, 5);
  EXPECT_TRUE(OnDisk().DisMakeUpDrawAnimate) << "a greyed tick is still saved";
  QTest::mouseClick(draw, Qt::LeftButton);
  EXPECT_TRUE(animate->isEnabled());
}

TEST_F(OptionsTest, LogCopyAndFolderBrowse) {
  auto o = Open();
  QApplication::clipboard()->setText("before");
  o->LogCopy();
  EXPECT_EQ(msg.shown.back().text, texts.GetMessageText(91)) << "no log file";
  EXPECT_EQ(QApplication::clipboard()->text(), "before");
  dir.Write("kelvara.log", "1 : Start\r\n2 : 牽引機\r\n");
  msg.answers = {MsgAnswer::No};
  o->LogCopy();
  EXPECT_EQ(msg.shown.back().buttons, MsgButtons::YesNo);
  EXPECT_EQ(QApplication::clipboard()->text(), "before") << "No leaves the clipboard alone";
  o->LogCopy();
  EXPECT_EQ(QApplication::clipboard()->text(), "1 : Start\r\n2 : 牽引機\r\n");

  std::filesystem::create_directory(dir / "Trains");
  SetFolderPicker([&](const std::string&, const std::string& start) {
    EXPECT_EQ(start, dir.str());
    return dir / "Trains";
  });
  o->FolderBrowse();
  EXPECT_EQ(o->txtTrdFolder->text().toStdString(), dir / "Trains") << "lower case would name no folder";
  SetFolderPicker([](const std::string&, const std::string&) { return std::string(); });
  o->FolderBrowse();
  EXPECT_EQ(o->txtTrdFolder->text().toStdString(), dir / "Trains") << "a cancelled picker changes nothing";
  SetFolderPicker(nullptr);
}

// ---- the console and the answer view --------------------------------------------------------------

TEST(ConsoleTest, KeypadAndHelp) {
  int helps = 0;
  qt::frmOneInput console(nullptr, [&] { ++helps; });
  qt::ApplyNational(console, English());
  auto button = [&](const QString& name) { return console.findChild<QPushButton*>(name); };
  for (const char* name : {"cmdOperate_0", "cmdNum_5", "cmdOperate_1", "cmdNum_1", "cmdNum_2", "cmdNum_12"}) {
    QTest::mouseClick(button(name), Qt::LeftButton);
  }
  EXPECT_EQ(console.txtSousa->text(), "C5P1212");
  console.txtSousa->setCursorPosition(1);
  QTest::mouseClick(button("cmdNum_0"), Qt::LeftButton);
  EXPECT_EQ(console.txtSousa->text(), "C5P121") << "D takes the last character, wherever the cursor is";
  console.txtSousa->setText("c2p3");
  EXPECT_EQ(console.Commands(), "C2P3");
  QTest::mouseClick(button("cmdHelp"), Qt::LeftButton);
  EXPECT_EQ(helps, 1);
}

TEST(AnswerViewTest, TextAndSmallestSize) {
  qt::frmAnserView view(nullptr, "(2): C 1:3\r\n(1): P 1:2\r\n");
  qt::ApplyNational(view, English());
  EXPECT_EQ(view.txtAnser->toPlainText(), "(2): C 1:3\n(1): P 1:2\n");
  view.show();
  view.resize(50, 50);
  EXPECT_EQ(view.size(), QSize(qt::frmAnserView::kMinimum, qt::frmAnserView::kMinimum)) << "2000 twips a side at least";
}

TEST(GameFontTest, JapaneseTextAndTheFixedFontFindInstalledFaces) {
  EXPECT_TRUE(QFontMetrics(qt::GameFont("ＭＳ Ｐゴシック")).inFont(QChar(0x5f62))) << "形";
  EXPECT_TRUE(QFontInfo(qt::GameFont(qt::kFixedFont)).fixedPitch());
}

// ---- formation views ----------------------------------------------------------------------------

TEST(FormationTest, TableAndScrollBar) {
  Fakes f;
  LocoClass loco(DataPorts{f.msg, f.texts, f.clock});
  TRDClass trd(DataPorts{f.msg, f.texts, f.clock});
  TempDir dir;
  dir.Bitmap("e.bmp", 64, 16);
  dir.Bitmap("c.bmp", 64, 16);
  dir.Write("loco.lst", "[Loco]\nNum=1\n[0]\nImage=e.bmp;front\nImage1=e.bmp;rear\n");
  loco.LoadLst(dir.str());
  loco.LocoSetIndex(0);
  trd.TrainFileName = dir.Write("t.trd", "T\ns\nc.bmp;first\nc.bmp;second\n");
  trd.LoadTrd();
  EXPECT_EQ(MakeUpTableText(Formation(loco, trd)),
            "  0  e  front\r\n  1  e  front\r\n  2  c  first\r\n  3  c  first\r\n")
      << "two units numbered 0 and 1, the first car 2; a bitmap keeps its first comment";

  qt::frmTrain train(nullptr);
  train.resize(400, 80);
  train.show();
  std::vector<qt::Unit> long_(8, {dir / "c.bmp", "x", 250, "car"});
  train.Fill(long_);
  EXPECT_EQ(train.HScroll1->maximum(), 1600);
  EXPECT_EQ(train.HScroll1->pageStep(), 160);
  train.HScroll1->setValue(300);
  EXPECT_EQ(train.imgCar[2]->x(), 500 - 300);
  train.Fill({{dir / "c.bmp", "short", 120, "car"}});
  EXPECT_FALSE(train.imgCar[1]->isVisible()) << "a shorter train after a longer one shows no old cars";
}

// ---- train selection ----------------------------------------------------------------------------

TEST(TrainSelectTest, ListsAndChoices) {
  National texts = English();
  qt::frmTrainSelect select(nullptr, texts, {"EF10", "DD20"}, {{"/d/a.trd", "Express"}, {"/d/B.TRD", ""}});
  EXPECT_EQ(select.cmbLoco->itemText(2), "Auto Select");
  EXPECT_EQ(select.cmbTrd->itemText(1), "") << "an unreadable file is listed without a name";
  EXPECT_EQ(select.Result(), "100");
  select.cmbLoco->setCurrentIndex(1);
  select.cmbTrd->setCurrentIndex(1);
  EXPECT_EQ(select.LocoChoice(), 1);
  EXPECT_EQ(select.TrainChoice(), "/d/B.TRD");
  select.cmbLoco->setCurrentIndex(2);
  select.cmbTrd->setCurrentIndex(2);
  EXPECT_EQ(select.LocoChoice(), -1);
  EXPECT_EQ(select.TrainChoice(), "");
  QTest::mouseClick(select.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
  EXPECT_EQ(select.Result(), "CANCEL");
}

// ---- data install and about ------------------------------------------------------------------------

TEST(DataInstallWindowTest, DroppedFilesAreMoved) {
  TempDir from, data;
  FakeMessageBox msg;
  National texts = English();
  FileCalls calls;
  DataInstall install(msg, texts, data.str(), calls);
  qt::frmDataInstall window(nullptr, texts, data.str(), install);
  auto* mime = new QMimeData;
  mime->setUrls({QUrl::fromLocalFile(QString::fromStdString(from.Write("a.trd", "t"))),
                 QUrl::fromLocalFile(QString::fromStdString(from.Write("b.bmp", "b"))),
                 QUrl::fromLocalFile(QString::fromStdString(from.Write("c.zip", "z")))});
  window.show();
  QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &enter);
  EXPECT_TRUE(enter.isAccepted());
  EXPECT_EQ(enter.dropAction(), Qt::CopyAction) << "offered only as a copy: the move is the window's to make";
  QDropEvent drop(QPointF(10, 10), Qt::CopyAction | Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&window, &drop);
  EXPECT_TRUE(std::filesystem::exists(data / "a.trd") && std::filesystem::exists(data / "b.bmp"));
  EXPECT_THAT(msg.Texts(), ElementsAre(texts.Text(6500) + "\r\nzip"));
  EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
  // What went in is said, with where the train is chosen; the refused file is not in it.
  EXPECT_TRUE(window.lblDone->isVisible());
  EXPECT_EQ(window.lblDone->text().toStdString(),
            "Put into the data folder: a.trd, b.bmp. Choose the train with Game > " +
                PlainCaption(texts.GetCaptionText(28)) + ".");
  delete mime;
}

TEST(AboutTest, CreditsStayAndTheQuestionFormIsCopiedOnYes) {
  FakeMessageBox msg;
  National texts = English();
  qt::frmAbout about(nullptr, texts, msg);
  const QString before = about.txtCredit->toPlainText();
  QTest::keyClicks(about.txtCredit, "typed");
  EXPECT_EQ(about.txtCredit->toPlainText(), before);
  msg.answers = {MsgAnswer::No};
  QApplication::clipboard()->setText("untouched");
  about.QuestionForm();
  EXPECT_EQ(QApplication::clipboard()->text(), "untouched");
  about.QuestionForm();
  EXPECT_EQ(QApplication::clipboard()->text(), about.QuestionText());
}

// ---- an installed game -----------------------------------------------------------------------

struct InstalledTest : WindowFixture {
  void SetUp() override {
    WindowFixture::SetUp();
    Folders f;
    f.portable = false;
    f.settings = dir / "config/kelvara";
    f.log = dir / "state/kelvara";
    f.temp = dir / "run";
    f.userData = dir / "data/kelvara";
    f.installedSet = KELVARA_CARS_DIR;
    f.help = std::string(KELVARA_BUILD_DIR) + "/help";
    f.icons = dir / "icons";
    SetUserFolders(f);
  }
  void TearDown() override {
    WindowFixture::TearDown();
    SetUserFolders(std::nullopt);
  }
};

TEST_F(InstalledTest, FilesGoToTheUsersFoldersAndTheDefaultSetIsPlayed) {
  std::filesystem::create_directory(dir / "run");
  Start();
  EXPECT_GT(window->game().TRD.CarCount(), 0) << "a train of the installed set, the player having none";
  EXPECT_TRUE(window->game().TRD.TrainFileName.starts_with(KELVARA_CARS_DIR)) << window->game().TRD.TrainFileName;
  const std::string ini = ReadFileBytes(dir / "config/kelvara/kelvara.ini").value_or("");
  EXPECT_NE(ini.find("TRD_Folder=" + (dir / "data/kelvara/Cars")), std::string::npos) << ini;
  EXPECT_FALSE(std::filesystem::exists(dir / "data/kelvara/Cars")) << "made only when something goes in";

  // The data install window makes the player's folder and moves a dropped train into it.
  WithModal([&] { Trigger("mnuOptionDataInstall"); }, [&](QWidget&) {});
  EXPECT_TRUE(std::filesystem::is_directory(dir / "data/kelvara/Cars"));
  window->close();
  EXPECT_TRUE(std::filesystem::exists(dir / "state/kelvara/kelvara.log"));
  for (const char* beside : {"kelvara.ini", "kelvara.log", "MIDIMCI.log"}) {
    EXPECT_FALSE(std::filesystem::exists(dir / beside)) << beside << " beside the program";
  }
}

// A train of the player's whose car picture no reader can draw (a header of impossible sizes):
// the cell stays empty, and the log and the guide say which picture and why.
TEST_F(InstalledTest, ACarPictureThatCannotBeDrawnIsSaid) {
  std::filesystem::create_directory(dir / "run");
  Start();
  const std::string own = dir / "data/kelvara/Cars";
  std::filesystem::create_directories(own);
  std::string header(54, '\0');
  header[0] = 'B', header[1] = 'M', header[14] = 40, header[28] = 24;
  for (const int at : {18, 22}) header[static_cast<std::size_t>(at + 3)] = 0x7f;  // 2^31 - ... a side
  dir.Write("data/kelvara/Cars/huge.bmp", header);
  dir.Write("data/kelvara/Cars/odd.trd", "Odd\r\nsound\r\nhuge.bmp\r\npc_blue.bmp\r\n");
  window->game().ChangeTrain(0, own + "/odd.trd");
  ASSERT_EQ(window->game().TRD.CarCount(), 2) << "the car counts: its header has a size";
  const std::string log = ReadFileBytes(dir / "state/kelvara/kelvara.log").value_or("");
  EXPECT_THAT(log, HasSubstr("Car picture cannot be drawn: " + own + "/huge.bmp"));
  EXPECT_THAT(boxes.shown, Contains(HasSubstr("cannot be drawn")));
}

// ---- every menu item -----------------------------------------------------------------------------

using MenuTest = WindowFixture;

TEST_F(MenuTest, EveryItemOpensItsWindowOrDoesItsAction) {
  Settings();
  Start();
  window->game().lib().Seed(2);
  auto modal = [&](const char* item, const char* name) {
    SCOPED_TRACE(item);
    WithModal([&] { Trigger(item); }, [&](QWidget& w) { EXPECT_EQ(w.objectName(), name) << item; });
  };
  Trigger("mnuGameNewGame");
  EXPECT_TRUE(window->game().GameActive);
  modal("mnuViewAnser", "frmAnserView");
  modal("mnuOptionOption", "frmOptions");
  modal("mnuOptionDataInstall", "frmDataInstall");
  modal("mnuHelpAbout", "frmAbout");
  modal("mnuGameChangeTrainHand", "frmTrainSelect");
  Trigger("mnuViewMakeUpTable");
  EXPECT_TRUE(Shown("frmTrainMakuUpTable"));
  Trigger("mnuViewMakeedUpTrain");
  EXPECT_TRUE(Shown("frmTrain"));
  QTest::mouseDClick(&window->view(), Qt::LeftButton, {}, qt::YardView::CellRect(19).center());
  EXPECT_TRUE(Shown("frmCar")) << "double-clicking the locomotive's cell";

  int helps = 0;
  openHelp = [&](const QString&) { return ++helps > 0; };
  Trigger("mnuHelpHelp");
  EXPECT_EQ(helps, 1);
  boxes.answers = {MsgAnswer::Yes};
  Trigger("mnuGameChangeTrainAuto");
  EXPECT_TRUE(window->game().TrainChanged);
  EXPECT_FALSE(window->game().GameActive) << "the game in progress ended with the train";
  Trigger("mnuGameNewGame");
  Trigger("mnuGameReDisMakeUp");
  EXPECT_TRUE(window->game().GameActive);
  Click("cmdBack");
  Trigger("mnuGameRestart");
  EXPECT_EQ(window->game().yard, window->game().StartYard);
  Trigger("mnuViewZoom2");
  EXPECT_EQ(window->view().width(), 1200);
  EXPECT_EQ(ReadFileBytes(dir / "kelvara.ini").value_or("").find("Zoom=2") != std::string::npos, true);
  Trigger("mnuViewZoom1");

  // A game to its end; the departure run cut short with its own item, then again from View.
  Game& game = window->game();
  window->settings().OneInput = true;
  console = std::optional<std::string>(*SolveOneInput(game.yard, game.LocoUnits, game.TrainCars));
  int frames = 0;
  onWait = [&](int) {
    if (window->view().Running() && ++frames == 2) Trigger("mnuEscape");
  };
  Click("cmdBack");
  EXPECT_FALSE(game.GameActive) << "completed";
  EXPECT_EQ(frames, 3) << "one more frame after the escape";
  frames = 0;
  Trigger("mnuViewClearAnimation");
  EXPECT_EQ(frames, 3);
  onWait = nullptr;
  Trigger("mnuFileEnd");
  EXPECT_FALSE(window->isVisible());
}

}  // namespace
}  // namespace kelvara::testing
