#include "qt/frmanserview.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>

#include "qt/applynational.h"

namespace kelvara::qt {

frmAnserView::frmAnserView(QWidget* parent, const QString& answer) : QDialog(parent) {
  setObjectName("frmAnserView");
  setProperty("Tag", "31");
  cmdClose = new QPushButton(this);
  cmdClose->setObjectName("cmdClose");
  SetTag(cmdClose, "32");
  connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);
  txtAnser = new QPlainTextEdit(this);
  txtAnser->setObjectName("txtAnser");
  txtAnser->setReadOnly(true);
  txtAnser->setPlainText(QString(answer).replace("\r\n", "\n"));
  QFont mono = GameFont(QString::fromLatin1(kFixedFont));
  txtAnser->setFont(mono);
  txtAnser->setProperty("KeepFont", true);
  setMinimumSize(kMinimum, kMinimum);
  resize(260, 320);
}

void frmAnserView::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  const int w = std::max(width(), kMinimum), h = std::max(height(), kMinimum);
  cmdClose->adjustSize();
  top_ = offset_ + cmdClose->height() + offset_;
  cmdClose->move(w - cmdClose->width() - offset_, offset_);
  txtAnser->setGeometry(offset_, top_, w - 2 * offset_, h - top_ - offset_);
}

}  // namespace kelvara::qt
