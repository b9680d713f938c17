// zarvex-icons DIR: writes the game's icon as DIR/hicolor/NxN/apps/ID.png for
// every installed size and DIR/hicolor/scalable/apps/ID.svg. The committed
// icons in resources/icons are its output:
//     zarvex-icons resources/icons

#include "resources/appicon.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: zarvex-icons DIR\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hicolor/");
    const QString name = QStringLiteral(ZARVEX_APP_ID);
    for (int size : AppIcon::sizes()) {
        const QString folder = root + QStringLiteral("%1x%1/apps").arg(size);
        if (!QDir().mkpath(folder) || !AppIcon::image(size).save(folder + '/' + name + ".png")) {
            std::fprintf(stderr, "zarvex-icons: cannot write %s\n", qPrintable(folder));
            return 1;
        }
    }
    const QString scalable = root + QStringLiteral("scalable/apps");
    QFile svg(scalable + '/' + name + ".svg");
    if (!QDir().mkpath(scalable) || !svg.open(QIODevice::WriteOnly) || svg.write(AppIcon::svg()) < 0) {
        std::fprintf(stderr, "zarvex-icons: cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    return 0;
}
