#include "social/smileypictures.h"

#include "resources/artcanvas.h"

#include <QPainter>
#include <QPainterPath>

#include <array>

namespace SmileyPictures {

namespace {

// Drawn four times larger in picture coordinates, then scaled down, which
// keeps the small round shapes smooth.
constexpr int Scale = 4;

const QColor yellow(255, 214, 40);
const QColor outline(120, 70, 0);
const QColor ink(60, 30, 0);
const QColor tongueRed(230, 60, 80);
const QColor tearBlue(60, 140, 255);

class Face
{
public:
    explicit Face(QPainter &p) : m_p(p) {}

    void head(const QColor &fill, const QPointF &centre = {8.5, 8.2}, qreal radius = 7.3)
    {
        m_p.setPen(QPen(outline, 0.9));
        m_p.setBrush(fill);
        m_p.drawEllipse(centre, radius, radius);
    }
    void dot(qreal x, qreal y, qreal r = 1.05, const QColor &c = ink)
    {
        m_p.setPen(Qt::NoPen);
        m_p.setBrush(c);
        m_p.drawEllipse(QPointF(x, y), r, r * 1.25);
    }
    void eyes() { dot(6.0, 6.3), dot(11.0, 6.3); }
    // An arc through three points: a smile when the middle is lower.
    void curve(QPointF a, QPointF mid, QPointF b, qreal width = 1.0, const QColor &c = ink)
    {
        QPainterPath path(a);
        path.quadTo(2 * mid - (a + b) / 2, b);
        m_p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap));
        m_p.setBrush(Qt::NoBrush);
        m_p.drawPath(path);
    }
    void smile() { curve({4.8, 9.8}, {8.5, 12.6}, {12.2, 9.8}); }
    void frown() { curve({5.3, 12.4}, {8.5, 10.2}, {11.7, 12.4}); }
    void line(QPointF a, QPointF b, qreal width = 1.0, const QColor &c = ink)
    {
        m_p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap));
        m_p.drawLine(a, b);
    }
    void fill(const QPainterPath &path, const QColor &c, const QColor &edge = Qt::transparent)
    {
        m_p.setPen(edge == Qt::transparent ? QPen(Qt::NoPen) : QPen(edge, 0.6));
        m_p.setBrush(c);
        m_p.drawPath(path);
    }
    void openMouth(qreal top, qreal depth)
    {
        QPainterPath mouth({4.6, top});
        mouth.quadTo(8.5, top + 2 * depth, 12.4, top);
        mouth.closeSubpath();
        fill(mouth, QColor(110, 20, 20), ink);
    }
    void heart(qreal x, qreal y, qreal s, const QColor &c)
    {
        QPainterPath h({x, y + s * 0.9});
        h.cubicTo(x - s * 1.3, y, x - s * 0.6, y - s * 0.9, x, y - s * 0.25);
        h.cubicTo(x + s * 0.6, y - s * 0.9, x + s * 1.3, y, x, y + s * 0.9);
        fill(h, c);
    }

private:
    QPainter &m_p;
};

