#include "server/httpconnection.h"

#include "server/httprequest.h"
#include "server/peeraddress.h"
#include "server/website.h"

#include <QTcpSocket>

#include <sys/socket.h>

HttpConnection::HttpConnection(QTcpSocket *socket, const WebSite &site, QObject *parent)
    : QObject(parent), m_socket(socket), m_site(site)
{
    m_socket->setParent(this);
    // The socket takes no more from the system than one head can hold.
    m_socket->setReadBufferSize(HttpRequest::MaxHeadBytes);
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_address = peerAddressText(m_socket->peerAddress());
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpConnection::serve);
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        m_idle = 0;   // the answer moves: the visitor reads
        if (m_closing)
            finishClosing();
        else
            serve();
    });
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        if (!m_done) {
            m_done = true;
            emit finished(this);
        }
    });
}

HttpConnection::~HttpConnection()
{
    if (m_socket)
        m_socket->disconnect(this);
}

void HttpConnection::abort()
{
    if (m_socket)
        m_socket->abort();   // disconnected: finished
    if (!m_done) {
        m_done = true;
        emit finished(this);
    }
}

QTcpSocket *HttpConnection::takeSocket()
{
    QTcpSocket *socket = m_socket;
    m_socket = nullptr;
    m_done = true;
    if (socket) {
        socket->disconnect(this);
        socket->setParent(nullptr);
        socket->setReadBufferSize(0);
    }
    return socket;
}

void HttpConnection::serve()
{
    if (m_closing && m_socket) {
        m_socket->skip(m_socket->bytesAvailable());   // read and forgotten
        return;
    }
    while (m_socket && !m_closing && !m_done) {
        if (m_socket->bytesToWrite() > MaxUnsentBytes)
            return;   // the rest waits until the visitor has taken more
        const HttpRequest request = HttpRequest::parse(m_socket->peek(HttpRequest::MaxHeadBytes));
        if (request.status() == HttpRequest::Incomplete)
            return;
        if (request.status() != HttpRequest::Complete) {
            answer(m_site.refusal(request.status()).bytes, true);
            return;
        }
        if (request.asksUpgrade()) {
            const WebSite::Answer refused = m_site.upgradeRefusal(request);
            if (refused.status != 0)
                answer(refused.bytes, true);
            else
                emit upgradeAsked(this);   // the head stays for the WebSocket's handshake
            return;
        }
        m_socket->read(request.headLength());
        m_idle = 0;
        const WebSite::Answer a = m_site.answer(request);
        answer(a.bytes, a.close);
    }
}

void HttpConnection::answer(const QByteArray &bytes, bool close)
{
    m_socket->write(bytes);
    if (close) {
        m_closing = true;
        m_socket->skip(m_socket->bytesAvailable());
    }
}

// Once the last answer is out, this end stops sending and the visitor's
// close ends the connection. Closed at once with bytes of the visitor's
// still unread, the system would reset it and the visitor could lose the
// answer; whatever it still sends is read and forgotten meanwhile, and the
// door's clock ends a visitor that never closes.
void HttpConnection::finishClosing()
{
    if (m_socket && m_socket->bytesToWrite() == 0 && !m_halfClosed) {
        m_halfClosed = true;
        ::shutdown(int(m_socket->socketDescriptor()), SHUT_WR);
    }
}
