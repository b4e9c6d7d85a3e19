// The answer view: the moves that made the quiz, the latest first.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace kelvara::qt {

class frmAnserView : public QDialog {
  Q_OBJECT

 public:
  frmAnserView(QWidget* parent, const QString& answer);
  QPlainTextEdit* txtAnser = nullptr;
  QPushButton* cmdClose = nullptr;

  // Never smaller than 2000 twips a side.
  static constexpr int kMinimum = 2000 / 15;

 protected:
  void resizeEvent(QResizeEvent* e) override;

 private:
  int offset_ = 8;  // the text box's left offset, also the margin everywhere else
  int top_ = 0;     // the text box's top offset, under the Close button
};

}  // namespace kelvara::qt
