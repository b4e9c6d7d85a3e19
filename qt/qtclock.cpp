#include "qt/qtclock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>

#include "base/platform.h"
#include "model/durations.h"

namespace kelvara::qt {

std::uint32_t QtClock::TickCount() {
  // With time compressed the clock is the game's own: it moves by what the game waits.
  return timeScale_ == 0 ? virtualNow_ : Win32ApiClass::GetTickCount();
}

void QtClock::PumpOnce() {
  // A turn of the event loop costs more than a line of a train file: one a frame keeps the window
  // just as responsive while a loader turns it every line.
  if (pumped_.isValid() && pumped_.elapsed() < durations::kPumpEvery) return;
  pumped_.start();
  QCoreApplication::processEvents();
}

void QtClock::Wait(int ms) {
  if (onWait_) onWait_(ms);
  if (closing_) return;
  if (timeScale_ == 0) virtualNow_ += static_cast<std::uint32_t>(std::max(ms, 0)) + 1;
  ms = static_cast<int>(ms * timeScale_);
  if (ms <= 0 || skip_) {
    PumpOnce();
    return;
  }
  // The window goes on painting and answering while the game waits; the CPU idles.
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  QPointer<QEventLoop> outer = waiting_;
  waiting_ = &loop;
  loop.exec();
  waiting_ = outer;
}

void QtClock::CutShort(bool skip) {
  skip_ = skip;
  if (skip && waiting_) waiting_->quit();
}

}  // namespace kelvara::qt
