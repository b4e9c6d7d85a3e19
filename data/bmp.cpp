#include "data/bmp.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>

#include "base/paths.h"

namespace kelvara {

namespace {

std::int32_t Le32(std::string_view bytes, std::size_t offset) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    const auto b = offset + i < bytes.size() ? static_cast<unsigned char>(bytes[offset + i]) : 0u;
    v |= static_cast<std::uint32_t>(b) << (8 * i);
  }
  return static_cast<std::int32_t>(v);
}

}  // namespace

void BmpSizeFromBytes(std::string_view bytes, std::int32_t& width, std::int32_t& height) {
  width = Le32(bytes, 18);
  height = Le32(bytes, 22);
}

void ReadBMPSize(const std::string& path, std::int32_t& width, std::int32_t& height) {
  width = height = 0;
  if (!FileExists(path)) return;
  std::ifstream in(path, std::ios::binary);
  if (!in) return;
  char header[26] = {};
  in.read(header, sizeof header);
  BmpSizeFromBytes(std::string_view(header, static_cast<std::size_t>(in.gcount())), width, height);
}

PictureSize ScaleToHeight(std::int32_t w, std::int32_t h, std::int32_t height) {
  const std::int64_t aw = std::llabs(static_cast<std::int64_t>(w));
  const std::int64_t ah = std::llabs(static_cast<std::int64_t>(h));
  const std::int64_t target = std::clamp<std::int64_t>(std::llabs(static_cast<std::int64_t>(height)), 0, kMaxPictureSide);
  if (ah == 0) return {};
  const double scaled = std::nearbyint(static_cast<double>(aw) * static_cast<double>(target) / static_cast<double>(ah));
  std::int32_t width = static_cast<std::int32_t>(std::clamp(scaled, 0.0, static_cast<double>(kMaxPictureSide)));
  if (width == 0 && aw > 0) width = 1;
  return {width, static_cast<std::int32_t>(target)};
}

CarFile FindCarFile(const std::string& path) {
  CarFile f;
  f.path = FindLikeWindows(path);
  f.exists = FileExists(f.path);
  if (f.exists) ReadBMPSize(f.path, f.width, f.height);
  return f;
}

std::int32_t GetBMPWidth(const std::string& path) {
  std::int32_t w, h;
  ReadBMPSize(path, w, h);
  return w;
}

std::int32_t GetBMPHeight(const std::string& path) {
  std::int32_t w, h;
  ReadBMPSize(path, w, h);
  return h;
}

std::int32_t KindFromRatio(std::int32_t width, std::int32_t height) {
  const float ratio = static_cast<float>(static_cast<double>(width) / static_cast<double>(height));
  if (ratio < 0.5f) return 0;
  if (ratio <= 7.0f) return 1;
  return 2;
}

std::int32_t TrdImageKind(std::int32_t width, std::int32_t height) {
  return height == 0 ? -1 : KindFromRatio(width, height);
}

std::int32_t LocoImageKind(std::int32_t width, std::int32_t height) {
  return (width == 0 || height == 0) ? -1 : KindFromRatio(width, height);
}

}  // namespace kelvara