void draw(Face &f, int n)
{
    switch (n) {
    case 0: // smile
        f.head(yellow), f.eyes(), f.smile();
        break;
    case 1: // wink
        f.head(yellow), f.dot(6.0, 6.3);
        f.curve({9.6, 6.6}, {11.0, 5.4}, {12.4, 6.6});
        f.curve({4.8, 9.8}, {8.5, 12.4}, {12.2, 9.0});
        break;
    case 2: { // grin
        f.head(yellow), f.eyes();
        f.openMouth(9.4, 2.4);
        QPainterPath teeth({5.2, 9.4});
        teeth.lineTo(11.8, 9.4), teeth.lineTo(11.2, 10.5), teeth.lineTo(5.8, 10.5);
        f.fill(teeth, Qt::white);
        break;
    }
    case 3: // sad
        f.head(yellow), f.eyes(), f.frown();
        break;
    case 4: { // tongue
        f.head(yellow), f.eyes();
        QPainterPath tongue({7.0, 10.4});
        tongue.cubicTo(7.0, 14.2, 11.0, 14.2, 11.0, 10.4);
        f.fill(tongue, tongueRed, QColor(150, 20, 40));
        f.line({4.8, 10.4}, {12.2, 10.4});
        break;
    }
    case 5: // surprise
        f.head(yellow), f.dot(6.0, 5.8, 1.3), f.dot(11.0, 5.8, 1.3);
        f.dot(8.5, 11.0, 1.7, QColor(110, 20, 20));
        break;
    case 6: { // cool: dark glasses
        f.head(yellow);
        f.line({2.2, 6.0}, {14.8, 6.0}, 0.9);
        QPainterPath lenses;
        lenses.addRoundedRect(QRectF(3.3, 5.3, 4.6, 3.0), 1.2, 1.2);
        lenses.addRoundedRect(QRectF(9.1, 5.3, 4.6, 3.0), 1.2, 1.2);
        f.fill(lenses, Qt::black);
        f.curve({5.6, 10.6}, {8.5, 12.4}, {11.4, 10.6});
        break;
    }
    case 7: // angry: red face, brows down to the middle
        f.head(QColor(240, 90, 40)), f.eyes();
        f.line({4.2, 3.9}, {7.4, 5.2}, 1.1), f.line({12.8, 3.9}, {9.6, 5.2}, 1.1);
        f.frown();
        break;
    case 8: { // cry: tears under both eyes
        f.head(yellow), f.eyes(), f.frown();
        for (qreal x : {5.0, 12.0}) {
            QPainterPath tear({x, 7.6});
            tear.cubicTo(x - 1.6, 10.6, x + 1.6, 10.6, x, 7.6);
            f.fill(tear, tearBlue);
        }
        break;
    }
    case 9: // laugh: shut eyes, wide open mouth
        f.head(yellow);
        f.curve({4.6, 6.8}, {6.0, 4.8}, {7.4, 6.8}), f.curve({9.6, 6.8}, {11.0, 4.8}, {12.4, 6.8});
        f.openMouth(8.8, 3.0);
        break;
    case 10: // love: heart eyes
        f.head(yellow), f.heart(5.8, 6.3, 2.0, QColor(220, 20, 40)), f.heart(11.2, 6.3, 2.0, QColor(220, 20, 40));
        f.smile();
        break;
    case 11: // kiss: puckered red lips and a small heart
        f.head(yellow), f.eyes();
        f.dot(8.0, 11.2, 1.4, QColor(200, 20, 40));
        f.heart(13.8, 11.8, 1.5, QColor(230, 30, 60));
        break;
    case 12: // unsure: one brow up, crooked mouth
        f.head(yellow), f.eyes();
        f.line({9.6, 3.8}, {12.4, 4.3});
        f.curve({5.0, 11.4}, {7.0, 10.0}, {8.5, 11.2}), f.curve({8.5, 11.2}, {10.2, 12.4}, {12.0, 10.8});
        break;
    case 13: // sleepy: shut eyes, small mouth, a blue "z"
        f.head(yellow);
        f.line({4.8, 6.8}, {7.2, 6.8}), f.line({9.8, 6.8}, {12.2, 6.8});
        f.dot(8.5, 11.2, 0.9);
        f.line({12.4, 0.9}, {15.6, 0.9}, 0.9, tearBlue), f.line({15.6, 0.9}, {12.4, 3.6}, 0.9, tearBlue);
        f.line({12.4, 3.6}, {15.6, 3.6}, 0.9, tearBlue);
        break;
    case 14: // blush: pink cheeks
        f.head(yellow), f.eyes();
        f.dot(4.3, 9.2, 1.4, QColor(255, 120, 130)), f.dot(12.7, 9.2, 1.4, QColor(255, 120, 130));
        f.curve({6.0, 10.4}, {8.5, 12.0}, {11.0, 10.4});
        break;
    case 15: { // devil: purple face with horns
        QPainterPath horns({2.8, 5.0});
        horns.lineTo(2.2, 0.4), horns.lineTo(6.0, 2.4);
        horns.moveTo(14.2, 5.0), horns.lineTo(14.8, 0.4), horns.lineTo(11.0, 2.4);
        f.fill(horns, QColor(150, 0, 20));
        f.head(QColor(170, 80, 220), {8.5, 8.8}, 6.9);
        f.line({4.6, 5.4}, {7.2, 6.4}), f.line({12.4, 5.4}, {9.8, 6.4});
        f.dot(6.2, 7.8), f.dot(10.8, 7.8);
        f.curve({4.8, 10.6}, {8.5, 13.6}, {12.2, 10.6});
        break;
    }
    case 16: { // angel: halo above a smaller face
        f.head(yellow, {8.5, 9.4}, 6.3);
        QPainterPath halo;
        halo.addEllipse(QPointF(8.5, 1.7), 5.0, 1.4);
        halo.addEllipse(QPointF(8.5, 1.7), 3.4, 0.6);
        f.fill(halo, QColor(255, 235, 120), QColor(170, 130, 0));
        f.dot(6.4, 8.0), f.dot(10.6, 8.0);
        f.curve({5.6, 11.0}, {8.5, 13.2}, {11.4, 11.0});
        break;
    }
    default: // 17 sick: green face, crossed eyes, wavy mouth
        f.head(QColor(150, 210, 90));
        f.line({5.0, 5.3}, {7.0, 7.3}), f.line({7.0, 5.3}, {5.0, 7.3});
        f.line({10.0, 5.3}, {12.0, 7.3}), f.line({12.0, 5.3}, {10.0, 7.3});
        f.curve({4.8, 11.2}, {6.6, 9.8}, {8.5, 11.2}), f.curve({8.5, 11.2}, {10.4, 12.6}, {12.2, 11.2});
        break;
    }
}

QImage drawPicture(int n)
{
    const QImage big = ArtCanvas::draw(QSize(Width * Scale, Height * Scale), [n](QPainter &p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(Scale, Scale);
        Face face(p);
        draw(face, n);
    });
    return big.scaled(Width, Height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_ARGB32);
}

} // namespace

QImage picture(int n)
{
    static std::array<QImage, Count> pictures;
    if (n < 0 || n >= Count)
        return QImage();
    if (pictures[size_t(n)].isNull())
        pictures[size_t(n)] = drawPicture(n);
    return pictures[size_t(n)];
}

QList<QImage> imagelist()
{
    QList<QImage> list;
    for (int n = 0; n < Count; ++n)
        list.append(picture(n));
    return list;
}

} // namespace SmileyPictures
