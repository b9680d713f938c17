#include "client/tchat.h"

#include "shell/windowregistry.h"

#include <QCloseEvent>

Tchat::Tchat(WindowRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("Tchat"));
    setWindowTitle(QStringLiteral("Zarvex "));
    resize(772, 535);
}

void Tchat::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}
