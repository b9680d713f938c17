#include "client/tilestrip.h"

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
    const QImage strip(path);
    return strip.isNull() ? QList<QPixmap>() : cut(strip);
}

} // namespace TileStrip
