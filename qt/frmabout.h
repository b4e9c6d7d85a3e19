// The about window: the product, its version, who made it, and the question form.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace kelvara {
class IMessageBox;
class National;
}  // namespace kelvara

namespace kelvara::qt {

class frmAbout : public QDialog {
  Q_OBJECT

 public:
  frmAbout(QWidget* parent, const National& texts, IMessageBox& msg);

  // Asks, then puts the inquiry text on the clipboard and reads it back.
  void QuestionForm();
  // The inquiry text, every line ended by CR LF.
  QString QuestionText() const;
  // Centred over the main window, kept on the screen.
  void SetFormCenter(const QRect& mainWindow, const QRect& screen);

  QLabel* lblFullTitle = nullptr;
  QLabel* lblProductName = nullptr;
  QLabel* lblVersion = nullptr;
  QPlainTextEdit* txtCredit = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  const National& texts_;
  IMessageBox& msg_;
};

}  // namespace kelvara::qt
