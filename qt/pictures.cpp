#include "qt/pictures.h"

#include <QImageReader>

namespace kelvara::qt {

QImage LoadPicture(const std::string& path) {
  const QString file = QString::fromStdString(path);
  QImageReader bmp(file, "bmp");
  bmp.setDecideFormatFromContent(false);
  QImage image = bmp.read();
  if (!image.isNull()) return image;
  return QImage(file);
}

}  // namespace kelvara::qt
