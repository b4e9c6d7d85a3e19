// Where each window stands, remembered per user between runs and kept inside the desktop.
#pragma once

#include <QRect>

class QWidget;

namespace kelvara {
class IMessageBox;
class ITexts;
}  // namespace kelvara

namespace kelvara::qt {

// Puts the window where it stood when it last closed, pulled back inside today's work area (a
// monitor may be gone), or at `first` the first time, also kept inside. Windows whose size the
// player can change get their size back too, at least the minimum.
void RestorePlace(QWidget& window, QRect first, int minWidth, int minHeight, IMessageBox& msg, const ITexts& texts);
void SavePlace(const QWidget& window, IMessageBox& msg, const ITexts& texts);

// Whether the player can change the window's size.
bool Sizable(const QWidget& window);

}  // namespace kelvara::qt
