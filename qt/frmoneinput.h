// The one-input console: a whole solution typed or clicked together, such as C5C2P3C5.
#pragma once

#include <QDialog>
#include <functional>

class QLineEdit;

namespace kelvara::qt {

class frmOneInput : public QDialog {
  Q_OBJECT

 public:
  // `help` shows the help message (through the game's message boxes).
  explicit frmOneInput(QWidget* parent, std::function<void()> help);
  QLineEdit* txtSousa = nullptr;
  // The string typed, in upper case.
  QString Commands() const;
};

}  // namespace kelvara::qt
