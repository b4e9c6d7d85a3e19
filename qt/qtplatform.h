// The platform services that need the window system, given by Qt.
#pragma once

#include <QString>

#include <string>

class QWidget;

#include "services/possition.h"

namespace kelvara::qt {

// The per-user store of window places: a file in the game's own settings folder (beside a portable
// copy, in the player's configuration folder when installed), so that two copies keep places of
// their own.
class QSettingsStore : public ISettingsStore {
 public:
  // The file the places are kept in.
  static QString FileName();
  std::string GetSetting(const std::string& app, const std::string& section, const std::string& key,
                         const std::string& fallback) const override;
  void SaveSetting(const std::string& app, const std::string& section, const std::string& key,
                   const std::string& value) override;
};

// Hands the desktop work area and the folder picker to the core. Needs a QApplication.
void InstallQtPlatform();

// Qt's own texts (the buttons of message boxes, the folder picker) in the game's language, from
// the translations installed with Qt; English needs none. False when Japanese was asked for and
// no translation could be loaded.
bool UseQtTranslations(bool japanese);

// SIGTERM, SIGINT and SIGHUP (the end of a desktop session, Ctrl+C in a terminal) close the
// window as its close box does, from the event loop, so that the game is kept and the program
// ends in its order.
void CloseOnTerminate(QWidget* window);

}  // namespace kelvara::qt
