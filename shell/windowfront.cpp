#include "shell/windowfront.h"

#include <QWidget>

namespace WindowFront {

void centreOn(QWidget *window, const QWidget *over)
{
    QRect frame = window->frameGeometry();
    frame.moveCenter(over->frameGeometry().center());
    window->move(frame.topLeft());
}

void bring(QWidget *window)
{
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

} // namespace WindowFront
