// The game's one clock in the window: waits that keep the event loop running while the CPU idles.
#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <functional>

#include "base/ports.h"

namespace kelvara::qt {

class QtClock : public IClock {
 public:
  // `timeScale` stretches every wait (0: each wait is one turn of the event loop and the clock
  // moves by what the game waits); `onWait` sees each wait first; no wait is kept while `closing`.
  QtClock(const double& timeScale, const std::function<void(int)>& onWait, const bool& closing)
      : timeScale_(timeScale), onWait_(onWait), closing_(closing) {}

  std::uint32_t TickCount() override;
  void PumpOnce() override;
  void Wait(int ms) override;
  // Ends the wait in progress now, if there is one, and while `skip` holds every later wait is
  // one turn of the event loop.
  void CutShort(bool skip);

 private:
  const double& timeScale_;
  const std::function<void(int)>& onWait_;
  const bool& closing_;
  std::uint32_t virtualNow_ = 1;  // the clock while time is compressed
  QElapsedTimer pumped_;           // since the event loop's last turn
  QPointer<QEventLoop> waiting_;   // the wait in progress
  bool skip_ = false;
};

}  // namespace kelvara::qt
