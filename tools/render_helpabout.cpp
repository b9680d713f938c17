// zarvex-helpshot PATH [TOPIC]: a picture of the help window at a topic
// ("Overview" unless named) with the about window beside it. Run it
// offscreen (QT_QPA_PLATFORM=offscreen).

#include "settings/tabout.h"
#include "settings/thelp.h"
#include "shell/windowset.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: zarvex-helpshot PATH [TOPIC]\n");
        return 2;
    }
    const QString topic = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("Overview");

    WindowOptions options;
    options.timers = Ticker::Manual;
    WindowSet windows(options);
    Thelp *help = windows.registry().help();
    Tabout *about = windows.registry().about();
    if (!help || !about)
        return 1;
    help->show();
    about->show();
    bool found = false;
    for (QPushButton *button : help->findChildren<QPushButton *>())
        if (button->text() == topic) {
            button->click();
            found = true;
        }
    if (!found) {
        std::fprintf(stderr, "zarvex-helpshot: no topic \"%s\"\n", qPrintable(topic));
        return 2;
    }
    QApplication::processEvents();

    const QPixmap helpShot = help->grab();
    const QPixmap aboutShot = about->grab();
    const int gap = 12;
    QPixmap sheet(helpShot.width() + gap + aboutShot.width() + 2 * gap,
                  qMax(helpShot.height(), aboutShot.height()) + 2 * gap);
    sheet.fill(QColor(64, 64, 64));
    QPainter painter(&sheet);
    painter.drawPixmap(gap, gap, helpShot);
    painter.drawPixmap(2 * gap + helpShot.width(), gap, aboutShot);
    painter.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "zarvex-helpshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
