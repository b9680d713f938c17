#pragma once

#include <QByteArray>
#include <QColor>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QRectF>

// The game's icon: a dark board of four by four tiles on which the orange
// tiles form a Z. It is one list of shapes on a 256-unit square, drawn to a
// picture of any size or written out as SVG, so the icons of every size and
// the scalable one always agree.
class AppIcon
{
public:
    struct Shape
    {
        QRectF rect;
        qreal radius;
        QColor fill;
    };

    static constexpr int Canvas = 256;
    // The sizes installed as pictures.
    static const QList<int> &sizes();

    static QList<Shape> shapes();
    // The icon at size x size pixels on a transparent ground.
    static QImage image(int size);
    // The icon as a standalone SVG document.
    static QByteArray svg();
    // The sizes offered to the window manager, up to 128 pixels: the larger
    // installed ones are for launchers, which take the installed files, and
    // each window's icon is copied to the display and into the program.
    static QList<int> windowSizes();
    // Those sizes in one icon, for the windows.
    static QIcon icon();
};
