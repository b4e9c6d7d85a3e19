// The data install window: files dropped on it from the file manager move into the data folder.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLabel;

namespace kelvara {
class DataInstall;
class National;
}  // namespace kelvara

namespace kelvara::qt {

class frmDataInstall : public QDialog {
  Q_OBJECT

 public:
  frmDataInstall(QWidget* parent, const National& texts, const std::string& dataFolder, DataInstall& install);
  // Opens the data folder in the file manager (tests record it instead).
  std::function<void(const QString& folder)> openFolder;

  QLabel* lblMsg = nullptr;
  QLabel* lblDataFolder = nullptr;
  // What the last drop put into the data folder, said to a screen reader too.
  QLabel* lblDone = nullptr;

 protected:
  // Any control passes its drops to the window.
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dragMoveEvent(QDragMoveEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  DataInstall& install_;
  QString folder_;
  const National& texts_;
};

}  // namespace kelvara::qt
