// The options dialog: the only editor of the settings.
#pragma once

#include <QDialog>
#include <functional>
#include <map>
#include <string>

#include "services/settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QStackedWidget;
class QTabBar;

namespace kelvara {
class IMessageBox;
class National;
}  // namespace kelvara

namespace kelvara::qt {

// Selects the first entry whose text is `text`; otherwise, unless `fallback` is -1, the entry at
// `fallback` when there is one, else the first. True when the text was found.
bool SetCmb(QComboBox& combo, const QString& text, int fallback);

class frmOptions : public QDialog {
  Q_OBJECT

 public:
  struct Services {
    IMessageBox& msg;
    const National& texts;
    std::string iniPath;
    std::string dataFolder;  // the player's data folder: its "Cars" is the default train folder
    std::string logFileName;
    std::function<void()> redraw;  // the main window's scene, after Apply
  };
  frmOptions(QWidget* parent, AppSettings& settings, Services services);
  ~frmOptions() override;

  // The load steps: every control from the settings (also after Default).
  void Load();
  void Apply();
  void Default();
  void FolderBrowse();
  void LogCopy();
  // Tab i (0 or 1) in front.
  void SelectTab(int index);
  int CurrentTab() const;

  QLineEdit* txtTrdFolder = nullptr;
  QComboBox* cmbLevel = nullptr;
  QComboBox* cmbDifficulty = nullptr;
  QTabBar* tbsOptions = nullptr;
  std::map<std::string, QCheckBox*> checks;  // by control name

 protected:
  // The dialog sees key presses before its controls: Ctrl+Tab and Ctrl+Shift+Tab go round the tabs.
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  AppSettings& settings_;
  Services services_;
  QStackedWidget* pages_ = nullptr;
};

}  // namespace kelvara::qt
