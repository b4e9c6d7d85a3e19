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

}  // namespace kelvara::qt
