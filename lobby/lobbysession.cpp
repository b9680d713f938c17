#include "lobby/lobbysession.h"

#include "client/gameclient.h"
#include "lobby/foundgames.h"
#include "lobby/hostaddresses.h"
#include "lobby/pagedoor.h"
#include "server/tserver.h"
#include "settings/clientsettings.h"
#include "settings/inifile.h"

#include <QSysInfo>

#include <pwd.h>
#include <unistd.h>

const QString LobbySession::NameKey = QStringLiteral("Playername");

LobbySession::LobbySession(GameClient &client, Ticker::Mode timers, QObject *parent)
    : QObject(parent), m_client(client), m_attempt(timers)
{
    connect(&m_client, &GameClient::connectFailed, &m_attempt, &JoinAttempt::socketFailed);
    connect(&m_client, &GameClient::messageBox, this, [this](const QString &text) {
        if (text == QLatin1String("Game is full") && m_attempt.isWaiting() && m_fromLobby) {
            const QString why = QStringLiteral("The game at %1 is full.").arg(m_attempt.address());
            m_attempt.cancel();
            QMetaObject::invokeMethod(this, [this, why, text] { failed(why, text); }, Qt::QueuedConnection);
        }
    });
    connect(&m_client, &GameClient::changed, this, [this] {
        if (m_mode == Joining && m_client.isconnected()) {
            m_attempt.succeeded();
            setMode(Joined);
            emit joined();
        }
    });
    // A failure is often reported from inside the socket's own handlers; the
    // client is set up anew once they have returned.
    connect(&m_attempt, &JoinAttempt::failed, this, &LobbySession::failed, Qt::QueuedConnection);
}

void LobbySession::setServer(TServer *server)
{
    m_server = server;
    m_serverAlive = server;
}

TServer *LobbySession::server() const
{
    return m_serverAlive ? m_server : nullptr;
}

void LobbySession::setPageDoor(PageDoor *door, quint16 port)
{
    m_pageDoor = door;
    m_pagePort = port;
}

QString LobbySession::machineName() const
{
    return m_machine.isEmpty() ? QSysInfo::machineHostName() : m_machine;
}

QString LobbySession::settingsPath() const
{
    return m_client.settings().path();
}

QString LobbySession::storedName() const
{
    const QString name = IniFile(settingsPath()).readString(ClientSettings::Section, NameKey).trimmed();
    return nameError(name).isEmpty() ? name : QString();
}

QString LobbySession::loginName()
{
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty())
        if (const passwd *user = getpwuid(getuid()))
            name = QString::fromLocal8Bit(user->pw_name);
    return name.left(MaxNameLength);
}

QString LobbySession::playerName() const
{
    const QString stored = storedName();
    return stored.isEmpty() ? loginName() : stored;
}

QString LobbySession::nameError(const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return QStringLiteral("Type your name first.");
    if (trimmed.size() > MaxNameLength)
        return QStringLiteral("A name has at most %1 characters.").arg(MaxNameLength);
    for (QChar c : trimmed)
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return QStringLiteral("A name cannot hold control characters.");
    return QString();
}

bool LobbySession::checkName(const QString &name)
{
    m_error = nameError(name);
    return m_error.isEmpty();
}

void LobbySession::rememberName(const QString &name)
{
    IniFile ini(settingsPath());
    ini.writeString(ClientSettings::Section, NameKey, name.trimmed());
    // The window's placement and options go to the file before the client
    // connects anew and reads them back.
    m_client.settings().saveinifile();
}

void LobbySession::setMode(Mode mode)
{
    m_mode = mode;
    emit changed();
}

// ---------------------------------------------------------------- start-up

void LobbySession::start(const QStringList &arguments)
{
    m_client.setGamePort(m_gamePort);
    if (arguments.isEmpty()) {
        const QString stored = storedName();
        m_client.processparams(arguments, stored.isEmpty() ? QByteArray("You") : stored.toUtf8());
        setMode(Solo);
        return;
    }
    QStringList args = arguments;
    const bool hosting = args.size() >= 3 && args.at(2) == QLatin1String("true");
    const bool joining = args.size() >= 3 && !hosting;
    if (joining) {
        // The address may name its port; one that cannot be read is looked
        // up as it stands and fails there.
        const JoinAddress address = JoinAddress::parse(args.at(1), gamePort());
        if (address.isValid()) {
            args[1] = QString::fromLatin1(address.host());
            m_client.setGamePort(QByteArray::number(address.port()));
        }
        m_fromLobby = false;
        m_attempt.begin(address.isValid() ? address.text() : args.at(1).trimmed());
        setMode(Joining);
    }
    if (hosting && server())
        server()->Sock1.setBindAddress(QByteArray());   // friends join from anywhere
    m_client.processparams(args);
    if (hosting && server() && server()->Sock1.Listen()) {
        m_announcement.start(server(), GameAnnouncer::serviceName(args.at(0), machineName()), gamePort());
        openPageDoor();
        setMode(Hosting);
    }
}

// ----------------------------------------------------------------- choices

