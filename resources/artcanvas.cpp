#include "resources/artcanvas.h"

#include <QPainter>

QImage ArtCanvas::draw(const QSize &size, const std::function<void(QPainter &)> &drawing)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int top = 0; top < size.height(); top += BandRows) {
        QPainter painter(&image);
        painter.setClipRect(QRect(0, top, size.width(), BandRows));
        drawing(painter);
    }
    return image;
}
