#include "client/tchat.h"

#include "server/random.h"
#include "shell/windowregistry.h"

#include <QCloseEvent>

Tchat::Tchat(WindowRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("Tchat"));
    setWindowTitle(QStringLiteral("Zarvex "));
    resize(772, 535);
    // The one random generator of the process is seeded as the main window
    // comes up.
    Random::seedFromClock();
}

void Tchat::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}
