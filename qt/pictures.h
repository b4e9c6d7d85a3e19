// Loading car pictures.
#pragma once

#include <QImage>
#include <string>

namespace kelvara::qt {

// A car's bitmap as a picture. Data files name Windows bitmaps: Qt's own reader for them goes
// first, sparing the search through every image plugin; any other format the platform reads
// still loads.
QImage LoadPicture(const std::string& path);

// The same squeezed to width x height, smoothly, the aspect not kept; a null image when the file
// cannot be read. Plain 24-bit bitmaps larger than that are shrunk straight from the file's bytes,
// several times faster than reading the whole picture first.
QImage LoadShrunkPicture(const std::string& path, int width, int height);

}  // namespace kelvara::qt
