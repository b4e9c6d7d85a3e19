// The message boxes of the game as Qt shows them.
#pragma once

#include <QPointer>
#include <QWidget>

#include "base/ports.h"

namespace kelvara::qt {

class frmSplash;

// Modal, over the main window; while start-up runs and the main window is not shown yet, over the
// splash, which stays on top.
class QtMessageBox : public IMessageBox {
 public:
  QtMessageBox(QWidget& main, const QPointer<frmSplash>& splash) : main_(main), splash_(splash) {}
  MsgAnswer Show(std::string_view text, MsgButtons b, MsgIcon i, std::string_view title) override;

 private:
  QWidget& main_;
  const QPointer<frmSplash>& splash_;
};

// The boxes the game shows: while the window closes nobody is there to answer, and the cautious
// button is taken; otherwise the boxes in use (Qt's, or a stand-in's).
class ClosingGuard : public IMessageBox {
 public:
  ClosingGuard(IMessageBox* const& boxes, const bool& closing) : boxes_(boxes), closing_(closing) {}
  MsgAnswer Show(std::string_view text, MsgButtons b, MsgIcon i, std::string_view title) override {
    if (closing_) return b == MsgButtons::YesNo ? MsgAnswer::No : b == MsgButtons::OkCancel ? MsgAnswer::Cancel : MsgAnswer::Ok;
    return boxes_->Show(text, b, i, title);
  }

 private:
  IMessageBox* const& boxes_;
  const bool& closing_;
};

}  // namespace kelvara::qt
