#include "qt/frmanserview.h"

#include <QPlainTextEdit>
#include <QStringList>
#include <QPushButton>
#include <QResizeEvent>

#include "qt/applynational.h"

namespace kelvara::qt {

QString AnswerInWords(const std::vector<std::string>& entries, const ITexts& texts) {
  QStringList lines;
  for (int i = static_cast<int>(entries.size()) - 1; i >= 0; --i) {
    const QString entry = QString::fromStdString(entries[static_cast<std::size_t>(i)]);
    const auto parts = entry.mid(2).split(':');
    bool lineOk = false, countOk = false;
    const int line = parts.size() == 2 ? parts[0].toInt(&lineOk) : 0;
    const int count = parts.size() == 2 ? parts[1].toInt(&countOk) : 0;
    const bool pull = entry.startsWith("C "), push = entry.startsWith("P ");
    if ((pull || push) && lineOk && countOk) {
      lines << QString::fromStdString(texts.Text(pull ? 7870 : 7880)).arg(i + 1).arg(line).arg(count);
    } else {
      lines << QString("%1: %2").arg(i + 1).arg(entry);
    }
  }
  return lines.join(' ');
}

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
