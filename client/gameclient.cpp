#include "client/gameclient.h"

#include "protocol/wire.h"
#include "server/tserver.h"
#include "shell/errorreport.h"

#include <algorithm>

using Wire::num;

namespace {

QString shown(const QByteArray &wireText)
{
    return QString::fromUtf8(wireText);
}

QByteArray wire(const QString &text)
{
    return text.toUtf8();
}

} // namespace

GameClient::GameClient(TServer *server, Ticker::Mode timers, QObject *parent)
    : QObject(parent),
      m_server(server),
      Timer1(10, timers, [this] { ErrorReport::guarded([this] { Timer1Timer(); }); }),
      turntime(1000, timers, [this] { ErrorReport::guarded([this] { turntimeTimer(); }); }),
      m_rejoin(timers)
{
    const char *const hints[] = {"", "", "Klot", "Klick", "Kling", "Klick", "Krazy"};
    for (int n = 1; n <= seatcount; ++n)
        m_rows[size_t(n)].hint = QString::fromLatin1(hints[n]);

    pending.setLimit(maxMessageBytes);
    sock.setPortName(m_gamePort);
    sock.OnRead = [this](TSock *s, int count) { sockRead(s, count); };
    sock.OnInfo = [this](TSock *s, TSock::TSocketInfo info, const QByteArray &msg) {
        sockInfo(s, info, msg);
    };

    receivedlist.on("CMD_sendlogininfo", [this](FieldReader &f, int) { sendloginfo(f); });
    receivedlist.on("CMD_chat", [this](FieldReader &f, int) { emit chatReceived(f.rest()); });
    receivedlist.on("CMD_action", [this](FieldReader &f, int) { emit chatReceived(f.rest()); });
    receivedlist.on("CMD_newplayerinfo", [this](FieldReader &f, int) { newplayerinfo(f); });
    receivedlist.on("CMD_existingplayers", [this](FieldReader &f, int) { newplayerinfo(f); });
    receivedlist.on("CMD_havewrongversion", [this](FieldReader &f, int) {
        line("0+" + f.rest() + " has a different version of the game then you.");
    });
    receivedlist.on("CMD_wrongversion", [this](FieldReader &, int) {
        line("0+You have a differnt version of the game then the host.");
    });
    receivedlist.on("CMD_playerdisconnected", [this](FieldReader &f, int) { playerdisconnected(f); });
    receivedlist.on("CMD_full", [this](FieldReader &, int) { full(); });
    receivedlist.on("CMD_justwatching", [this](FieldReader &f, int) { justwatching(f); });
    receivedlist.on("CMD_playasound", [this](FieldReader &f, int) { playasound(f.rest()); });
    connect(this, &GameClient::sound, this, [this](const QString &name) { m_sounds.playsounds(name); });
    registerGameHandlers();
    clearall();

    // The settings are read before anything else hears of the load.
    connect(this, &GameClient::settingsLoadRequested, &m_settings, &ClientSettings::loadinifile);
    connect(&m_settings, &ClientSettings::soundOptionsChanged, this, [this] {
        m_sounds.setPlaySounds(m_settings.playSounds());
        m_sounds.setChatterSounds(m_settings.chatterSounds());
        m_sounds.setTurnSoundNew(m_settings.turnSound() == 1);
    });
    connect(&m_settings, &ClientSettings::textColourChanged, this, [this](quint32 colour) {
        m_chatsender.setColour(colour);
        emit changed();
    });
    connect(&m_settings, &ClientSettings::phrasesLoaded, this, [this] {
        for (int n = 1; n <= PhraseButtons::Count; ++n)
            m_phrases.setLoadedPhrase(n, m_settings.phrase(n));
    });
    connect(&m_tileSets, &TileSets::tilesChanged, this, [this] {
        m_board.showSlotsPlain();
        emit changed();
    });
    // A connection lost during a game is made again; the server gives the
    // seat back and tells the window everything it shows.
    connect(&m_rejoin, &Reconnector::reconnecting, this, [this] {
        m_isconnected = false;
        m_activeseat = 0;
        m_panel.status = QStringLiteral("Connection lost. Reconnecting...");
        emit changed();
    });
    connect(&m_rejoin, &Reconnector::attempt, this, &GameClient::reconnect);
    connect(&m_rejoin, &Reconnector::reconnected, this, [this] { m_panel.status = QStringLiteral("Reconnected."); });
    connect(&m_rejoin, &Reconnector::gaveUp, this, [this] {
        m_connectionEnded = true;
        closeWhenDrained();
    });

    // The dispatch timer runs while messages wait or the phrase cooldown
    // counts; sockRead and a phrase start it.
    m_phrases.setOnCooling([this] { Timer1.wake(); });
}

