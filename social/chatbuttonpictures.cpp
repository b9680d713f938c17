#include "social/chatbuttonpictures.h"

#include "resources/artcanvas.h"
#include "social/smileypictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <functional>

namespace ChatButtonPictures {

namespace {

// A raised face: the colour, a lighter top half and a one-pixel border.
void face(QPainter &p, const QColor &colour, const QColor &border)
{
    const QRectF body(0.5, 0.5, Width - 1, Height - 1);
    QLinearGradient shade(0, 0, 0, Height);
    shade.setColorAt(0, colour.lighter(135));
    shade.setColorAt(0.5, colour);
    shade.setColorAt(1, colour.darker(115));
    p.setPen(QPen(border, 1));
    p.setBrush(shade);
    p.drawRoundedRect(body, 3, 3);
}

QPainterPath polygon(std::initializer_list<QPointF> corners)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(corners)));
    path.closeSubpath();
    return path;
}

void speechBubble(QPainter &p, const QColor &ink)
{
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(5.5, 3.5, 14, 9), 4, 4);
    const QPainterPath tail = polygon({{8, 11.5}, {7, 15.5}, {12, 11.5}});
    p.setPen(QPen(ink, 1));
    p.setBrush(Qt::white);
    p.drawPath(bubble.united(tail));
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    for (int dot = 0; dot < 3; ++dot)
        p.drawEllipse(QRectF(8.5 + dot * 3, 7, 2, 2));
}

void loudspeaker(QPainter &p, const QColor &ink)
{
    const QPainterPath cone = polygon({{5.5, 7.5}, {8.5, 7.5}, {12.5, 4.5}, {12.5, 14.5}, {8.5, 11.5}, {5.5, 11.5}});
    p.setPen(QPen(ink, 1));
    p.setBrush(Qt::white);
    p.drawPath(cone);
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(11, 6.5, 5, 6), -50 * 16, 100 * 16);
    p.drawArc(QRectF(11, 4, 9, 11), -50 * 16, 100 * 16);
}

QPixmap picture(const std::function<void(QPainter &)> &drawing)
{
    return QPixmap::fromImage(ArtCanvas::draw(QSize(Width, Height), drawing));
}

} // namespace

QPixmap phraseButton(int button)
{
    return picture([button](QPainter &p) {
        p.setRenderHint(QPainter::Antialiasing);
        if (button == 1)
            face(p, QColor(128, 64, 0), QColor(64, 32, 0));
        else
            face(p, QColor(255, 215, 0), Qt::black);
        const QColor ink = button == 1 ? QColor(64, 32, 0) : Qt::black;
        if (button == 10)
            loudspeaker(p, ink);
        else
            speechBubble(p, ink);
    });
}

QPixmap smiliesButton()
{
    const QImage smiley = SmileyPictures::picture(0);
    return picture([&smiley](QPainter &p) {
        p.setRenderHint(QPainter::Antialiasing);
        face(p, QColor(244, 245, 214), QColor(150, 140, 100));
        p.setRenderHint(QPainter::Antialiasing, false);
        p.drawImage((Width - SmileyPictures::Width) / 2, (Height - SmileyPictures::Height) / 2, smiley);
    });
}

} // namespace ChatButtonPictures
