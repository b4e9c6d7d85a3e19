// The window tests run offscreen, in one application.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#include "qt/applynational.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  // The desktop's own file dialogs cannot be driven from here; Qt's widget one can.
  QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
  // Window places go to a scratch store, never the user's.
  QStandardPaths::setTestModeEnabled(true);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
