// The floor of the idle benchmark: a bare Qt program with one window and its
// event loop, doing nothing. It reports its first shown window the same way
// as the game does.

#include "shell/shownmarker.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Idle floor"));
    window.resize(640, 480);
    ShownMarker::installIfAsked();
    window.show();
    return QApplication::exec();
}
