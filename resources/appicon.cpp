#include "resources/appicon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor board(84, 52, 30);
const QColor sand(237, 207, 137);
const QColor orange(220, 89, 33);

constexpr int tiles = 4;
constexpr qreal tile = 48;
constexpr qreal gap = 8;
constexpr qreal margin = (AppIcon::Canvas - tiles * tile - (tiles - 1) * gap) / 2;

// The tiles of the Z: the top row, the diagonal from upper right to lower
// left, the bottom row.
bool inZ(int column, int row)
{
    return row == 0 || row == tiles - 1 || column == tiles - 1 - row;
}

QString number(qreal value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

const QList<int> &AppIcon::sizes()
{
    static const QList<int> list = {16, 22, 24, 32, 48, 64, 128, 256};
    return list;
}

QList<AppIcon::Shape> AppIcon::shapes()
{
    QList<Shape> list;
    list.append({QRectF(6, 6, Canvas - 12, Canvas - 12), 40, board});
    for (int row = 0; row < tiles; ++row)
        for (int column = 0; column < tiles; ++column)
            list.append({QRectF(margin + column * (tile + gap), margin + row * (tile + gap), tile, tile), 9,
                         inZ(column, row) ? orange : sand});
    return list;
}

QImage AppIcon::image(int size)
{
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    if (size <= 0)
        return picture;
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(qreal(size) / Canvas, qreal(size) / Canvas);
    painter.setPen(Qt::NoPen);
    for (const Shape &shape : shapes()) {
        QPainterPath path;
        path.addRoundedRect(shape.rect, shape.radius, shape.radius);
        painter.fillPath(path, shape.fill);
    }
    painter.end();
    return picture.convertToFormat(QImage::Format_ARGB32);
}

QByteArray AppIcon::svg()
{
    QString text = QStringLiteral(
                       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                       "viewBox=\"0 0 %1 %1\">\n")
                       .arg(Canvas);
    for (const Shape &shape : shapes())
        text += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"%6\"/>\n")
                    .arg(number(shape.rect.x()), number(shape.rect.y()), number(shape.rect.width()),
                         number(shape.rect.height()), number(shape.radius), shape.fill.name());
    text += QStringLiteral("</svg>\n");
    return text.toUtf8();
}

QIcon AppIcon::icon()
{
    QIcon icon;
    for (int size : sizes())
        icon.addPixmap(QPixmap::fromImage(image(size)));
    return icon;
}
