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
    // Read whole rather than mapped: a file cut short while it is read must not stop the game.
    const QByteArray bytes = file.readAll();
    const PlainBitmap shrunk =
        ShrinkPlainBitmap(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), width, height);
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