GameClient::~GameClient() = default;

bool GameClient::send(const QByteArray &message)
{
    if (!m_isconnected || !sock.HandleValid())
        return false;
    sock.Send(message);
    return true;
}

void GameClient::say(const QByteArray &message)
{
    ErrorReport::guarded([&] { sock.Send(message); });
}

void GameClient::line(const QByteArray &text)
{
    emit chatLine(text);
}

// ------------------------------------------------------------- starting up

void GameClient::processparams(const QStringList &arguments, const QByteArray &soloName)
{
    m_startVisible = false;
    m_startEnabled = false;
    m_loginname.clear();
    if (arguments.isEmpty()) {
        line("0+Loading Solo Game..Please wait.");
        emit showDownload();
        m_hostaddress = "127.0.0.1";
        m_playername = soloName;
        if (m_server)
            m_server->Sock1.setBindAddress("127.0.0.1");   // nobody else joins a solo game
        hostpress();
        emit changed();
        return;
    }
    line("0+Loading Multi-player Game.. Please Wait.");
    m_playername = wire(arguments.value(0));
    if (arguments.size() >= 2)
        m_hostaddress = wire(arguments.value(1));
    if (arguments.size() >= 3) {
        if (arguments.at(2) == QLatin1String("true"))
            hostpress();
        else
            joinpress();
        // The lobby sees the game start and end by this connection alone.
        Sock11.setHostName("127.0.0.1");
        Sock11.setPortName(QByteArray::number(m_lobbyPort));
        ErrorReport::guarded([this] { Sock11.Open(); });
    }
    emit changed();
}

void GameClient::hostpress()
{
    if (!m_server) {
        // No server came up with the windows: nothing can listen.
        emit messageBox(QStringLiteral("Listen - Error Binding Socket"));
        return;
    }
    try {
        m_server->Sock1.setPortName(m_gamePort);
        m_server->Sock1.setListen(true);
    } catch (const ESockException &e) {
        emit messageBox(QString::fromLatin1(e.what()));
        return;
    }
    m_loginname = m_playername + Wire::Terminator;
    m_ishost = true;
    connectTo("127.0.0.1");
    m_startVisible = true;
    m_startEnabled = true;
    emit changed();
}

void GameClient::joinpress()
{
    m_loginname = m_playername + Wire::Terminator;
    connectTo(m_hostaddress);
    m_startVisible = false;
    m_startEnabled = false;
    emit changed();
}

void GameClient::connectTo(const QByteArray &host)
{
    ErrorReport::guarded([&] {
        sock.setPortName(m_gamePort);
        sock.setHostName(host);
        try {
            sock.Open();
            sock.setKeepAlive(Wire::KeepAliveIdle, Wire::KeepAliveInterval, Wire::KeepAliveCount);
        } catch (const ESockException &e) {
            emit connectFailed(e.what());   // the host's name is unknown
        }
    });
}

void GameClient::leaveGame()
{
    m_rejoin.stop();
    const TSock::TNotifyInfoEvent onInfo = sock.OnInfo;
    sock.OnInfo = nullptr;
    if (sock.HandleValid())
        sock.Close();
    sock.OnInfo = onInfo;
    pending.clear();
    receivedlist.discardFrom(0);
    m_isconnected = m_ishost = m_connectionEnded = m_closing = m_startVisible = m_startEnabled = false;
    m_myseat = m_activeseat = 0;
    for (SeatRow &r : m_rows) {
        const QString hint = r.hint;
        r = SeatRow();
        r.hint = hint;
    }
    m_spies.clear();
    m_board = BoardSelection();
    turntime.setEnabled(false);
    clearall();
    emit changed();
}

