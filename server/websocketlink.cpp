#include "server/websocketlink.h"

#include "server/peeraddress.h"
#include "server/tserver.h"

#include <QTimer>
#include <QWebSocket>

WebSocketLink::WebSocketLink(QWebSocket *socket, int fd, QObject *parent)
    : SeatLink(parent), m_socket(socket), m_fd(fd)
{
    m_socket->setParent(this);
    m_address = peerAddressText(m_socket->peerAddress());
    // A message may be as long as the TCP side allows, with its terminator.
    const quint64 longest = quint64(TServer::maxPendingBytes) + 1;
    m_socket->setMaxAllowedIncomingFrameSize(longest);
    m_socket->setMaxAllowedIncomingMessageSize(longest);
    connect(m_socket, &QWebSocket::binaryMessageReceived, this, &WebSocketLink::take);
    connect(m_socket, &QWebSocket::textMessageReceived, this,
            [this](const QString &text) { take(text.toUtf8()); });
    connect(m_socket, &QWebSocket::disconnected, this, &WebSocketLink::ended);
}

WebSocketLink::~WebSocketLink()
{
    // Going with the link, the socket tells nobody here.
    if (m_socket)
        m_socket->disconnect(this);
}

int WebSocketLink::closeCode(Reason why)
{
    switch (why) {
    case Removed: return CloseRemoved;
    case Full: return CloseFull;
    case BrokeBound: return 1008;
    case Ended: break;
    }
    return 1000;
}

bool WebSocketLink::isOpen() const
{
    return !m_closed && m_socket && m_socket->isValid();
}

void WebSocketLink::send(const QByteArray &messages)
{
    if (isOpen())
        m_socket->sendBinaryMessage(messages);
}

qint64 WebSocketLink::outboundBytes() const
{
    return m_socket ? m_socket->bytesToWrite() : 0;
}

QByteArray WebSocketLink::receive()
{
    QByteArray all;
    all.swap(m_inbound);
    return all;
}

int WebSocketLink::handle() const
{
    return isOpen() ? m_fd : -1;
}

void WebSocketLink::take(const QByteArray &bytes)
{
    if (m_closed)
        return;
    m_inbound += bytes;
    emit received();
}

void WebSocketLink::close(Reason why)
{
    if (m_closed)
        return;
    m_closed = true;
    QWebSocket *socket = release();
    // A peer that reads nothing would never take the close frame either.
    if (why == BrokeBound && socket->bytesToWrite() > TServer::maxOutboundBytes)
        socket->abort();
    else
        socket->close(static_cast<QWebSocketProtocol::CloseCode>(closeCode(why)));
    emit closed();
}

void WebSocketLink::ended()
{
    if (m_closed)
        return;
    m_closed = true;
    release();
    emit closed();
}

QWebSocket *WebSocketLink::release()
{
    QWebSocket *socket = m_socket;
    m_socket = nullptr;
    socket->disconnect(this);
    socket->setParent(nullptr);
    connect(socket, &QWebSocket::disconnected, socket, &QObject::deleteLater);
    QTimer::singleShot(LingerMs, socket, [socket] {
        socket->abort();
        socket->deleteLater();
    });
    if (socket->state() == QAbstractSocket::UnconnectedState)
        socket->deleteLater();
    return socket;
}
