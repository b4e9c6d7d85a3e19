#include "data/bmp.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/paths.h"
#include "base/textfile.h"

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

PlainBitmap ShrinkPlainBitmap(std::string_view bytes, std::int32_t width, std::int32_t height) {
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return {};
  const std::int64_t offset = static_cast<std::uint32_t>(Le32(bytes, 10));
  const std::int64_t info = Le32(bytes, 14);
  const std::int64_t w = Le32(bytes, 18);
  const std::int64_t stored = Le32(bytes, 22);
  const std::int32_t bits = Le32(bytes, 28) & 0xFFFF;
  const std::int32_t compression = Le32(bytes, 30);
  const std::int64_t h = stored < 0 ? -stored : stored;
  if (info < 40 || bits != 24 || compression != 0 || w > kMaxPictureSide || h > kMaxPictureSide || width < 1 ||
      height < 1 || width > w || height > h) {
    return {};
  }
  const std::int64_t stride = (w * 3 + 3) / 4 * 4;
  if (offset < 14 + info || offset + stride * h > static_cast<std::int64_t>(bytes.size())) return {};

  // In units of 1/width of a source pixel across and 1/height down, source pixel i spans
  // [i * width, (i + 1) * width) and new pixel x spans [x * w, (x + 1) * w): each new pixel is
  // the sum of the source pixels times their overlap, over w * h units of area.
  std::vector<std::uint32_t> row(static_cast<std::size_t>(width) * 3);
  std::vector<std::uint64_t> sum(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  const auto* base = reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
  for (std::int64_t j = 0, y = 0; j < h; ++j) {
    std::fill(row.begin(), row.end(), 0u);
    const unsigned char* from = base + stride * (stored > 0 ? h - 1 - j : j);
    std::uint32_t* to = row.data();
    const auto unit = static_cast<std::uint32_t>(width);
    std::uint32_t b = 0, g = 0, r = 0;  // the source pixels wholly inside the current new pixel
    for (std::int64_t end = width, edge = w; end <= w * width; end += width, from += 3) {
      if (end < edge) {
        b += from[0], g += from[1], r += from[2];
        continue;
      }
      if (end == edge) {
        to[0] += (b + from[0]) * unit, to[1] += (g + from[1]) * unit, to[2] += (r + from[2]) * unit;
      } else {  // across the edge of a new pixel
        const auto left = static_cast<std::uint32_t>(edge - (end - width)), right = unit - left;
        to[0] += b * unit + from[0] * left, to[1] += g * unit + from[1] * left, to[2] += r * unit + from[2] * left;
        to[3] += from[0] * right, to[4] += from[1] * right, to[5] += from[2] * right;
      }
      b = g = r = 0;
      to += 3;
      edge += w;
    }
    // The same across the rows.
    const std::int64_t top = j * height, bottom = top + height;
    const std::int64_t share = std::min<std::int64_t>(bottom, (y + 1) * h) - top;
    std::uint64_t* into = sum.data() + static_cast<std::size_t>(y) * row.size();
    for (std::size_t k = 0; k < row.size(); ++k) into[k] += static_cast<std::uint64_t>(row[k]) * static_cast<std::uint64_t>(share);
    if (share < height) {
      into += row.size();
      for (std::size_t k = 0; k < row.size(); ++k) into[k] += static_cast<std::uint64_t>(row[k]) * static_cast<std::uint64_t>(height - share);
    }
    if (bottom >= (y + 1) * h) ++y;
  }
  PlainBitmap out;
  out.width = width;
  out.height = height;
  out.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const std::uint64_t area = static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h);
  for (std::size_t p = 0; p < out.pixels.size(); ++p) {
    std::uint32_t v = 0xFF000000u;
    for (int c = 0; c < 3; ++c) v |= static_cast<std::uint32_t>((sum[p * 3 + c] + area / 2) / area) << (8 * c);
    out.pixels[p] = v;
  }
  return out;
}

void ReadBMPSize(const std::string& path, std::int32_t& width, std::int32_t& height) {
  std::string reason;
  ReadBMPSize(path, width, height, reason);
}

bool ReadBMPSize(const std::string& path, std::int32_t& width, std::int32_t& height, std::string& reason) {
  width = height = 0;
  const FileRead head = ReadFileHead(path, 26);
  if (!head.bytes) {
    reason = head.Reason();
    return false;
  }
  BmpSizeFromBytes(*head.bytes, width, height);
  return true;
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
  if (f.exists) ReadBMPSize(f.path, f.width, f.height, f.unreadable);
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
