// The game's worker in the window: a small pool of threads of its own, each answer handed back
// to the window's thread through its event loop.
#pragma once

#include <QObject>
#include <QThreadPool>

#include "model/worker.h"

namespace kelvara::qt {

class QtWorker : public QObject, public IWorker {
 public:
  explicit QtWorker(QObject* parent = nullptr);
  // Waits for the work under way, which the game has called off by then; answers not yet
  // delivered are dropped with this object.
  ~QtWorker() override;
  void Post(std::function<void()> work, std::function<void()> done) override;
  // Work posted and not yet answered on the window's thread.
  int Pending() const { return pending_; }

 private:
  QThreadPool pool_;
  int pending_ = 0;
};

}  // namespace kelvara::qt
