#include "resources/artwork.h"

#include "resources/artcanvas.h"
#include "resources/backgroundpicture.h"

#include <QCoreApplication>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <functional>
#include <memory>

namespace {

// The palette.
const QColor Accent(220, 89, 33);
const QColor StatusBlue(0, 64, 200);
const QColor Groove(122, 80, 34);
const QColor Ink(62, 34, 12);

// Everything drawn so far. Pixmaps must not outlive the application, so the
// cache is dropped when the application object goes away.
struct Cache
{
    std::array<QPixmap, Artwork::TileCount> tiles;
    QPixmap foundIt;
    QPixmap eyes;
    std::array<QPixmap, 2> checkBox;
    QPixmap startGame;
    QPixmap clearWord;
    QPixmap gameStart;
    QPixmap timeBar;
    QHash<quint64, QPixmap> backgrounds;
};

std::unique_ptr<Cache> &cacheSlot()
{
    static std::unique_ptr<Cache> cache;
    return cache;
}

Cache &cache()
{
    std::unique_ptr<Cache> &slot = cacheSlot();
    if (!slot) {
        slot = std::make_unique<Cache>();
        qAddPostRoutine([] { cacheSlot().reset(); });
    }
    return *slot;
}

// The picture in a slot of the cache, drawn the first time it is asked for.
template <class Draw>
QPixmap cached(QPixmap &slot, Draw draw)
{
    if (slot.isNull())
        slot = draw();
    return slot;
}

// The system's sans-serif in bold at a pixel size.
QFont boldFont(int pixelSize)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPixelSize(pixelSize);
    return font;
}

// A pen for strokes with rounded ends and corners: ticks and corner marks.
QPen roundPen(const QColor &colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A transparent picture with the drawing in it.
QPixmap picture(int width, int height, const std::function<void(QPainter &)> &drawing)
{
    return QPixmap::fromImage(ArtCanvas::draw(QSize(width, height), drawing));
}

QLinearGradient vertical(const QRectF &rect, const QColor &top, const QColor &bottom)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

// Centred text with a one-pixel shadow below and to the right.
void shadowedText(QPainter &p, const QRectF &rect, const QString &text, const QColor &colour,
                  const QColor &shadow)
{
    p.setPen(shadow);
    p.drawText(rect.translated(1, 1), Qt::AlignCenter, text);
    p.setPen(colour);
    p.drawText(rect, Qt::AlignCenter, text);
}

// A light upper half over a rounded shape, the usual gloss of a button.
void gloss(QPainter &p, const QRectF &rect, qreal radius, int alpha)
{
    QRectF upper = rect.adjusted(2, 2, -2, 0);
    upper.setHeight(rect.height() * 0.45);
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(upper, QColor(255, 255, 255, alpha), QColor(255, 255, 255, alpha / 4)));
    p.drawRoundedRect(upper, radius - 1, radius - 1);
}

QPixmap drawTile(int letter, bool highlighted)
{
    const int s = Artwork::TileSize;
    return picture(s, s, [&](QPainter &p) {
        p.setRenderHint(QPainter::Antialiasing);

        // The groove between tiles, so that a board of tiles reads as a grid.
        p.fillRect(QRect(0, 0, s, s), Groove);

        const QRectF face(2, 2, s - 4, s - 4);
        p.setPen(Qt::NoPen);
        p.setBrush(highlighted ? vertical(face, QColor(248, 140, 72), QColor(200, 66, 20))
                               : vertical(face, QColor(255, 248, 226), QColor(236, 212, 158)));
        p.drawRoundedRect(face, 5, 5);

        // A bevel: light along the top and left, dark along the bottom and right.
        QPainterPath light;
        light.moveTo(face.left() + 1.5, face.bottom() - 5);
        light.lineTo(face.left() + 1.5, face.top() + 5);
        light.quadTo(face.left() + 1.5, face.top() + 1.5, face.left() + 5, face.top() + 1.5);
        light.lineTo(face.right() - 5, face.top() + 1.5);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(255, 255, 255, highlighted ? 120 : 200), 1.5));
        p.drawPath(light);
        QPainterPath dark;
        dark.moveTo(face.right() - 1.5, face.top() + 5);
        dark.lineTo(face.right() - 1.5, face.bottom() - 5);
        dark.quadTo(face.right() - 1.5, face.bottom() - 1.5, face.right() - 5, face.bottom() - 1.5);
        dark.lineTo(face.left() + 5, face.bottom() - 1.5);
        p.setPen(QPen(highlighted ? QColor(120, 35, 5, 170) : QColor(170, 125, 60, 170), 1.5));
        p.drawPath(dark);

        if (letter >= 1 && letter <= 26) {
            p.setFont(boldFont(27));
            const QString text(QChar('A' + letter - 1));
            const QRectF area = face.adjusted(0, -1, 0, -1);
            if (highlighted)
                shadowedText(p, area, text, Qt::white, QColor(110, 30, 0));
            else
                shadowedText(p, area, text, Ink, QColor(255, 255, 255, 200));
        }
    });
}

