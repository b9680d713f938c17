#pragma once

#include <QByteArray>
#include <QObject>

class QTcpSocket;
class WebSite;

// One connection to the web door while it asks for the page's files, until
// it becomes a seat or ends. It holds at most one request head's worth of
// unread bytes (HttpRequest::MaxHeadBytes), answers its requests in turn,
// one at a time while earlier answers still wait to be taken, and counts the
// door's seconds since its last whole request.
class HttpConnection : public QObject
{
    Q_OBJECT

public:
    // Answers wait no further while this much is still to be sent.
    static constexpr int MaxUnsentBytes = 256 * 1024;

    // Takes over the socket.
    HttpConnection(QTcpSocket *socket, const WebSite &site, QObject *parent = nullptr);
    ~HttpConnection() override;

    QByteArray address() const { return m_address; }
    // One of the door's seconds has passed: answers the seconds since the
    // last whole request (or since the bytes of an answer last moved).
    int tick() { return ++m_idle; }
    // Cuts the connection.
    void abort();
    // Gives the socket up, its upgrade request still unread in it.
    QTcpSocket *takeSocket();

signals:
    // A whole request for the page's WebSocket that may be granted.
    void upgradeAsked(HttpConnection *self);
    // The connection has ended; the door lets it go.
    void finished(HttpConnection *self);

private:
    void serve();
    void answer(const QByteArray &bytes, bool close);
    void finishClosing();

    QTcpSocket *m_socket;
    const WebSite &m_site;
    QByteArray m_address;
    int m_idle = 0;
    bool m_closing = false;
    bool m_halfClosed = false;
    bool m_done = false;
};