bool LobbySession::host(const QString &name)
{
    if (!checkName(name))
        return false;
    if (!server()) {
        m_error = QStringLiteral("This copy of the game cannot host.");
        return false;
    }
    const QString player = name.trimmed();
    rememberName(player);
    m_attempt.cancel();
    // Playing solo under the same name: the seats and any game stay, only
    // the door opens. Otherwise the player takes seat 1 of a fresh table.
    const bool keepTable = (m_mode == Solo || m_mode == Hosting) && m_client.isconnected()
                           && m_client.playername() == player.toUtf8();
    if (!keepTable) {
        m_announcement.stop();
        m_client.leaveGame();
        server()->closeAll();
    }
    TSock &door = server()->Sock1;
    if (door.Listen())
        door.setListen(false);
    door.setBindAddress(QByteArray());
    door.setPortName(m_gamePort);
    try {
        door.setListen(true);
    } catch (const ESockException &e) {
        door.Close();
        restartSolo();
        m_error = QStringLiteral("Another program uses port %1, so this copy cannot host a game there (%2).")
                      .arg(QString::fromLatin1(m_gamePort), QString::fromLatin1(e.what()));
        return false;
    }
    if (!keepTable) {
        m_client.setGamePort(m_gamePort);
        m_client.setPlayername(player.toUtf8());
        m_client.setHostaddress("127.0.0.1");
        m_client.hostpress();
    }
    m_announcement.start(server(), GameAnnouncer::serviceName(player, machineName()), gamePort());
    openPageDoor();
    emit chatLine("0+Hosting a game for friends as " + player.toUtf8() + '.');
    setMode(Hosting);
    return true;
}

bool LobbySession::join(const QString &name, const QString &typedAddress)
{
    if (!checkName(name))
        return false;
    const JoinAddress address = JoinAddress::parse(typedAddress, gamePort());
    if (!address.isValid()) {
        m_error = address.error();
        return false;
    }
    connectTo(name.trimmed(), address.host(), address.port(), address.text());
    return true;
}

bool LobbySession::joinFound(const QString &name, const FoundGame &game)
{
    if (!checkName(name))
        return false;
    QString shown = game.machine.isEmpty() ? QString::fromLatin1(game.address) : game.machine;
    if (game.port != gamePort())
        shown += QLatin1Char(':') + QString::number(game.port);
    connectTo(name.trimmed(), game.address, game.port, shown);
    return true;
}

void LobbySession::connectTo(const QString &name, const QByteArray &host, quint16 port, const QString &shown)
{
    rememberName(name);
    m_error.clear();
    m_announcement.stop();
    m_client.leaveGame();
    stopServer();
    emit chatLine("0+Joining the game at " + shown.toUtf8() + "...");
    m_client.setGamePort(QByteArray::number(port));
    m_client.setPlayername(name.toUtf8());
    m_client.setHostaddress(host);
    m_fromLobby = true;
    setMode(Joining);
    m_attempt.begin(shown);
    m_client.joinpress();
}

void LobbySession::playSolo()
{
    if (m_mode != Solo)
        restartSolo();
}

void LobbySession::stopServer()
{
    shutPageDoor();
    if (!server())
        return;
    server()->closeAll();
}

// Browsers take seats in a hosted game; a port that another program holds
// leaves the game to the windows and says why.
void LobbySession::openPageDoor()
{
    m_pageError.clear();
    if (!m_pageDoor || m_pageDoor->doorOpen())
        return;
    QString why;
    if (!m_pageDoor->openDoor(m_pagePort, why))
        m_pageError = QStringLiteral("Browsers cannot join: port %1 is not free (%2).").arg(m_pagePort).arg(why);
}

void LobbySession::shutPageDoor()
{
    m_pageError.clear();
    if (m_pageDoor)
        m_pageDoor->shutDoor();
}

void LobbySession::restartSolo()
{
    m_announcement.stop();
    m_attempt.cancel();
    m_client.leaveGame();
    stopServer();
    const QString stored = storedName();
    m_client.setGamePort(m_gamePort);
    m_client.setPlayername(stored.isEmpty() ? QByteArray("You") : stored.toUtf8());
    m_client.setHostaddress("127.0.0.1");
    if (server())
        server()->Sock1.setBindAddress("127.0.0.1");
    emit chatLine("0+Playing solo.");
    m_client.hostpress();
    setMode(Solo);
}

void LobbySession::failed(const QString &text, const QString &detail)
{
    m_attempt.cancel();
    if (!m_fromLobby) {
        // Started from the command line: the window stays as it is and says why.
        emit chatLine("0+" + text.toUtf8() + " (" + detail.toUtf8() + ')');
        return;
    }
    m_fromLobby = false;
    restartSolo();
    m_error = text;
    emit joinFailed(text, detail);
}

bool LobbySession::absorbsClose()
{
    if (m_mode == Joining && m_fromLobby) {
        m_attempt.socketFailed("Socket Closed");
        return true;
    }
    // A solo game's own connection does not end; what arrives here is the
    // end of a connection already left behind.
    return m_mode == Solo;
}

// ------------------------------------------------------------- invitations

QByteArrayList LobbySession::inviteAddresses() const
{
    QByteArrayList out;
    for (const QByteArray &address : HostAddresses::reachable()) {
        // Typed as the join field reads it.
        if (m_gamePort == "7772")
            out << address;
        else if (address.contains(':'))
            out << '[' + address + "]:" + m_gamePort;
        else
            out << address + ':' + m_gamePort;
    }
    return out;
}

QByteArrayList LobbySession::inviteLinks() const
{
    if (m_mode != Hosting || !m_pageDoor || !m_pageDoor->doorOpen())
        return {};
    return HostAddresses::pageLinks(m_pageDoor->doorPort());
}

QString LobbySession::inviteCommand(const QByteArray &address) const
{
    return QStringLiteral("zarvex NAME %1 join").arg(QString::fromLatin1(address));
}
