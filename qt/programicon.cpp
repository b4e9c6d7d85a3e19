#include "qt/programicon.h"

#include <QIconEngine>
#include <QImageReader>
#include <QMap>
#include <QPainter>
#include <QPixmap>

#include "base/folders.h"
#include "base/paths.h"

namespace kelvara::qt {

namespace {

// The program's icon from the PNG files beside it, each decoded only when a size near it is first
// asked for: a desktop asks for one or two sizes, and the large files cost the most to decode.
class IconFiles : public QIconEngine {
 public:
  void Add(int side, const QString& file) { files_.insert(side, file); }

  QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
    if (files_.isEmpty() || size.isEmpty()) return {};
    auto it = files_.lowerBound(std::max(size.width(), size.height()));  // the smallest that is big enough
    if (it == files_.end()) --it;
    QPixmap& read = read_[it.key()];
    if (read.isNull()) {
      QImageReader png(it.value(), "png");
      png.setAutoDetectImageFormat(false);  // the format is known: no plugin needs asking
      read = QPixmap::fromImage(png.read());
    }
    if (read.isNull() || read.size() == size) return read;
    return read.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  }
  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
    QPixmap p = pixmap(size * scale, mode, state);
    p.setDevicePixelRatio(scale);
    return p;
  }
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    painter->drawPixmap(rect, pixmap(rect.size() * painter->device()->devicePixelRatio(), mode, state));
  }
  QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
    const int largest = files_.isEmpty() ? 0 : files_.lastKey();
    return size.boundedTo(QSize(largest, largest));
  }
  QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
    QList<QSize> sizes;
    for (int side : files_.keys()) sizes.append(QSize(side, side));
    return sizes;
  }
  bool isNull() override { return files_.isEmpty(); }
  QIconEngine* clone() const override { return new IconFiles(*this); }
  QString key() const override { return QStringLiteral("IconFiles"); }

 private:
  QMap<int, QString> files_;
  QMap<int, QPixmap> read_;
};

}  // namespace

QIcon ProgramIcon() {
  QIcon icon = QIcon::fromTheme("kelvara");
  if (!icon.isNull()) return icon;
  // The files beside the program or installed with it, else the copy built into the program.
  auto* files = new IconFiles;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const std::string file = IconPath(UserFolders(), size);
    files->Add(size, FileExists(file) ? QString::fromStdString(file) : QStringLiteral(":/icons/kelvara-%1.png").arg(size));
  }
  return QIcon(files);
}

}  // namespace kelvara::qt
