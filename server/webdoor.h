#pragma once

#include "lobby/pagedoor.h"
#include "protocol/ticker.h"
#include "server/website.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>

class HttpConnection;
class QTcpServer;
class QWebSocketServer;
class TServer;

// The host's web port (7773): it serves the browser page's files from the
// fixed table and turns the page's WebSocket requests into seats of the
// server, which then treats them as any other seat.
//
// Bounded for an open network: at most MaxVisitors connections waiting on
// the page's files at once (MaxVisitorsPerAddress from any one address), each
// holding one request head at most, and each closed when it has not sent a
// whole request for RequestSeconds; the clock is a once-a-second tick that
// runs while any connection waits (Ticker::Manual leaves it to the owner).
class WebDoor : public QObject, public PageDoor
{
    Q_OBJECT

public:
    static constexpr int RequestSeconds = 10;
    static constexpr int MaxVisitors = 64;
    static constexpr int MaxVisitorsPerAddress = 16;

    WebDoor(TServer &server, Ticker::Mode timers = Ticker::Running, QObject *parent = nullptr);
    ~WebDoor() override;

    // Listens on the port (0: any free one) at the numeric address, or
    // every address when it is empty; false with error() when it cannot.
    bool open(quint16 port, const QByteArray &bindAddress = QByteArray());
    // A door that serves on a socket that listens already (the one the
    // program opened before it loaded the door), which it then owns; null
    // with the reason in error when it is no listening socket (the socket
    // stays the caller's).
    static WebDoor *onSocket(TServer &server, Ticker::Mode timers, int listeningSocket, QString &error,
                             QObject *parent);
    void close();
    bool isOpen() const;
    quint16 port() const;
    QString error() const { return m_error; }

    // Connections that have not become seats.
    int visitors() const { return int(m_visitors.size()); }
    const WebSite &site() const { return m_site; }

    // Once a second while visitors wait: ends those that have waited too long.
    void requesttimerTimer();
    bool requesttimerEnabled() const { return requesttimer.enabled(); }

    // PageDoor.
    bool openDoor(quint16 port, QString &error) override;
    void shutDoor() override { close(); }
    bool doorOpen() const override { return isOpen(); }
    quint16 doorPort() const override { return port(); }

private:
    // Serves on a socket that listens already, which it then owns.
    bool adopt(int listeningSocket);
    void visitorArrived();
    void upgradeAsked(HttpConnection *visitor);
    void socketOpened();
    void forget(HttpConnection *visitor);
    int visitorsFrom(const QByteArray &address) const;

    TServer &m_server;
    WebSite m_site;
    QTcpServer *m_listener;
    QWebSocketServer *m_sockets;
    QList<HttpConnection *> m_visitors;
    // The system's handle of each connection handed to the WebSocket
    // server, by its peer's address and port, until it opens.
    QHash<QPair<QString, quint16>, int> m_handles;
    Ticker requesttimer;
    QString m_error;
};
