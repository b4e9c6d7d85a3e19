// The motion model of the departure run: metres and pixels, the train's place, frame pacing.
#pragma once

#include <array>
#include <cstdint>

#include "base/ports.h"

namespace kelvara {

struct AnimeRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
};

inline constexpr int kAnimeRects = 101;
using AnimeRects = std::array<AnimeRect, kAnimeRects>;

class PelmClass {
 public:
  explicit PelmClass(IClock& clock) : clock_(clock) {}

  float MeterPerPixcels() const { return 1.0f / pixelsPerMeter_; }
  float PixcelsPerMeter() const { return pixelsPerMeter_; }
  static constexpr float KmPerhTomPerSec() { return 0.2778f; }

  // Clamped into 0..5000 on reading, and stored back so.
  std::int32_t SleepTime();
  void SleepTime(std::int32_t ms) { sleepTime_ = ms; }
  bool TimeOver() const { return timeOver_; }
  void TimeOver(bool on) { timeOver_ = on; }
  std::int32_t TickTime() const { return tickTime_; }
  void TickTime(std::int32_t ms) { tickTime_ = ms; }
  std::int32_t TimeDelta() const { return timeDelta_; }
  void TimeDelta(std::int32_t ms) { timeDelta_ = ms; }
  float TrainSpeed() const { return trainSpeed_; }
  void TrainSpeed(float v) { trainSpeed_ = v; }
  float TrainDistance() const { return trainDistance_; }
  void TrainDistance(float m) { trainDistance_ = m; }
  std::int32_t DistanceOffset() const { return distanceOffset_; }
  void DistanceOffset(std::int32_t v) { distanceOffset_ = v; }
  std::int32_t CarCount() const { return carCount_; }
  void CarCount(std::int32_t n) { carCount_ = n; }
  std::int32_t DrawWidth() const { return drawWidth_; }
  void DrawWidth(std::int32_t px) { drawWidth_ = px; }
  std::int32_t DrawHeight() const { return drawHeight_; }
  // The view's height stands for 6 metres.
  void DrawHeight(std::int32_t px) {
    drawHeight_ = px;
    pixelsPerMeter_ = static_cast<float>(px) / 6.0f;
  }

  // Measures the time since the last call (0 the first time) and what is left of the frame.
  void TimeCount();
  // Moves the train by the time measured, at most one frame's worth; the speed is in km/h.
  void AddDistance();
  // Lays the cars out left to right from the train's front, as wide as their pictures, up to the
  // first zero width.
  void CalcRect(const AnimeRects& src, AnimeRects& dst) const;

 private:
  IClock& clock_;
  float trainDistance_ = 0;
  std::int32_t distanceOffset_ = 0;
  float trainSpeed_ = 0;
  std::int32_t drawWidth_ = 0;
  std::int32_t drawHeight_ = 0;
  std::int32_t carCount_ = 0;
  float pixelsPerMeter_ = 0;
  std::int32_t timeDelta_ = 0;
  std::int32_t tickTime_ = 0;
  bool timeOver_ = false;
  std::int32_t prevTime_ = 0;
  std::int32_t sleepTime_ = 0;
};

}  // namespace kelvara
