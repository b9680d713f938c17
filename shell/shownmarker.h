#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWindow>

#include <cstdio>

// When ZARVEX_SHOWN_MARKER is set in the environment, writes the line
// "shown" to standard output once the program's first window has been
// exposed and painted (the paint follows the expose in the same pass).
// The start-up benchmark times a copy from its start to that line; without
// the variable nothing is installed.
class ShownMarker : public QObject
{
public:
    static void installIfAsked()
    {
        if (qEnvironmentVariableIsSet("ZARVEX_SHOWN_MARKER"))
            QCoreApplication::instance()->installEventFilter(new ShownMarker(QCoreApplication::instance()));
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && watched->isWindowType()
            && static_cast<QWindow *>(watched)->isExposed()) {
            QCoreApplication::instance()->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                std::fputs("shown\n", stdout);
                std::fflush(stdout);
                deleteLater();
            });
        }
        return false;
    }

private:
    using QObject::QObject;
};
