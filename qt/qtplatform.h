// The platform services that need the window system, given by Qt.
#pragma once

#include <string>

#include "services/possition.h"

namespace kelvara::qt {

// The per-user store behind window places: ~/.config/<app>/<app>.conf, one group a section.
class QSettingsStore : public ISettingsStore {
 public:
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

}  // namespace kelvara::qt
