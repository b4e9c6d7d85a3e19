// Bitmap sizes from the file header alone, and the car classification by proportions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kelvara {

// Width at byte 18 and height at byte 22, little-endian signed; 0 for a missing file,
// and missing bytes of a short file read as 0.
std::int32_t GetBMPWidth(const std::string& path);
std::int32_t GetBMPHeight(const std::string& path);
void ReadBMPSize(const std::string& path, std::int32_t& width, std::int32_t& height);
// The same, false with the system's reason when the file cannot be read.
bool ReadBMPSize(const std::string& path, std::int32_t& width, std::int32_t& height, std::string& reason);
// The same from the first bytes of a file held in memory.
void BmpSizeFromBytes(std::string_view bytes, std::int32_t& width, std::int32_t& height);

// A header says whatever its file says; pictures are drawn at most this many pixels a side.
inline constexpr std::int32_t kMaxPictureSide = 4096;

struct PictureSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
  bool operator==(const PictureSize&) const = default;
};

// A w x h picture scaled to `height` pixels high, halves rounded to even. Each side is taken by
// its magnitude (a top-down bitmap stores a negative height) and kept within kMaxPictureSide; a
// picture with any width stays at least one pixel wide. {0, 0} when h is 0.
PictureSize ScaleToHeight(std::int32_t w, std::int32_t h, std::int32_t height);

// The kind of bitmap data sets are drawn in (uncompressed 24-bit rows, bottom-up or top-down, each
// side within kMaxPictureSide), shrunk to width x height by averaging the area each new pixel
// covers. Rows top first, 0xFFRRGGBB a pixel. Empty for any other kind, for a file too short for
// the pixels it declares, and for a size larger than the picture's: a general reader takes those.
struct PlainBitmap {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::vector<std::uint32_t> pixels;
};
PlainBitmap ShrinkPlainBitmap(std::string_view bytes, std::int32_t width, std::int32_t height);

// What the loaders learn of a car picture named in a data file.
struct CarFile {
  std::string path;  // as found on disk, or as asked for when missing
  bool exists = false;
  std::int32_t width = 0;  // from the bitmap header
  std::int32_t height = 0;
  std::string unreadable;  // why the file there could not be read; empty when it was
  std::string folder;      // the folder a finder looked in for it, when not the data file's own
};
// The file system's answer: the name matched the way Windows matches names, the header read.
CarFile FindCarFile(const std::string& path);

// Kinds: -1 no usable size, 0 coupler bellows (ratio < 0.5), 1 ordinary, 2 very long (> 7.0).
std::int32_t KindFromRatio(std::int32_t width, std::int32_t height);
// The train file's rule: only a zero height is unusable (zero width makes bellows).
std::int32_t TrdImageKind(std::int32_t width, std::int32_t height);
// The locomotive list's rule: a zero width or height is unusable.
std::int32_t LocoImageKind(std::int32_t width, std::int32_t height);

}  // namespace kelvara
