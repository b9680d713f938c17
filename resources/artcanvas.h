#pragma once

#include <QImage>
#include <functional>

class QPainter;

// Draws a picture by code in bands of a few rows, the whole drawing clipped
// to each band in turn. Qt's painter hands a smooth fill that covers many
// rows to helper threads and waits for them; band by band every fill stays
// on the thread that draws, and the picture comes out the same.
namespace ArtCanvas {

constexpr int BandRows = 12;

// A transparent picture of that size with the drawing in it.
QImage draw(const QSize &size, const std::function<void(QPainter &)> &drawing);

} // namespace ArtCanvas
