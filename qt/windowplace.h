// Where the windows around the main window open. Only the main window's place is kept between
// runs; the others open beside it at every command, inside the work area of its screen.
#pragma once

#include <QRect>

class QWidget;

namespace kelvara::qt {

// Puts the window at `want` (its size too, for a window the player can size, at least the
// minimum), moved inside the work area as the main window's neighbours are.
void PlaceInside(QWidget& window, QRect want, int minWidth, int minHeight, const QRect& workArea);

// Whether the player can change the window's size.
bool Sizable(const QWidget& window);

}  // namespace kelvara::qt
