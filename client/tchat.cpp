#include "client/tchat.h"

#include "shell/windowregistry.h"
#include "social/chatpane.h"
#include "social/colourtext.h"

#include <QCloseEvent>
#include <QMenuBar>

Tchat::Tchat(WindowRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("Tchat"));
    setWindowTitle(QStringLiteral("Zarvex "));
    resize(772, 535);

    // The chat at the lower right, below the seats.
    if (!centralWidget())
        setCentralWidget(new QWidget(this));
    m_chatpane = new ChatPane(centralWidget());
    m_chatpane->move(489, 279);
    m_chatpane->addOptionsItems(menuBar());
}

// Text on the wire is UTF-8.
void Tchat::chatrecieved(const QByteArray &payload)
{
    m_chatpane->chatrecieved(QString::fromUtf8(payload));
}

void Tchat::addlinetochat(const QByteArray &line)
{
    m_chatpane->addlinetochat(QString::fromUtf8(line), ColourText::clBlue); // statuscolour
}

void Tchat::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}
