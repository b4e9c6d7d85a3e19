// The window tests run offscreen (or on the Wayland compositor or the X server a script starts),
// in one application.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryDir>

int main(int argc, char** argv) {
  // Offscreen, on a 1920 x 1080 screen unless the test run names other screens.
  const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
  if (!platform.startsWith("offscreen") && platform != "wayland" && platform != "xcb") {
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" KELVARA_SCREENS_DIR "/fullhd.json");
  }
  // Window places go to a scratch store of this process, never the user's: ctest runs several
  // of these processes at once, and one test's clean start must not wipe another's places.
  QTemporaryDir home(QDir::tempPath() + "/kelvara-window-tests-XXXXXX");
  qputenv("HOME", home.path().toLocal8Bit());
  QApplication app(argc, argv);
  QStandardPaths::setTestModeEnabled(true);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
