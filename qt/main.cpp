// The game's start: one main window, which starts everything else in its order.
#include <QApplication>
#include <QTimer>

#include "base/product.h"
#include "qt/applynational.h"
#include "qt/frmmain.h"
#include "qt/qtplatform.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(kelvara::kProductName);
  QApplication::setDesktopFileName("kelvara");
  kelvara::qt::InstallQtPlatform();

  kelvara::qt::StartOptions options;
  for (int i = 1; i < argc; ++i) options.commandLine += std::string(i > 1 ? " " : "") + argv[i];
  kelvara::qt::frmMain window(options);
  kelvara::qt::CloseOnTerminate(&window);
  // Start-up runs inside the event loop, so the splash paints and a close ends the program.
  QTimer::singleShot(0, &window, [&window] {
    window.Form_Load();
    // Closed during start-up (SIGTERM as a desktop session ends): no window may have been shown
    // whose closing ends the event loop.
    if (window.Closed()) QCoreApplication::quit();
  });
  return QApplication::exec();
}