// One attempt to get back: what is left of the lost connection goes (its
// close is the reconnector's to hear), and the host is connected again.
void GameClient::reconnect()
{
    sock.Close();
    pending.clear();
    connectTo(m_hostaddress);
}

// A window whose own server runs the game has nothing to come back to.
bool GameClient::hostsHere() const
{
    return m_server && m_server->Sock1.Listen();
}

// ---------------------------------------------------------------- receiving

void GameClient::sockRead(TSock *sender, int)
{
    for (const QByteArray &message : pending.feed(sender->Receive()))
        receivedlist.enqueue(message);
    if (receivedlist.queued() > 0)
        Timer1.wake();
    // No server sends faster than a window handles its messages, but a
    // hostile one could: its flood is dropped with the connection.
    if (receivedlist.queued() > maxQueuedMessages) {
        receivedlist.discardFrom(0);
        sender->Close();
    }
}

void GameClient::sockInfo(TSock *sender, TSock::TSocketInfo info, const QByteArray &msg)
{
    // The connection's end ends the program: an orderly close, and equally a
    // reset or abort of a connection that was up, after which nothing more
    // could ever arrive. A refused connect leaves the window as it is.
    //
    // What the server said before it went is still handled first: a refused
    // player's "Game is full", a removed player's last lines.
    const bool closed = info == TSock::siClose && msg == "Socket Closed";
    const bool broken = info == TSock::siError && sender->Connected();
    if (info == TSock::siError && !sender->Connected() && !m_isconnected)
        emit connectFailed(msg);
    if (closed || broken) {
        if (m_rejoin.connectionLost(broken, !hostsHere()))
            return;
        m_connectionEnded = true;
        closeWhenDrained();
    }
}

void GameClient::closeWhenDrained()
{
    if (m_connectionEnded && receivedlist.queued() == 0 && !m_closing) {
        m_closing = true;
        emit closeRequested();
    }
}

void GameClient::Timer1Timer()
{
    processsocktimer();
    m_phrases.tick();
    if (receivedlist.queued() == 0 && m_phrases.phraseready())
        Timer1.setEnabled(false);
}

void GameClient::processsocktimer()
{
    if (receivedlist.dispatchOne()) {
        emit changed();
        closeWhenDrained();
    }
}

// ----------------------------------------------------------------- handlers

void GameClient::sendloginfo(FieldReader &fields)
{
    const int seat = fields.lastInteger();
    m_myseat = seat;
    m_isconnected = true;
    // Everybody present is named again after the login: a window that comes
    // back forgets who was here.
    forgetSeats();
    sock.Send(Wire::message("CMD_logininfo", {num(seat), Wire::Version, m_loginname}));
    // Seat 1 of a dedicated server: this player holds the host's rights there.
    if (seat == 1 && !m_ishost)
        grantHostRights();
    else if (seat != 1 && m_ishost && !hostsHere())
        m_ishost = m_startVisible = m_startEnabled = false;   // back in another seat
    m_rejoin.loggedIn();
    emit changed();
}

void GameClient::grantHostRights()
{
    m_ishost = true;
    m_startVisible = true;
    m_startEnabled = true;
}

void GameClient::forgetSeats()
{
    for (int seat = 1; seat <= seatcount; ++seat) {
        m_rows[size_t(seat)].name = QStringLiteral("<Waiting>");
        m_rows[size_t(seat)].eyes = false;
    }
    m_spies.clear();
    m_justWatch = false;
}

