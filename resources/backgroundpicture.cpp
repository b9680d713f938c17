#include "resources/backgroundpicture.h"

#include <QColor>
#include <QFont>
#include <QPainter>

#include <cstdint>

namespace {

const QColor Top(246, 226, 176);
const QColor Bottom(230, 196, 124);

// The letters are drawn in one font size and scaled: every size drawn in a
// size of its own would keep a font of its own in memory.
constexpr int GlyphPixels = 32;
// The largest letter, rotated, reaches this far from its place.
constexpr int Reach = 48;

const QFont &letterFont()
{
    static const QFont font = [] {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setStyleHint(QFont::SansSerif);
        f.setBold(true);
        f.setPixelSize(GlyphPixels);
        return f;
    }();
    return font;
}

// The same numbers for the same square, every time and everywhere.
std::uint32_t squareSeed(int column, int row)
{
    std::uint32_t h = std::uint32_t(column) * 0x9e3779b1U ^ (std::uint32_t(row) + 0x7f4a7c15U) * 0x85ebca77U;
    h ^= h >> 15;
    h *= 0x2c1b3c6dU;
    h ^= h >> 12;
    return h;
}

int floorDiv(int value, int divisor)
{
    return value >= 0 ? value / divisor : -((-value + divisor - 1) / divisor);
}

QColor shadeAt(int y, int shadeHeight)
{
    const double t = shadeHeight > 1 ? qBound(0.0, double(y) / (shadeHeight - 1), 1.0) : 1.0;
    auto mix = [t](int a, int b) { return int(a + (b - a) * t + 0.5); };
    return QColor(mix(Top.red(), Bottom.red()), mix(Top.green(), Bottom.green()), mix(Top.blue(), Bottom.blue()));
}

// Each row of the shade is one colour: runs of rows of one colour are
// filled as plain rectangles, which the painter fills directly, where a
// gradient over a large surface would be handed out to helper threads.
void paintShade(QPainter &p, const QRect &area, int top, int shadeHeight)
{
    int runStart = area.top();
    QColor runColour = shadeAt(runStart - top, shadeHeight);
    for (int y = area.top() + 1; y <= area.bottom() + 1; ++y) {
        const QColor colour = y <= area.bottom() ? shadeAt(y - top, shadeHeight) : QColor();
        if (colour != runColour) {
            p.fillRect(QRect(area.left(), runStart, area.width(), y - runStart), runColour);
            runStart = y;
            runColour = colour;
        }
    }
}

} // namespace

void BackgroundPicture::paint(QPainter &p, const QRect &area, const QPoint &anchor, int shadeHeight)
{
    if (area.isEmpty())
        return;
    p.save();
    p.setClipRect(area, Qt::IntersectClip);
    paintShade(p, area, anchor.y(), shadeHeight);

    // As text, the letters are drawn from the font's own pictures of its
    // letters; filled as outlines, a large surface would be handed out to
    // helper threads.
    p.setFont(letterFont());
    const QRect reach = area.adjusted(-Reach, -Reach, Reach, Reach).translated(-anchor);
    const int firstColumn = floorDiv(reach.left(), Spacing), lastColumn = floorDiv(reach.right(), Spacing);
    const int firstRow = floorDiv(reach.top(), Spacing), lastRow = floorDiv(reach.bottom(), Spacing);
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            std::uint32_t state = squareSeed(column, row);
            const auto next = [&state](int n) {
                state = state * 1664525U + 1013904223U;
                return int((state >> 8) % std::uint32_t(n));
            };
            const QPoint place = anchor + QPoint(column * Spacing + next(Spacing), row * Spacing + next(Spacing));
            if (!area.adjusted(-Reach, -Reach, Reach, Reach).contains(place))
                continue;
            const int degrees = next(50) - 25;
            const int pixels = 18 + next(26);
            const QColor ink(150, 100, 40, 16 + next(10));
            const int letter = next(26);
            p.save();
            p.translate(place);
            p.rotate(degrees);
            p.scale(double(pixels) / GlyphPixels, double(pixels) / GlyphPixels);
            p.setPen(ink);
            p.drawText(0, 0, QString(QChar(u'A' + letter)));
            p.restore();
        }
    }
    p.restore();
}
