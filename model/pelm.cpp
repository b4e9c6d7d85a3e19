#include "model/pelm.h"

#include <algorithm>
#include <cmath>

namespace kelvara {

std::int32_t PelmClass::SleepTime() {
  sleepTime_ = std::clamp(sleepTime_, 0, 5000);
  return sleepTime_;
}

void PelmClass::TimeCount() {
  // Ticks are taken as signed 32-bit values, wrapping like the counter they come from.
  const auto now = static_cast<std::int32_t>(clock_.TickCount());
  if (prevTime_ == 0) prevTime_ = now;
  timeDelta_ = static_cast<std::int32_t>(static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(prevTime_));
  prevTime_ = now;
  sleepTime_ = tickTime_ - timeDelta_;
  if (sleepTime_ < 1) timeOver_ = true;
}

void PelmClass::AddDistance() {
  if (timeDelta_ > tickTime_) timeDelta_ = tickTime_;
  trainDistance_ = static_cast<float>(static_cast<double>(trainDistance_) -
                                      static_cast<double>(trainSpeed_) * timeDelta_ * 0.2778 / 1000.0);
}

void PelmClass::CalcRect(const AnimeRects& src, AnimeRects& dst) const {
  auto x = static_cast<std::int32_t>(std::nearbyint(static_cast<double>(trainDistance_) * pixelsPerMeter_));
  const int count = std::min(carCount_, kAnimeRects);
  for (int i = 0; i < count; ++i) {
    if (src[static_cast<std::size_t>(i)].Right == 0) break;
    dst[static_cast<std::size_t>(i)].Left = x;
    dst[static_cast<std::size_t>(i)].Right = src[static_cast<std::size_t>(i)].Right;
    x += dst[static_cast<std::size_t>(i)].Right;
  }
}

}  // namespace kelvara