void GameClient::newplayerinfo(FieldReader &fields)
{
    const int seat = fields.integer();
    const QByteArray name = fields.rest();
    if (seat == m_myseat) {
        line("0+You are Connected.");
        if (!m_settingsLoaded) {
            m_settingsLoaded = true;
            emit settingsLoadRequested();
        }
    } else {
        line("0+" + name + " is Connected.");
    }
    if (ownsRow(seat)) {
        SeatRow &r = m_rows[size_t(seat)];
        r.name = shown(name);
        r.shown = true;
    } else if (isSpySeat(seat)) {
        // One entry per spectator seat: a seat announced again replaces its
        // entry, so the list never holds more than the three seats.
        const QString prefix = QString::number(seat) + QStringLiteral(": ");
        m_spies.erase(std::remove_if(m_spies.begin(), m_spies.end(),
                                     [&prefix](const QString &e) { return e.startsWith(prefix); }),
                      m_spies.end());
        m_spies.append(prefix + shown(name));
        line(seat == m_myseat ? QByteArray("0+You are spying.") : "0+" + name + " is spying.");
    }
    emit sound(QStringLiteral("entered"));
    emit changed();
}

void GameClient::playerdisconnected(FieldReader &fields)
{
    const int seat = fields.integer();
    const QByteArray name = fields.rest();
    if (ownsRow(seat)) {
        SeatRow &r = m_rows[size_t(seat)];
        if (r.name != QLatin1String("<Waiting>") && r.name != r.hint)
            line("0+" + wire(r.name) + " disconnected.");
        r.name = QStringLiteral("<Waiting>");
        r.eyes = false;
    } else {
        const QString entry = QString::number(seat) + QStringLiteral(": ") + shown(name);
        if (m_spies.removeOne(entry))
            line("0+" + name + " has left.");
    }
    emit changed();
}

void GameClient::justwatching(FieldReader &fields)
{
    const int seat = fields.integer();
    if (!ownsRow(seat))
        return;
    SeatRow &r = m_rows[size_t(seat)];
    const bool watching = fields.rest() == "1";
    if (seat == m_myseat)
        m_justWatch = watching;
    line("0+" + wire(r.name) + (watching ? " is just watching" : " is now playing again"));
    r.eyes = watching;
    emit changed();
}

void GameClient::full()
{
    emit messageBox(QStringLiteral("Game is full"));
    if (!m_closing) {
        m_closing = true;
        emit closeRequested();
    }
}

// ---------------------------------------------------------- player requests

void GameClient::JustWatch1Click()
{
    if (!m_isconnected || !ownsRow(m_myseat))
        return;
    send(Wire::message("CMD_justwatch", {num(m_myseat), m_justWatch ? "2" : "1"}));
}

KickMenu GameClient::label_playername1ContextPopup(int seat)
{
    KickMenu menu;
    menu.target = seat;
    menu.removeEnabled = menu.setWatchEnabled = menu.unsetWatchEnabled = m_ishost;
    if (ownsRow(seat) && m_rows[size_t(seat)].name == QLatin1String("<Waiting>"))
        menu.removeEnabled = false;
    return menu;
}

void GameClient::kicking(int seat)
{
    if (m_ishost && m_isconnected)
        send(Wire::message("CMD_kickhim", {num(m_myseat), num(seat), ""}));
}

void GameClient::kickSpy(const QString &entry)
{
    bool ok = false;
    const int seat = entry.left(entry.indexOf(QLatin1Char(':'))).toInt(&ok);
    if (ok)
        kicking(seat);
}

void GameClient::SettoJustWatch1Click(int seat)
{
    if (m_isconnected && ownsRow(seat))
        send(Wire::message("CMD_justwatch", {num(seat), "1"}));
}

void GameClient::UnsetJustWatch1Click(int seat)
{
    if (m_isconnected && ownsRow(seat))
        send(Wire::message("CMD_justwatch", {num(seat), "2"}));
}

// ------------------------------------------------------------- shouts

void GameClient::wave14Click(int tag)
{
    const QByteArray message = SoundCues::shoutMessage(tag, m_myseat, m_isconnected);
    if (!message.isEmpty())
        send(message);
}

// The name label of a seat exists for the seat texts "1" to "6" only.
void GameClient::playasound(const QByteArray &payload)
{
    const QByteArray text = m_sounds.playasound(payload, [this](const QByteArray &seat) -> std::optional<QString> {
        for (int s = 1; s <= seatcount; ++s)
            if (seat == num(s))
                return m_rows[size_t(s)].name;
        return std::nullopt;
    });
    if (!text.isEmpty())
        line(text);
}
