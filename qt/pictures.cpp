#include "qt/pictures.h"

#include <QFile>
#include <QImageReader>
#include <cstring>

#include "data/bmp.h"

namespace kelvara::qt {

QImage LoadPicture(const std::string& path) {
  const QString file = QString::fromStdString(path);
  QImageReader bmp(file, "bmp");
  bmp.setAutoDetectImageFormat(false);  // the format is known: no image plugin needs asking
  QImage image = bmp.read();
  if (!image.isNull()) return image;
  return QImage(file);
}

QImage LoadShrunkPicture(const std::string& path, int width, int height) {
  QFile file(QString::fromStdString(path));
  if (file.open(QIODevice::ReadOnly)) {
    // Mapped rather than read: only the pages of the file are touched, nothing is copied.
    const uchar* bytes = file.size() > 0 ? file.map(0, file.size()) : nullptr;
    if (bytes != nullptr) {
      const PlainBitmap shrunk =
          ShrinkPlainBitmap(std::string_view(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(file.size())), width, height);
      if (!shrunk.pixels.empty()) {
        QImage image(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
          std::memcpy(image.scanLine(y), shrunk.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width),
                      static_cast<std::size_t>(width) * sizeof(std::uint32_t));
        }
        return image;
      }
    }
  }
  const QImage picture = LoadPicture(path);
  if (picture.isNull()) return picture;
  return picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
}

}  // namespace kelvara::qt
