#include "data/bmp.h"

#include <fstream>

#include "base/paths.h"

namespace kelvara {

namespace {

std::int32_t ReadLe32(std::ifstream& in, std::streamoff offset) {
  unsigned char b[4] = {0, 0, 0, 0};
  in.clear();
  in.seekg(offset);
  if (in) in.read(reinterpret_cast<char*>(b), 4);
  const std::uint32_t v = static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
                          (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
  return static_cast<std::int32_t>(v);
}

}  // namespace

void ReadBMPSize(const std::string& path, std::int32_t& width, std::int32_t& height) {
  width = height = 0;
  if (!FileExists(path)) return;
  std::ifstream in(path, std::ios::binary);
  if (!in) return;
  width = ReadLe32(in, 18);
  height = ReadLe32(in, 22);
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
