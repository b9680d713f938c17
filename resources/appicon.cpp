#include "resources/appicon.h"

#include "resources/artcanvas.h"

#include <QHash>
#include <QIconEngine>

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>

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
    if (size <= 0)
        return QImage(size, size, QImage::Format_ARGB32);
    const QList<Shape> all = shapes();
    const QImage picture = ArtCanvas::draw(QSize(size, size), [&](QPainter &painter) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(qreal(size) / Canvas, qreal(size) / Canvas);
        painter.setPen(Qt::NoPen);
        for (const Shape &shape : all) {
            QPainterPath path;
            path.addRoundedRect(shape.rect, shape.radius, shape.radius);
            painter.fillPath(path, shape.fill);
        }
    });
    // Converted row by row: a large picture converted at once is handed to
    // helper threads too.
    QImage plain(picture.size(), QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        auto *to = reinterpret_cast<QRgb *>(plain.scanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            to[x] = qUnpremultiply(from[x]);
    }
    return plain;
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

namespace {

// The icon in each size, drawn the first time that size is asked for.
class DrawnIcon : public QIconEngine
{
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        int side = AppIcon::windowSizes().last();
        for (int offered : AppIcon::windowSizes())
            if (offered >= qMax(size.width(), size.height())) {
                side = offered;
                break;
            }
        QPixmap &drawn = m_drawn[side];
        if (drawn.isNull())
            drawn = QPixmap::fromImage(AppIcon::image(side));
        return drawn.size() == size || size.isEmpty()
                   ? drawn
                   : drawn.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override
    {
        const int side = std::min({size.width(), size.height(), AppIcon::windowSizes().last()});
        return QSize(side, side);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> list;
        for (int size : AppIcon::windowSizes())
            list << QSize(size, size);
        return list;
    }
    QIconEngine *clone() const override { return new DrawnIcon(*this); }

private:
    QHash<int, QPixmap> m_drawn;
};

} // namespace

QList<int> AppIcon::windowSizes()
{
    QList<int> list = sizes();
    list.removeIf([](int size) { return size > 128; });
    return list;
}

QIcon AppIcon::icon()
{
    return QIcon(new DrawnIcon);
}
