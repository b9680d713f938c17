#include "lobby/hostannouncement.h"

#include "protocol/wire.h"
#include "server/tserver.h"

#include <QTimer>

HostAnnouncement::HostAnnouncement(QObject *parent) : QObject(parent) {}

GameTxt HostAnnouncement::txtOf(const TServer &server)
{
    const TServer::Census census = server.census();
    GameTxt txt;
    txt.version = Wire::Version;
    txt.host = QString::fromUtf8(census.host);
    txt.players = census.players;
    txt.spectators = census.spectators;
    txt.running = census.running;
    txt.runningKnown = true;
    return txt;
}

void HostAnnouncement::start(TServer *server, const QString &serviceName, quint16 port)
{
    stop();
    m_server = server;
    m_serverAlive = server;
    // Whatever changes the table: the values are read once the server has
    // finished with the message at hand.
    m_connections << connect(server, &TServer::playerJoined, this, &HostAnnouncement::scheduleUpdate)
                  << connect(server, &TServer::playerLeft, this, &HostAnnouncement::scheduleUpdate)
                  // A held seat is not counted as seated until its player is back.
                  << connect(server, &TServer::seatHeld, this, &HostAnnouncement::scheduleUpdate)
                  << connect(server, &TServer::seatRejoined, this, &HostAnnouncement::scheduleUpdate)
                  << connect(server, &TServer::holdEnded, this, &HostAnnouncement::scheduleUpdate)
                  << connect(server, &TServer::gameStarted, this, &HostAnnouncement::scheduleUpdate)
                  << connect(server, &TServer::winnerDeclared, this, &HostAnnouncement::scheduleUpdate);
    m_announcer.announce(serviceName, port, txtOf(*server));
}

void HostAnnouncement::stop()
{
    for (const QMetaObject::Connection &c : m_connections)
        disconnect(c);
    m_connections.clear();
    m_server = nullptr;
    m_serverAlive = nullptr;
    if (m_announcer.isAnnouncing())
        m_announcer.withdraw();
}

void HostAnnouncement::scheduleUpdate()
{
    if (m_updatePending)
        return;
    m_updatePending = true;
    QTimer::singleShot(0, this, [this] {
        m_updatePending = false;
        if (m_serverAlive && m_announcer.isAnnouncing())
            m_announcer.setTxt(txtOf(*m_server));
    });
}
