#include "qt/qtworker.h"

#include <QMetaObject>
#include <QPointer>

namespace kelvara::qt {

QtWorker::QtWorker(QObject* parent) : QObject(parent) {
  // The quiz's fewest moves and the position on the screen: two searches at once at most, each
  // within its own memory bound.
  pool_.setMaxThreadCount(2);
}

QtWorker::~QtWorker() { pool_.waitForDone(); }

void QtWorker::Post(std::function<void()> work, std::function<void()> done) {
  ++pending_;
  pool_.start([this, work = std::move(work), done = std::move(done)]() mutable {
    work();
    // Queued to this object: delivered on its thread, and dropped should it be gone by then.
    QMetaObject::invokeMethod(
        this,
        [this, done = std::move(done)] {
          --pending_;
          done();
        },
        Qt::QueuedConnection);
  });
}

}  // namespace kelvara::qt
