// The floor of the idle benchmark: a bare Qt program with one window and its
// event loop, doing nothing. It reports its first shown window the same way
// as the game does. With the argument "text" the window shows one line of
// text, so that Qt's fonts are loaded as in any window with words in it.

#include "shell/shownmarker.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool text = QCoreApplication::arguments().value(1) == QLatin1String("text");
    std::unique_ptr<QWidget> window(text ? new QLabel(QStringLiteral("An idle window")) : new QWidget);
    window->setWindowTitle(QStringLiteral("Idle floor"));
    window->resize(640, 480);
    ShownMarker::installIfAsked();
    window->show();
    return QApplication::exec();
}
