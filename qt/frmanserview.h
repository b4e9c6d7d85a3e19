// The answer view: the moves that made the quiz, the latest first.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "base/ports.h"

class QPlainTextEdit;
class QPushButton;

namespace kelvara::qt {

// The making moves as a screen reader says them, the latest first as the view lists them:
// "Move 7: pull 8 cars out of line 2." from "C 2:8", "back into line 1, 3 car lengths deeper"
// from "P 1:3". An entry of another shape is read as it stands.
QString AnswerInWords(const std::vector<std::string>& entries, const ITexts& texts);

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
