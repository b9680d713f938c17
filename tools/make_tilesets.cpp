// zarvex-tilesets FOLDER: draws the tile sets that ship with the game and
// writes each as FOLDER/<name>.bmp, a strip of 55 tiles of 44 x 44 pixels in
// tile-code order (0 blank, 1-26 A-Z, 27-52 the same highlighted, 53 the
// marker over the last selected tile, 54 unused). Pure white is the
// see-through colour, so the faces never use it and the marker lies on it.
// The strips are committed under resources/tiles/; run this again after
// changing a look:
//   QT_QPA_PLATFORM=offscreen build/zarvex-tilesets resources/tiles

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>

namespace {

constexpr int S = 44;
constexpr int Count = 55;
constexpr int Marker = 53;
const QColor SeeThrough(255, 255, 255);

struct Look
{
    const char *name;
    QColor ground;      // between the tiles
    QColor face, faceLow;
    QColor ink;
    QColor lit, litLow; // highlighted face
    QColor litInk;
    QColor marker;
    bool round;         // round counters rather than square tiles
};

QFont letterFont(int pixels)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setBold(true);
    font.setPixelSize(pixels);
    return font;
}

void drawFace(QPainter &p, const Look &look, int letter, bool lit)
{
    p.fillRect(QRect(0, 0, S, S), look.ground);
    QLinearGradient fill(0, 2, 0, S - 2);
    fill.setColorAt(0, lit ? look.lit : look.face);
    fill.setColorAt(1, lit ? look.litLow : look.faceLow);
    p.setPen(QPen(look.ground.darker(140), 1));
    p.setBrush(fill);
    const QRectF face(2.5, 2.5, S - 5, S - 5);
    if (look.round)
        p.drawEllipse(face);
    else
        p.drawRoundedRect(face, 3, 3);
    if (letter < 1 || letter > 26)
        return;
    const QString text(QChar('A' + letter - 1));
    p.setFont(letterFont(look.round ? 24 : 26));
    p.setPen((lit ? look.litInk : look.ink).darker(lit ? 100 : 250));
    p.drawText(face.translated(1, 1), Qt::AlignCenter, text);
    p.setPen(lit ? look.litInk : look.ink);
    p.drawText(face, Qt::AlignCenter, text);
}

// A ring (or frame) in the marker colour on the see-through ground. Drawn
// without smoothing, so no pixel half-way to white is left around it.
void drawMarker(QPainter &p, const Look &look)
{
    p.fillRect(QRect(0, 0, S, S), SeeThrough);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(look.marker, 4));
    if (look.round)
        p.drawEllipse(QRect(4, 4, S - 9, S - 9));
    else
        p.drawRect(QRect(4, 4, S - 9, S - 9));
    p.setRenderHint(QPainter::Antialiasing, true);
}

QImage strip(const Look &look)
{
    QImage image(Count * S, S, QImage::Format_RGB32);
    image.fill(SeeThrough);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (int code = 0; code < Count; ++code) {
        p.save();
        p.translate(code * S, 0);
        if (code == Marker)
            drawMarker(p, look);
        else if (code <= 52)
            drawFace(p, look, code > 26 ? code - 26 : code, code > 26);
        else
            drawFace(p, look, 0, false);
        p.restore();
    }
    p.end();
    // Smoothing may still have produced a pure white pixel on a face; nudge
    // it so that it stays solid.
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (x / S != Marker && image.pixel(x, y) == SeeThrough.rgb())
                image.setPixel(x, y, qRgb(254, 254, 254));
    return image;
}

const Look looks[] = {
    // Chalk on slate, lit in brass.
    {"slate", QColor(38, 44, 52), QColor(92, 104, 120), QColor(58, 66, 80), QColor(236, 240, 232),
     QColor(246, 214, 120), QColor(196, 150, 52), QColor(48, 32, 8), QColor(232, 56, 40), false},
    // Cream counters on grass, lit in poppy red.
    {"meadow", QColor(74, 128, 58), QColor(250, 244, 214), QColor(222, 206, 150), QColor(52, 84, 34),
     QColor(240, 96, 72), QColor(178, 40, 30), QColor(255, 240, 220), QColor(30, 60, 170), true},
};

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: zarvex-tilesets FOLDER\n";
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        err << "cannot create " << folder.path() << "\n";
        return 1;
    }
    for (const Look &look : looks) {
        const QString path = folder.filePath(QString::fromLatin1(look.name) + QStringLiteral(".bmp"));
        if (!strip(look).save(path, "BMP")) {
            err << "cannot write " << path << "\n";
            return 1;
        }
    }
    return 0;
}
