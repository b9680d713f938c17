#pragma once

#include "lobby/gameannouncer.h"

#include <QObject>
#include <QPointer>

class TServer;

// Announces the game a server hosts and keeps its TXT values in step with
// the server's table: who sits in seat 1, how many play and watch, whether a
// game runs. Used by a window that hosts for friends and by the dedicated
// server alike.
class HostAnnouncement : public QObject
{
    Q_OBJECT

public:
    explicit HostAnnouncement(QObject *parent = nullptr);

    void start(TServer *server, const QString &serviceName, quint16 port);
    void stop();
    bool isActive() const { return m_announcer.isAnnouncing(); }

    GameAnnouncer &announcer() { return m_announcer; }
    // The TXT values for a server's table now.
    static GameTxt txtOf(const TServer &server);

private:
    void scheduleUpdate();

    GameAnnouncer m_announcer;
    TServer *m_server = nullptr;
    QPointer<QObject> m_serverAlive;   // the server, while it exists
    QList<QMetaObject::Connection> m_connections;
    bool m_updatePending = false;
};
