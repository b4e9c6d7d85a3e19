// The main window, offscreen: the yard as drawn, and a whole game played through its buttons.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "qt/yardview.h"
#include "base/program.h"
#include "qt/frmmain.h"
#include "tempdir.h"

namespace kelvara::testing {
namespace {

struct WindowTest : ::testing::Test {
  TempDir dir;
  std::unique_ptr<qt::frmMain> window;

  void SetUp() override {
    dir.Write("kelvara.ini", std::string("[Kelvara]\r\nTRD_FOLDER=") + KELVARA_CARS_DIR +
                                 "\r\nQuestionLevel=5\r\nCarNumGuide=True\r\nLookCarNumber=True\r\n"
                                 "CarNumOnMouse=True\r\nReplaceAnimate=True\r\nMakeLog=True\r\nGameSound=OFF\r\n");
    SetProgramPaths(dir.str(), "kelvara");
    qt::StartOptions options;
    options.noSound = true;
    options.timeScale = 0;
    options.commandLine = "/e";
    window = std::make_unique<qt::frmMain>(options);
    window->show();
    window->Start();
  }
  QImage Shot() { return window->view().grab().toImage(); }
  // Whether a cell shows a picture: some pixel of it is not background (a picture's own middle
  // may be black, as between the two boxes of a container wagon).
  static bool Drawn(const QImage& shot, QRect cell) {
    for (int y = cell.top(); y <= cell.bottom(); ++y) {
      for (int x = cell.left(); x <= cell.right(); ++x) {
        if (shot.pixelColor(x, y) != QColor(0, 0, 0)) return true;
      }
    }
    return false;
  }
  void SaveWindow(const char* env) {
    if (const char* path = std::getenv(env)) window->grab().save(path);
  }
};

TEST_F(WindowTest, TheYardIsDrawnWhereItBelongs) {
  const QImage shot = Shot();
  if (const char* path = std::getenv("KELVARA_SCREENSHOT")) shot.save(path);
  EXPECT_EQ(shot.pixelColor(300, 72), QColor(128, 0, 0)) << "line 0's rail";
  EXPECT_EQ(shot.pixelColor(300, 10), QColor(0, 0, 0)) << "black above it";
  EXPECT_EQ(window->view().Display(2), qt::Part::SignalLine1) << "the route signal shows line 1 after start-up";
  // The train stands in siding 1 up to the stopper: the last cell (560..583 on line 1) is a car.
  EXPECT_TRUE(Drawn(shot, QRect(560, 168, 24, 24)));
  // The locomotive waits at the junction end of the head shunt (cell 19 of line 0 at x 512).
  EXPECT_TRUE(Drawn(shot, QRect(56 + 24 * 19, 48, 24, 24)));
  EXPECT_FALSE(Drawn(shot, QRect(56, 48, 24, 24))) << "nothing at its far end";
}

TEST_F(WindowTest, AWholeGameThroughTheMenuAndTheBackButton) {
  Game& game = window->game();
  window->settings().OneInput = true;
  game.mnuGameNewGame_Click();
  ASSERT_TRUE(game.GameActive);
  SaveWindow("KELVARA_SCREENSHOT_QUIZ");
  const auto solution = SolveOneInput(game.yard, game.LocoUnits, game.TrainCars);
  ASSERT_TRUE(solution.has_value());
  window->scriptedConsole = *solution;
  window->scriptedAnswers = {MsgAnswer::Ok};
  QTest::mouseClick(window->button("cmdBack"), Qt::LeftButton);
  SaveWindow("KELVARA_SCREENSHOT_END");
  EXPECT_FALSE(game.GameActive) << "completed";
  EXPECT_TRUE(window->shownMessages.empty()) << window->shownMessages.front();
}

TEST_F(WindowTest, DepartureRunFramesCoverTheYard) {
  QPixmap red(100, 386);
  red.fill(Qt::red);
  window->view().ShowRun(true, {red});
  window->view().RunFrame({50}, {100});
  QImage shot = Shot();
  EXPECT_EQ(shot.pixelColor(60, 100), QColor(Qt::red));
  EXPECT_EQ(shot.pixelColor(300, 72), QColor(Qt::black)) << "the yard is hidden under the run";
  window->view().ShowRun(false);
  shot = Shot();
  EXPECT_EQ(shot.pixelColor(300, 72), QColor(128, 0, 0));

  // The whole run over the real train, with time compressed.
  window->game().CompleteAnimate();
  EXPECT_FALSE(window->view().Running());
  if (const char* path = std::getenv("KELVARA_SCREENSHOT_RUN")) {
    // The train as the run shows it, its front at the left edge.
    Game& game = window->game();
    std::vector<QPixmap> pictures;
    std::vector<int> left, width;
    int x = 0;
    for (std::size_t i = 0; i < game.AnimePictures.size(); ++i) {
      const AnimeRect& r = game.gAnimeSrcRect[i];
      pictures.push_back(QPixmap(QString::fromStdString(game.AnimePictures[i])).scaled(r.Right, r.Bottom));
      left.push_back(x);
      width.push_back(r.Right);
      x += r.Right;
    }
    window->view().ShowRun(true, pictures);
    window->view().RunFrame(left, width);
    window->grab().save(path);
    window->view().ShowRun(false);
  }
}

}  // namespace
}  // namespace kelvara::testing

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
