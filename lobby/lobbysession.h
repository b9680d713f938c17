#pragma once

#include "lobby/hostannouncement.h"
#include "lobby/joinaddress.h"
#include "lobby/joinattempt.h"
#include "protocol/ticker.h"

#include <QByteArrayList>
#include <QObject>
#include <QPointer>
#include <QString>

class GameClient;
class PageDoor;
class TServer;
struct FoundGame;

// How this copy plays: alone, as the host of a game for friends, or in
// another host's game. The session switches between them without a restart:
// it moves the server's listener between the loopback address (solo) and
// every address (hosting), announces a hosted game on the network, and
// connects the player's client anew where the player's name or the game
// changes. While it hosts, the page door (when the program has one) lets
// browsers take seats too. A join that fails is told in the player's words and leaves a
// solo game running, so the window always has a game.
class LobbySession : public QObject
{
    Q_OBJECT

public:
    enum Mode { Starting, Solo, Hosting, Joining, Joined };
    static constexpr int MaxNameLength = 24;
    // The settings key of the player's chosen name.
    static const QString NameKey;   // "Playername"

    LobbySession(GameClient &client, Ticker::Mode timers, QObject *parent = nullptr);

    void setServer(TServer *server);
    TServer *server() const;
    // The port this copy hosts on; also the usual port of an address typed
    // without one.
    void setGamePort(const QByteArray &port) { m_gamePort = port; }
    quint16 gamePort() const { return quint16(m_gamePort.toUInt()); }
    // The door that serves the browser page while hosting, on its port.
    void setPageDoor(PageDoor *door, quint16 port);
    PageDoor *pageDoor() const { return m_pageDoor; }
    // Why the page could not be served when hosting began; empty when it is
    // served or there is no door.
    QString pageError() const { return m_pageError; }
    // The machine's name in announcements; the system's host name unless set.
    void setMachineName(const QString &name) { m_machine = name; }
    QString machineName() const;

    // The command line: nothing for a solo game, or name, address and
    // "true" to host or anything else to join (the address may carry a
    // port).
    void start(const QStringList &arguments);

    // What the player chooses in the lobby window; false, with error(), when
    // it cannot be done.
    bool host(const QString &name);
    bool join(const QString &name, const QString &typedAddress);
    bool joinFound(const QString &name, const FoundGame &game);
    void playSolo();
    QString error() const { return m_error; }

    Mode mode() const { return m_mode; }
    // The player's name: the one last chosen, else the login name.
    QString playerName() const;
    // The name last chosen; empty before the player chose one.
    QString storedName() const;
    static QString loginName();
    // Why a name cannot be used; empty when it can.
    static QString nameError(const QString &name);

    // While hosting: the addresses friends type, with the port where it is
    // not the usual one, and the command line for each.
    QByteArrayList inviteAddresses() const;
    QString inviteCommand(const QByteArray &address) const;
    // While hosting with the page served: its address on each of the
    // machine's addresses ("http://192.0.2.7:7773/").
    QByteArrayList inviteLinks() const;
    HostAnnouncement &announcement() { return m_announcement; }
    JoinAttempt &attempt() { return m_attempt; }

    // Whether the client's connection ending belongs to a join attempt
    // (told by joinFailed) or to a game already left, rather than to the
    // game being played, whose end closes the window.
    bool absorbsClose();

signals:
    void changed();
    void joined();
    void joinFailed(const QString &text, const QString &detail);
    // A status line for the chat ("0+..."), as GameClient's chatLine.
    void chatLine(const QByteArray &line);

private:
    bool checkName(const QString &name);
    void rememberName(const QString &name);
    void connectTo(const QString &name, const QByteArray &host, quint16 port, const QString &shown);
    void restartSolo();
    void stopServer();
    void openPageDoor();
    void shutPageDoor();
    void failed(const QString &text, const QString &detail);
    void setMode(Mode mode);
    QString settingsPath() const;

    GameClient &m_client;
    TServer *m_server = nullptr;
    QPointer<QObject> m_serverAlive;   // the server, while it exists
    JoinAttempt m_attempt;
    PageDoor *m_pageDoor = nullptr;
    quint16 m_pagePort = 0;
    QString m_pageError;
    HostAnnouncement m_announcement;
    QByteArray m_gamePort = "7772";
    QString m_machine;
    QString m_error;
    Mode m_mode = Starting;
    bool m_fromLobby = false;
};
