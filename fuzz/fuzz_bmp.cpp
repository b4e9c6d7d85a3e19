// Any bytes as bitmap headers: each 26-byte piece of the input is the start of a car's picture.
// The header read is deterministic, classification always answers, and the departure run's
// picture list and car layout stay within bounds, whatever sizes the headers claim. The whole
// input is also a bitmap file to shrink for a yard cell: it reads only the bytes there are.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "data/bmp.h"
#include "model/game.h"
#include "fuzz_support.h"

using namespace kelvara;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<PictureSize> headers;
  for (std::size_t at = 0; at < bytes.size() && headers.size() < kAnimeRects + 5; at += 26) {
    const std::string_view piece = bytes.substr(at, 26);
    PictureSize h;
    BmpSizeFromBytes(piece, h.width, h.height);
    std::uint8_t raw[26] = {};
    std::memcpy(raw, piece.data(), piece.size());
    std::int32_t ew, eh;
    std::memcpy(&ew, raw + 18, 4);
    std::memcpy(&eh, raw + 22, 4);
    if (h.width != ew || h.height != eh) std::abort();
    const std::int32_t kt = TrdImageKind(h.width, h.height);
    const std::int32_t kl = LocoImageKind(h.width, h.height);
    if (kt < -1 || kt > 2 || kl < -1 || kl > 2) std::abort();
    headers.push_back(h);
  }

  if (size > 1) {
    const PlainBitmap cell = ShrinkPlainBitmap(bytes, 1 + data[size - 1] % 32, 1 + data[size - 2] % 32);
    if (!cell.pixels.empty() && cell.pixels.size() != static_cast<std::size_t>(cell.width) * cell.height) std::abort();
  }

  const int viewHeight = headers.empty() ? 386 : 1 + static_cast<int>(data[0]) * 4;
  AnimeRects src{}, dst{};
  FillPictureList(headers, viewHeight, src);
  const std::size_t total = std::min(headers.size(), src.size() - 1);
  for (std::size_t i = 0; i < total; ++i) {
    if (src[i].Right < 0 || src[i].Right > kMaxPictureSide) std::abort();
    if (src[i].Bottom != 0 && src[i].Bottom != viewHeight) std::abort();
  }
  if (src[total].Right != 0) std::abort();

  testing::FakeClock clock;
  PelmClass pelm(clock);
  pelm.DrawHeight(viewHeight);
  pelm.DrawWidth(600);
  pelm.CarCount(static_cast<std::int32_t>(total));
  const float length = pelm.MeterPerPixcels() * static_cast<float>(CalcTrainLength(src));
  pelm.TrainDistance(std::floor(pelm.MeterPerPixcels() * 600.0f + 2.0f));
  pelm.CalcRect(src, dst);
  for (std::size_t i = 1; i < total && src[i].Right != 0; ++i) {
    if (dst[i].Left != dst[i - 1].Left + dst[i - 1].Right) std::abort();  // cars laid out without gaps
  }
  pelm.TrainDistance(-length - 1.0f);
  pelm.CalcRect(src, dst);
  return 0;
}
