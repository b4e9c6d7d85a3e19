// Bitmap sizes from the file header alone, and the car classification by proportions.
#pragma once

#include <cstdint>
#include <string>

namespace kelvara {

// Width at byte 18 and height at byte 22, little-endian signed; 0 for a missing file,
// and missing bytes of a short file read as 0.
std::int32_t GetBMPWidth(const std::string& path);
std::int32_t GetBMPHeight(const std::string& path);
void ReadBMPSize(const std::string& path, std::int32_t& width, std::int32_t& height);

// Kinds: -1 no usable size, 0 coupler bellows (ratio < 0.5), 1 ordinary, 2 very long (> 7.0).
std::int32_t KindFromRatio(std::int32_t width, std::int32_t height);
// The train file's rule: only a zero height is unusable (zero width makes bellows).
std::int32_t TrdImageKind(std::int32_t width, std::int32_t height);
// The locomotive list's rule: a zero width or height is unusable.
std::int32_t LocoImageKind(std::int32_t width, std::int32_t height);

}  // namespace kelvara
