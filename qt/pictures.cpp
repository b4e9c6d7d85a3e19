#include "qt/pictures.h"

#include <QImage>
#include <cstring>
#include <optional>

#include "base/textfile.h"
#include "data/bmp.h"

namespace kelvara::qt {

namespace {

// The picture file's bytes through the game's one reader: a regular file, within the bound of a
// car bitmap, read whole (a file cut short while it is read must not stop the game).
std::optional<std::string> PictureBytes(const std::string& path) { return ReadFileBytes(path, kCarBitmapLimit); }

}  // namespace

QImage LoadPicture(const std::string& path) {
  const auto bytes = PictureBytes(path);
  if (!bytes) return {};
  const QByteArray data = QByteArray::fromRawData(bytes->data(), static_cast<qsizetype>(bytes->size()));
  QImage image = QImage::fromData(data, "bmp");  // the format is known: no image plugin needs asking
  if (image.isNull()) image = QImage::fromData(data);
  return image;  // decoded into pixels of its own: the bytes may go
}

QImage LoadShrunkPicture(const std::string& path, int width, int height) {
  if (const auto bytes = PictureBytes(path)) {
    const PlainBitmap shrunk = ShrinkPlainBitmap(*bytes, width, height);
    if (!shrunk.pixels.empty()) {
      QImage image(width, height, QImage::Format_RGB32);
      for (int y = 0; y < height; ++y) {
        std::memcpy(image.scanLine(y), shrunk.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width),
                    static_cast<std::size_t>(width) * sizeof(std::uint32_t));
      }
      return image;
    }
  }
  const QImage picture = LoadPicture(path);
  if (picture.isNull()) return picture;
  return picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
}

}  // namespace kelvara::qt
