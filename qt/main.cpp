// The game's start: one main window, created, shown and set up.
#include <QApplication>
#include <QTimer>

#include "base/product.h"
#include "qt/frmmain.h"
#include "qt/qtplatform.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(kelvara::kProductName);
  kelvara::qt::InstallQtPlatform();

  kelvara::qt::StartOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    options.commandLine += (i > 1 ? " " : "") + arg;
    std::string word = arg;
    if (!word.empty() && (word[0] == '/' || word[0] == '-')) word.erase(0, 1);
    if (word == "nss") options.noStartSound = true;
    if (word == "nml") options.noMidiLog = true;
  }
  kelvara::qt::frmMain window(options);
  window.show();
  QTimer::singleShot(0, &window, [&window] { window.Start(); });
  return QApplication::exec();
}
