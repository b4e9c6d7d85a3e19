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
