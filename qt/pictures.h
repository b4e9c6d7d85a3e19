// Loading car pictures.
#pragma once

#include <QImage>
#include <string>

namespace kelvara::qt {

// A car's bitmap as a picture. Data files name Windows bitmaps: Qt's own reader for them goes
// first, sparing the search through every image plugin; any other format the platform reads
// still loads.
QImage LoadPicture(const std::string& path);

}  // namespace kelvara::qt