// Corner brackets in the status blue edged with white, on a clear ground, so
// they read over plain and highlighted tiles alike.
QPixmap drawMarker()
{
    const int s = Artwork::TileSize;
    return picture(s, s, [&](QPainter &p) {
        p.setRenderHint(QPainter::Antialiasing);
        const qreal in = 3.5;
        const qreal arm = 12;
        QPainterPath corners;
        for (int cx : {0, 1}) {
            for (int cy : {0, 1}) {
                const qreal x = cx ? s - in : in;
                const qreal y = cy ? s - in : in;
                const qreal dx = cx ? -arm : arm;
                const qreal dy = cy ? -arm : arm;
                corners.moveTo(x + dx, y);
                corners.lineTo(x, y);
                corners.lineTo(x, y + dy);
            }
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(roundPen(Qt::white, 6.5));
        p.drawPath(corners);
        p.setPen(roundPen(StatusBlue, 3.5));
        p.drawPath(corners);
    });
}

QPixmap drawFoundIt()
{
    return picture(16, 16, [&](QPainter &p) {
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF disc(0.75, 0.75, 14.5, 14.5);
        QRadialGradient fill(QPointF(6, 5), 10);
        fill.setColorAt(0, QColor(110, 210, 100));
        fill.setColorAt(1, QColor(30, 135, 45));
        p.setBrush(fill);
        p.setPen(QPen(QColor(20, 90, 30), 1.2));
        p.drawEllipse(disc);
        QPainterPath tick;
        tick.moveTo(4.2, 8.2);
        tick.lineTo(7, 11);
        tick.lineTo(11.8, 5);
        p.setBrush(Qt::NoBrush);
        p.setPen(roundPen(Qt::white, 2.2));
        p.drawPath(tick);
    });
}

// Two eyes glancing to the side.
QPixmap drawEyes()
{
    return picture(14, 14, [&](QPainter &p) {
        p.setRenderHint(QPainter::Antialiasing);
        for (qreal left : {0.75, 7.25}) {
            const QRectF eye(left, 1.5, 6, 11);
            p.setBrush(Qt::white);
            p.setPen(QPen(Ink, 1.1));
            p.drawEllipse(eye);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(30, 60, 140));
            p.drawEllipse(QRectF(left + 2.4, 5.5, 3.2, 4.4));
        }
    });
}

QPixmap drawCheckBox(bool ticked)
{
    return picture(30, 24, [&](QPainter &p) {
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF box(5.5, 2.5, 19, 19);
        p.setBrush(vertical(box, QColor(255, 250, 235), QColor(240, 222, 178)));
        p.setPen(QPen(Groove, 2));
        p.drawRoundedRect(box, 3, 3);
        if (ticked) {
            QPainterPath tick;
            tick.moveTo(9, 12);
            tick.lineTo(14, 17.5);
            tick.lineTo(26.5, 2);
            p.setBrush(Qt::NoBrush);
            p.setPen(roundPen(QColor(120, 35, 5), 5));
            p.drawPath(tick);
            p.setPen(roundPen(Accent, 3));
            p.drawPath(tick);
        }
    });
}

