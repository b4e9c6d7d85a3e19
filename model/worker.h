// Where the game's long work runs: away from its thread, so the window goes on answering.
#pragma once

#include <functional>

namespace kelvara {

class IWorker {
 public:
  virtual ~IWorker() = default;
  // Runs `work` on a thread of its own, then `done` on the game's thread from its message loop.
  // A worker that is gone runs neither.
  virtual void Post(std::function<void()> work, std::function<void()> done) = 0;
};

}  // namespace kelvara
