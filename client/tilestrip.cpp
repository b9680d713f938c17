#include "client/tilestrip.h"

#include "shell/boundedfile.h"

#include <QPainter>

namespace TileStrip {

QList<QPixmap> cut(const QImage &strip)
{
    QImage source = strip.convertToFormat(QImage::Format_ARGB32);
    // Pure white is the see-through colour, which lets the marker lie over
    // a letter.
    for (int y = 0; y < source.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(source.scanLine(y));
        for (int x = 0; x < source.width(); ++x)
            if ((line[x] & 0x00FFFFFF) == 0x00FFFFFF)
                line[x] = 0;
    }
    QList<QPixmap> tiles;
    tiles.reserve(Count);
    for (int i = 0; i < Count; ++i) {
        QImage tile(Size, Size, QImage::Format_ARGB32_Premultiplied);
        tile.fill(Qt::transparent);
        QPainter p(&tile);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(QPoint(0, 0), source, QRect(i * Size, 0, Size, Size));
        p.end();
        tiles.append(QPixmap::fromImage(tile));
    }
    return tiles;
}

QList<QPixmap> load(const QString &path)
{
    // Read as any file from outside: a pipe or a device named like a tile
    // set is never waited on, and no strip is larger than a few megabytes.
    const BoundedFile file = BoundedFile::read(path, MaxFileBytes);
    if (!file.isRead())
        return {};
    // Tile sets are BMP files: read as one first, which needs none of the
    // image format plugins; a set saved in another format under the same
    // name is still recognised by its contents.
    QImage strip = QImage::fromData(file.bytes(), "BMP");
    if (strip.isNull())
        strip = QImage::fromData(file.bytes());
    return strip.isNull() ? QList<QPixmap>() : cut(strip);
}

} // namespace TileStrip
