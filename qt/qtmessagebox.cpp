#include "qt/qtmessagebox.h"

#include <QMessageBox>

#include "base/product.h"
#include "qt/frmsplash.h"

namespace kelvara::qt {

namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

}  // namespace

MsgAnswer QtMessageBox::Show(std::string_view text, MsgButtons b, MsgIcon i, std::string_view title) {
  // During start-up the splash window stays on top: a box there belongs to it and stands above
  // it, or the player would wait for a start-up that waits for an answer.
  const bool overSplash = !main_.isVisible() && splash_ != nullptr && splash_->isVisible();
  QMessageBox box(main_.isVisible() ? &main_ : overSplash ? splash_.data() : nullptr);
  if (overSplash) box.setWindowFlag(Qt::WindowStaysOnTopHint);
  box.setObjectName("msgBox");
  box.setWindowTitle(Q(title.empty() ? std::string_view(kAppTitle) : title));
  box.setText(Q(text).replace("\r\n", "\n"));
  box.setIcon(i == MsgIcon::Information   ? QMessageBox::Information
              : i == MsgIcon::Exclamation ? QMessageBox::Warning
              : i == MsgIcon::Critical    ? QMessageBox::Critical
              : i == MsgIcon::Question    ? QMessageBox::Question
                                          : QMessageBox::NoIcon);
  switch (b) {
    case MsgButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      box.exec();
      return MsgAnswer::Ok;
    case MsgButtons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      return box.exec() == QMessageBox::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    case MsgButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      box.setEscapeButton(QMessageBox::No);
      return box.exec() == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
  }
  return MsgAnswer::Ok;
}

}  // namespace kelvara::qt
