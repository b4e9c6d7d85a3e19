#include "qt/windowplace.h"

#include <QWidget>

#include "base/platform.h"
#include "services/possition.h"

namespace kelvara::qt {

bool Sizable(const QWidget& window) { return window.minimumSize() != window.maximumSize(); }

void PlaceInside(QWidget& window, QRect want, int minWidth, int minHeight, const QRect& workArea) {
  // The frame counts for staying inside; it is known once the window is shown.
  const QSize frame = window.isVisible() ? window.frameGeometry().size() - window.size() : QSize(0, 0);
  WindowPlace place{window.objectName().toStdString(), want.x(),       want.y(), want.width() + frame.width(),
                    want.height() + frame.height(),   Sizable(window)};
  SetInnerWorkArea(place, minWidth + frame.width(), minHeight + frame.height(),
                   WorkArea{workArea.left(), workArea.top(), workArea.left() + workArea.width(),
                            workArea.top() + workArea.height()});
  if (place.sizable) window.resize(place.width - frame.width(), place.height - frame.height());
  window.move(place.left, place.top);
}

}  // namespace kelvara::qt
