#pragma once

#include <QImage>
#include <QList>
#include <QPixmap>

// A tile set's picture: one row of 55 tiles of 44 x 44 pixels in tile-code
// order, pure white transparent. A strip smaller than that gives blank
// (transparent) tiles, or parts of tiles, where it has no pixels.
namespace TileStrip {

constexpr int Count = 55;
constexpr int Size = 44;
// A strip of 24-bit pixels takes about 320 KB; a file past this is refused.
constexpr qint64 MaxFileBytes = 8 * 1024 * 1024;

QList<QPixmap> cut(const QImage &strip);

// The tiles of the file; an empty list when it cannot be read as a picture.
QList<QPixmap> load(const QString &path);

} // namespace TileStrip