QPixmap drawButton(int width, int height, const QString &text, int pixelSize)
{
    return picture(width, height, [&](QPainter &p) {
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF body(0.5, 0.5, width - 1, height - 1);
        const qreal radius = height / 4.0;
        p.setBrush(vertical(body, QColor(244, 138, 74), QColor(196, 68, 22)));
        p.setPen(QPen(QColor(120, 38, 8), 1));
        p.drawRoundedRect(body, radius, radius);
        gloss(p, body, radius, 110);
        p.setFont(boldFont(pixelSize));
        shadowedText(p, body.adjusted(0, 0, 0, -1), text, Qt::white, QColor(100, 28, 0));
    });
}

// Red at the left through amber to green at the right: as the bar shrinks
// its visible end turns from green to red.
QPixmap drawTimeBar()
{
    return picture(184, 25, [&](QPainter &p) {
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF body(0.5, 0.5, 183, 24);
        QLinearGradient fill(body.topLeft(), body.topRight());
        fill.setColorAt(0, QColor(204, 40, 24));
        fill.setColorAt(0.45, QColor(240, 176, 40));
        fill.setColorAt(1, QColor(60, 168, 64));
        p.setBrush(fill);
        p.setPen(QPen(QColor(90, 50, 20), 1));
        p.drawRoundedRect(body, 5, 5);
        gloss(p, body, 5, 140);
        // A faint shade along the bottom gives the bar some depth.
        QRectF lower = body.adjusted(1, body.height() * 0.6, -1, -1);
        p.setPen(Qt::NoPen);
        p.setBrush(vertical(lower, QColor(0, 0, 0, 0), QColor(0, 0, 0, 45)));
        p.drawRoundedRect(lower, 4, 4);
    });
}

} // namespace

QPixmap Artwork::tile(int code)
{
    if (code < 0 || code >= TileCount)
        code = 0;
    return cached(cache().tiles[size_t(code)], [code] {
        if (code == MarkerCode)
            return drawMarker();
        const bool highlighted = code > HighlightOffset;
        return drawTile(highlighted ? code - HighlightOffset : code, highlighted);
    });
}

QList<QPixmap> Artwork::tileSet()
{
    QList<QPixmap> tiles;
    tiles.reserve(TileCount);
    for (int code = 0; code < TileCount; ++code)
        tiles.append(tile(code));
    return tiles;
}

QPixmap Artwork::foundIt()
{
    return cached(cache().foundIt, drawFoundIt);
}

QPixmap Artwork::eyes()
{
    return cached(cache().eyes, drawEyes);
}

QPixmap Artwork::checkBox(bool ticked)
{
    return cached(cache().checkBox[ticked ? 1 : 0], [ticked] { return drawCheckBox(ticked); });
}

QPixmap Artwork::startGameButton()
{
    return cached(cache().startGame,
                  [] { return drawButton(193, 33, QStringLiteral("Start Game"), 17); });
}

QPixmap Artwork::clearWordButton()
{
    return cached(cache().clearWord,
                  [] { return drawButton(107, 33, QStringLiteral("Clear Word"), 13); });
}

QPixmap Artwork::gameStartButton()
{
    return cached(cache().gameStart,
                  [] { return drawButton(90, 30, QStringLiteral("Start"), 16); });
}

QPixmap Artwork::timeBar()
{
    return cached(cache().timeBar, drawTimeBar);
}

QPixmap Artwork::background(const QSize &size)
{
    if (size.isEmpty())
        return QPixmap();
    const quint64 key = (quint64(quint32(size.width())) << 32) | quint32(size.height());
    return cached(cache().backgrounds[key], [&size] {
        QImage image(size, QImage::Format_RGB32);
        QPainter p(&image);
        BackgroundPicture::paint(p, image.rect(), QPoint(0, 0), size.height());
        p.end();
        return QPixmap::fromImage(std::move(image));
    });
}
