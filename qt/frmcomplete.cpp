#include "qt/frmcomplete.h"

#include "qt/applynational.h"

#include <algorithm>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>

namespace kelvara::qt {

namespace {

constexpr int kImageWidth = 589, kImageHeight = 300;

}  // namespace

const QImage& frmComplete::Canvas() {
  static const QImage canvas = [] {
    static const QColor bands[] = {Qt::magenta, Qt::blue, Qt::cyan,   Qt::green, Qt::yellow, QColor(255, 140, 0), Qt::red,
                                   QColor(255, 140, 0), Qt::yellow, Qt::green, Qt::cyan,   Qt::blue,   Qt::magenta};
    QImage image(590, kImageHeight, QImage::Format_RGB32);
    QPainter p(&image);
    const double w = 590 / 13.0;
    for (int i = 0; i < 13; ++i) {
      QLinearGradient g(i * w, 0, (i + 1) * w, 0);
      g.setColorAt(0, Qt::white);
      g.setColorAt(0.5, bands[i]);
      g.setColorAt(1, Qt::white);
      p.fillRect(QRectF(i * w, 0, w + 1, kImageHeight), g);
    }
    return image;
  }();
  return canvas;
}

frmComplete::frmComplete(QWidget* parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Tool) {
  setObjectName("frmComplete");
  lblTitle = new QLabel(this);
  lblTitle->setObjectName("lblTitle");
  lblTitle->setProperty("KeepFont", true);
  QFont f = GameFont(QStringLiteral("ＭＳ Ｐゴシック"));
  f.setPointSize(72);
  lblTitle->setFont(f);
  lblTitle->setAlignment(Qt::AlignCenter);
  lblTitle->setStyleSheet("color: black; background: transparent;");
  // The title lies across the foot of the picture; the window is exactly the picture.
  const int h = lblTitle->sizeHint().height();
  lblTitle->setGeometry(0, kImageHeight - h, kImageWidth, h);
  lblDetail = new QLabel(this);
  lblDetail->setObjectName("lblDetail");
  lblDetail->setProperty("KeepFont", true);
  QFont d = f;
  d.setPointSize(18);
  d.setBold(true);
  lblDetail->setFont(d);
  lblDetail->setAlignment(Qt::AlignCenter);
  lblDetail->setStyleSheet("color: black; background: rgba(255, 255, 255, 160);");
  lblDetail->setWordWrap(true);
  lblDetail->setContentsMargins(8, 4, 8, 4);
  lblDetail->hide();
  setFixedSize(kImageWidth, kImageHeight);
}

void frmComplete::SetDetail(const QString& text) {
  lblDetail->setText(text);
  lblDetail->setVisible(!text.isEmpty());
  const int dh = lblDetail->heightForWidth(kImageWidth);
  lblDetail->setGeometry(0, std::max(0, (kImageHeight - lblTitle->height() - dh) / 2), kImageWidth, dh);
}

void frmComplete::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    e->accept();
    return;
  }
  QDialog::keyPressEvent(e);
}

void frmComplete::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(rect(), Canvas());
}

}  // namespace kelvara::qt
