// The completion window: rainbow bands fading to white, the title across their foot and the moves
// used over their middle.
#pragma once

#include <QDialog>

class QLabel;

namespace kelvara::qt {

class frmComplete : public QDialog {
  Q_OBJECT

 public:
  explicit frmComplete(QWidget* parent = nullptr);
  QLabel* lblTitle = nullptr;
  QLabel* lblDetail = nullptr;
  // The moves and the rest, in as many lines as the picture's width needs.
  void SetDetail(const QString& text);

  // The 590 x 300 picture of the bands, drawn once.
  static const QImage& Canvas();

 protected:
  void paintEvent(QPaintEvent*) override;
  // A click does nothing on this window, and neither does Escape: it closes when its time is up.
  void keyPressEvent(QKeyEvent* e) override;
};

}  // namespace kelvara::qt
