#include "server/webdoor.h"

#include "protocol/tcpsilence.h"
#include "protocol/wire.h"
#include "server/httpconnection.h"
#include "server/tserver.h"
#include "server/webfiles.h"
#include "server/websocketlink.h"
#include "shell/errorreport.h"

#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebSocket>
#include <QWebSocketServer>

WebDoor::WebDoor(TServer &server, Ticker::Mode timers, QObject *parent)
    : QObject(parent),
      m_server(server),
      m_site(WebFiles::builtIn()),
      m_listener(new QTcpServer(this)),
      m_sockets(new QWebSocketServer(QStringLiteral("Zarvex"), QWebSocketServer::NonSecureMode, this)),
      requesttimer(1000, timers, [this] { ErrorReport::guarded([this] { requesttimerTimer(); }); })
{
    connect(m_listener, &QTcpServer::newConnection, this, &WebDoor::visitorArrived);
    connect(m_sockets, &QWebSocketServer::newConnection, this, &WebDoor::socketOpened);
}

WebDoor::~WebDoor()
{
    close();
}

bool WebDoor::open(quint16 port, const QByteArray &bindAddress)
{
    close();
    const QHostAddress at = bindAddress.isEmpty() ? QHostAddress(QHostAddress::Any)
                                                  : QHostAddress(QString::fromLatin1(bindAddress));
    // Browsers come straight to this port: no proxy is asked about it,
    // which would load and consult the desktop's proxy settings.
    m_listener->setProxy(QNetworkProxy::NoProxy);
    if (!m_listener->listen(at, port)) {
        m_error = m_listener->errorString();
        return false;
    }
    m_error.clear();
    return true;
}

WebDoor *WebDoor::onSocket(TServer &server, Ticker::Mode timers, int listeningSocket, QString &error,
                           QObject *parent)
{
    auto *door = new WebDoor(server, timers, parent);
    if (door->adopt(listeningSocket))
        return door;
    error = door->error();
    delete door;
    return nullptr;
}

bool WebDoor::adopt(int listeningSocket)
{
    close();
    if (!m_listener->setSocketDescriptor(listeningSocket)) {
        m_error = m_listener->errorString();
        return false;
    }
    m_error.clear();
    return true;
}

bool WebDoor::openDoor(quint16 port, QString &error)
{
    const bool opened = open(port);
    error = m_error;
    return opened;
}

void WebDoor::close()
{
    m_listener->close();
    for (HttpConnection *visitor : m_visitors) {
        visitor->disconnect(this);
        visitor->abort();
        visitor->deleteLater();
    }
    m_visitors.clear();
    requesttimer.setEnabled(false);
}

bool WebDoor::isOpen() const
{
    return m_listener->isListening();
}

quint16 WebDoor::port() const
{
    return m_listener->serverPort();
}

int WebDoor::visitorsFrom(const QByteArray &address) const
{
    int count = 0;
    for (const HttpConnection *visitor : m_visitors)
        count += visitor->address() == address;
    return count;
}

void WebDoor::visitorArrived()
{
    while (QTcpSocket *socket = m_listener->nextPendingConnection()) {
        auto *visitor = new HttpConnection(socket, m_site, this);
        // Past the bounds a newcomer is let go at once, before it costs
        // anything.
        if (m_visitors.size() >= MaxVisitors || visitorsFrom(visitor->address()) >= MaxVisitorsPerAddress) {
            visitor->abort();
            visitor->deleteLater();
            continue;
        }
        m_visitors.append(visitor);
        connect(visitor, &HttpConnection::finished, this, &WebDoor::forget);
        connect(visitor, &HttpConnection::upgradeAsked, this, &WebDoor::upgradeAsked);
        requesttimer.wake();
    }
}

void WebDoor::forget(HttpConnection *visitor)
{
    m_visitors.removeOne(visitor);
    visitor->disconnect(this);
    visitor->deleteLater();
    if (m_visitors.isEmpty())
        requesttimer.setEnabled(false);
}

void WebDoor::requesttimerTimer()
{
    const QList<HttpConnection *> all = m_visitors;
    for (HttpConnection *visitor : all)
        if (visitor->tick() > RequestSeconds)
            visitor->abort();   // finished: forgotten
    if (m_visitors.isEmpty())
        requesttimer.setEnabled(false);
}

// The page asks for its WebSocket: the connection leaves the visitors and
// the WebSocket server answers its handshake; it is watched for silence as
// the game's own connections are.
void WebDoor::upgradeAsked(HttpConnection *visitor)
{
    QTcpSocket *socket = visitor->takeSocket();
    forget(visitor);
    if (!socket)
        return;
    const int fd = int(socket->socketDescriptor());
    TcpSilence::watch(fd, Wire::KeepAliveIdle, Wire::KeepAliveInterval, Wire::KeepAliveCount);
    m_handles.insert({socket->peerAddress().toString(), socket->peerPort()}, fd);
    connect(socket, &QTcpSocket::disconnected, this,
            [this, key = qMakePair(socket->peerAddress().toString(), socket->peerPort())] { m_handles.remove(key); });
    m_sockets->handleConnection(socket);
}

void WebDoor::socketOpened()
{
    while (QWebSocket *socket = m_sockets->nextPendingConnection()) {
        const QPair<QString, quint16> key{socket->peerAddress().toString(), socket->peerPort()};
        const int fd = m_handles.contains(key) ? m_handles.take(key) : -1;
        m_server.admit(new WebSocketLink(socket, fd));
    }
}
