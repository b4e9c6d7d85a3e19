// The Qt side of the platform services, run offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QStandardPaths>
#include <QTimer>

#include "fakes.h"
#include "base/platform.h"
#include "qt/qtplatform.h"
#include "tempdir.h"

namespace kelvara::testing {
namespace {

TEST(QtPlatformTest, WindowPlacesSurviveInThePerUserStore) {
  QStandardPaths::setTestModeEnabled(true);
  qt::QSettingsStore store;
  FakeMessageBox msg;
  FakeTexts texts;
  const std::string app = "KelvaraTest";
  WindowPlace w{"frmMain", 120, 80, 640, 480, true};
  SavePossition(store, w, app, msg, texts);

  qt::QSettingsStore other;  // a later run
  EXPECT_EQ(other.GetSetting(app, "PossitionfrmMain", "Left", "x"), "120");
  WindowPlace back{"frmMain", 0, 0, 600, 400, true};
  ASSERT_TRUE(RestorePossition(other, back, 0, 0, app, msg, texts, WorkArea{0, 0, 4000, 3000}));
  EXPECT_EQ(back.left, 120);
  EXPECT_EQ(back.top, 80);
  EXPECT_EQ(back.width, 640);
  EXPECT_EQ(other.GetSetting(app, "PossitionfrmNone", "Top", "-1"), "-1");
}

TEST(QtPlatformTest, WorkAreaComesFromTheScreen) {
  qt::InstallQtPlatform();
  const WorkArea area = Win32ApiClass::GetWorkArea();
  EXPECT_GT(area.right - area.left, 0);
  EXPECT_GT(area.bottom - area.top, 0);
}

TEST(QtPlatformTest, FolderPickerStartsWhereAskedAndReturnsTheChoice) {
  qt::InstallQtPlatform();
  TempDir dir;
  QDir().mkpath(QString::fromStdString(dir / "sub"));
  QDir().mkpath(QString::fromStdString(dir / "Mixed"));
  auto choose = [&](const std::string& pick, bool accept) {
    QString shownAt;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      shownAt = dialog->directory().absolutePath();
      if (!accept) {
        dialog->reject();
        return;
      }
      dialog->selectFile(QString::fromStdString(pick));
      static_cast<QDialog*>(dialog)->accept();
    });
    const std::string result = BrowseForFolder("Data folder", dir / "sub");
    EXPECT_EQ(shownAt.toStdString(), dir / "sub");
    return result;
  };
  EXPECT_EQ(choose(dir / "sub", true), dir / "sub");
  EXPECT_EQ(choose(dir / "Mixed", true), dir / "Mixed") << "lower case would name no folder";
  EXPECT_EQ(choose(dir / "sub", false), "") << "cancelled";
}

}  // namespace
}  // namespace kelvara::testing
