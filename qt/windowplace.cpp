#include "qt/windowplace.h"

#include <QWidget>

#include "base/platform.h"
#include "base/product.h"
#include "qt/qtplatform.h"
#include "services/possition.h"

namespace kelvara::qt {

bool Sizable(const QWidget& window) { return window.minimumSize() != window.maximumSize(); }

void RestorePlace(QWidget& window, QRect first, int minWidth, int minHeight, IMessageBox& msg, const ITexts& texts) {
  const WorkArea area = Win32ApiClass::GetWorkArea();
  WindowPlace place{window.objectName().toStdString(), first.x(), first.y(), first.width(), first.height(),
                    Sizable(window)};
  QSettingsStore store;
  if (!RestorePossition(store, place, minWidth, minHeight, kProductName, msg, texts, area)) {
    SetInnerWorkArea(place, minWidth, minHeight, area);
  }
  if (place.sizable) window.resize(place.width, place.height);
  window.move(place.left, place.top);
}

void SavePlace(const QWidget& window, IMessageBox& msg, const ITexts& texts) {
  QSettingsStore store;
  SavePossition(store,
                WindowPlace{window.objectName().toStdString(), window.x(), window.y(), window.width(), window.height(),
                            Sizable(window)},
                kProductName, msg, texts);
}

}  // namespace kelvara::qt
