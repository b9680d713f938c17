// zarvex-artwork PATH [SCALE]: draws every picture of the built-in artwork on
// one contact sheet and writes it as PNG to PATH, SCALE times enlarged (1 by
// default), to look the artwork over. Run it with QT_QPA_PLATFORM=offscreen
// where there is no display.

#include "resources/artwork.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>


namespace {

constexpr int Margin = 12;
constexpr int Gap = 6;
constexpr int Width = 9 * (Artwork::TileSize + Gap) + 2 * Margin;

QFont captionFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    return font;
}

// Lays pictures out in rows under captions, top to bottom.
class Sheet
{
public:
    explicit Sheet(QPainter &painter) : p(painter) { p.setFont(captionFont()); }

    void caption(const QString &text)
    {
        y += Gap;
        p.setPen(QColor(60, 40, 20));
        p.drawText(Margin, y + 12, text);
        y += 18;
        x = Margin;
    }

    void place(const QPixmap &pixmap)
    {
        if (x + pixmap.width() > Width - Margin) {
            x = Margin;
            y += rowHeight + Gap;
            rowHeight = 0;
        }
        p.drawPixmap(x, y, pixmap);
        x += pixmap.width() + Gap;
        rowHeight = qMax(rowHeight, pixmap.height());
    }

    void endRow()
    {
        y += rowHeight + Gap;
        rowHeight = 0;
        x = Margin;
    }

    int height() const { return y + Margin; }

private:
    QPainter &p;
    int x = Margin;
    int y = Margin;
    int rowHeight = 0;
};

QPixmap withMarker(int code)
{
    QPixmap pixmap = Artwork::tile(code);
    QPainter p(&pixmap);
    p.drawPixmap(0, 0, Artwork::tile(Artwork::MarkerCode));
    return pixmap;
}

QPixmap leftPart(const QPixmap &bar, int width)
{
    QPixmap part(bar.size());
    part.fill(Qt::transparent);
    QPainter p(&part);
    p.drawPixmap(0, 0, bar, 0, 0, width, bar.height());
    return part;
}

// Tiles side by side as on a board: a word half selected, the marker on its
// last selected tile.
QPixmap boardSample()
{
    const QByteArray rows[] = {"QZARVEX", "WORDSUP"};
    const int s = Artwork::TileSize;
    QPixmap pixmap(7 * s, 2 * s);
    QPainter p(&pixmap);
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 7; ++c) {
            const int letter = rows[r][c] - 'A' + 1;
            const bool selected = r == 0 && c >= 1 && c <= 3;
            const int code = letter + (selected ? Artwork::HighlightOffset : 0);
            p.drawPixmap(c * s, r * s, Artwork::tile(code));
        }
    }
    p.drawPixmap(3 * s, 0, Artwork::tile(Artwork::MarkerCode));
    return pixmap;
}

// A piece of background with a label on it, to judge how readable text stays.
QPixmap backgroundSample()
{
    QPixmap pixmap = Artwork::background(QSize(257, 120));
    QPainter p(&pixmap);
    QFont font = captionFont();
    font.setBold(true);
    font.setPixelSize(13);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(12, 30, QStringLiteral("Play to Score:"));
    p.setPen(QColor(0, 64, 200));
    p.drawText(12, 60, QStringLiteral("Waiting for the host."));
    return pixmap;
}

// Draws the sheet and answers its height.
int drawSheet(QPainter &p)
{
    Sheet sheet(p);
    sheet.caption(QStringLiteral("Tiles 0 to 53"));
    for (const QPixmap &tile : Artwork::tileSet())
        sheet.place(tile);
    sheet.endRow();

    sheet.caption(QStringLiteral("Tiles as on a board"));
    sheet.place(boardSample());
    sheet.endRow();

    sheet.caption(QStringLiteral("Marker over a plain and a highlighted tile; marks"));
    sheet.place(withMarker(5));
    sheet.place(withMarker(5 + Artwork::HighlightOffset));
    sheet.place(Artwork::foundIt());
    sheet.place(Artwork::eyes());
    sheet.place(Artwork::checkBox(false));
    sheet.place(Artwork::checkBox(true));
    sheet.endRow();

    sheet.caption(QStringLiteral("Buttons"));
    sheet.place(Artwork::startGameButton());
    sheet.place(Artwork::clearWordButton());
    sheet.place(Artwork::gameStartButton());
    sheet.endRow();

    sheet.caption(QStringLiteral("Time bar: full, half, nearly out"));
    const QPixmap bar = Artwork::timeBar();
    sheet.place(bar);
    sheet.place(leftPart(bar, bar.width() / 2));
    sheet.place(leftPart(bar, 12));
    sheet.endRow();

    sheet.caption(QStringLiteral("Background"));
    sheet.place(backgroundSample());
    sheet.endRow();
    return sheet.height();
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc < 2 || argc > 3) {
        err << "usage: zarvex-artwork PATH [SCALE]\n";
        return 2;
    }
    const int scale = argc == 3 ? QByteArray(argv[2]).toInt() : 1;
    if (scale < 1 || scale > 8) {
        err << "zarvex-artwork: SCALE must be 1 to 8\n";
        return 2;
    }

    // Measure on a scratch picture first, then draw for real.
    QImage scratch(Width, 1, QImage::Format_ARGB32_Premultiplied);
    int height = 0;
    {
        QPainter p(&scratch);
        height = drawSheet(p);
    }

    QImage sheet(Width * scale, height * scale, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(250, 246, 236));
    {
        QPainter p(&sheet);
        p.scale(scale, scale);
        drawSheet(p);
    }
    if (!sheet.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        err << "zarvex-artwork: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
