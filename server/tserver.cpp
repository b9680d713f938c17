#include "server/tserver.h"

#include "protocol/wire.h"
#include "shell/errorreport.h"

using Wire::num;

TServer::TServer(QObject *parent, Ticker::Mode timers)
    : QObject(parent),
      socktimer(10, timers, [this] { ErrorReport::guarded([this] { socktimerTimer(); }); }),
      timer1(1000, timers, [this] { ErrorReport::guarded([this] { timer1Timer(); }); }),
      logintimer(1000, timers, [this] { ErrorReport::guarded([this] { logintimerTimer(); }); })
{
    setObjectName(QStringLiteral("TServer"));
    const char *const defaults[] = {"Klot", "Klock", "Kling", "Klick", "Krazy"};
    for (int n = 2; n <= seatcount; ++n)
        seats[size_t(n)].defaultname = defaults[n - 2];

    Sock1.setPortName("7772");
    Sock1.OnAccept = [this](TSock *s) { Sock1Accept(s); };
    Sock1.OnRead = [this](TSock *s, int count) { Sock1Read(s, count); };
    tempsock.OnDisconnect = [this](TSock *s) { tempsockDisconnect(s); };
    tempsock.OnInfo = [this](TSock *s, TSock::TSocketInfo info, const QByteArray &msg) {
        tempsockInfo(s, info, msg);
    };

    route("CMD_logininfo", &TServer::receivedlogininfo);
    route("CMD_kickhim", &TServer::kickhim);
    route("CMD_justwatch", &TServer::justwatch);
    route("CMD_chat", &TServer::chat);
    route("CMD_action", &TServer::action);
    route("CMD_playasound", &TServer::playasound);
    route("CMD_startgame", &TServer::startgame);
    route("CMD_myword", &TServer::myword);
    // The dispatch timer runs only while messages wait (Sock1Read starts it).
}

TServer::~TServer()
{
    closeAll();
}

void TServer::route(const QByteArray &command, void (TServer::*handler)(FieldReader &, int))
{
    receivedlist.on(command, [this, handler](FieldReader &fields, int connection) {
        const int seat = seatOfConnection(connection);
        if (seat != 0)
            (this->*handler)(fields, seat);
    });
}

int TServer::seatOfConnection(int connection) const
{
    for (int n = 1; n <= maxSeats; ++n)
        if (seats[size_t(n)].connected && seats[size_t(n)].connection == connection)
            return n;
    return 0;
}

void TServer::closeAll()
{
    timer1.setEnabled(false);
    m_gameinprogress = false;
    logintimer.setEnabled(false);
    for (Seat &s : seats) {
        delete s.sock;   // closes the handle without running any handler
        s.sock = nullptr;
        s.connected = false;
        s.name.clear();
    }
    if (Sock1.Listen()) {
        Sock1.OnInfo = nullptr;
        Sock1.setListen(false);
    }
}

TServer::Census TServer::census() const
{
    Census c;
    c.running = m_gameinprogress;
    for (int n = 1; n <= maxSeats; ++n) {
        const Seat &s = seats[size_t(n)];
        if (!s.connected || !s.loggedin)
            continue;
        if (n == 1)
            c.host = s.name;
        ++(n <= seatcount ? c.players : c.spectators);
    }
    return c;
}

// ---------------------------------------------------------------- sending

void TServer::sendTo(int seat, const QByteArray &message)
{
    Seat &s = seats[size_t(seat)];
    if (!s.connected || !s.sock || !s.sock->HandleValid())
        return;
    s.sock->Send(message);
    // A peer that stops reading would keep everything sent to it in the
    // host's memory: past the bound it is dropped as if removed.
    if (s.sock->OutboundCount() > maxOutboundBytes)
        disconnectsock(seat);
}

void TServer::sendToAll(const QByteArray &message)
{
    for (int n = 1; n <= m_seatsused; ++n)
        sendTo(n, message);
}

// ------------------------------------------------------------ connections

void TServer::Sock1Accept(TSock *sender)
{
    int seat = 0;
    if (m_seatsused == 0)
        seat = m_seatsused = 1;
    for (int n = 1; n <= m_seatsused && seat == 0; ++n)
        if (!seats[size_t(n)].connected)
            seat = n;
    if (seat == 0 && m_seatsused < maxSeats)
        seat = ++m_seatsused;

    TSock *accepted = nullptr;
    if (!sender->Accept(accepted))
        return;
    if (seat == 0) {
        // Every seat is taken: tell the tenth connection and let it go.
        accepted->OnInfo = nullptr;
        accepted->Send(Wire::message("CMD_full", {""}));
        delete accepted;
        return;
    }

    Seat &s = seats[size_t(seat)];
    s.sock = accepted;
    s.connected = true;
    s.pending.clear();
    s.pending.setLimit(maxPendingBytes);
    s.connection = ++m_connections;
    s.loggedin = false;
    s.loginWait = 0;
    if (!logintimer.enabled())
        logintimer.setEnabled(true);
    accepted->setKeepAlive(keepAliveIdle, keepAliveInterval, keepAliveCount);
    accepted->Tag = seat;
    accepted->OnDisconnect = tempsock.OnDisconnect;
    accepted->OnInfo = tempsock.OnInfo;
    accepted->OnRead = [this](TSock *sock, int count) { Sock1Read(sock, count); };
    accepted->Send(Wire::message("CMD_sendlogininfo", {num(seat)}));
}

void TServer::Sock1Read(TSock *sender, int)
{
    const int seat = sender->Tag;
    if (!validSeat(seat) || seats[size_t(seat)].sock != sender)
        return;
    Seat &s = seats[size_t(seat)];
    // A message longer than the bound is thrown away as it arrives (a long
    // pasted text, say); the connection and its later messages stay.
    for (const QByteArray &message : s.pending.feed(sender->Receive()))
        receivedlist.enqueue(message, s.connection);
    if (receivedlist.queued() > 0)
        socktimer.wake();
    // A connection that sends faster than the server hands its messages out
    // is dropped before it can eat the host's memory, and its flood with it.
    if (receivedlist.queuedFrom(s.connection) > maxQueuedMessages)
        disconnectsock(seat);
}

void TServer::tempsockDisconnect(TSock *sender)
{
    const int seat = sender->Tag;
    if (validSeat(seat) && seats[size_t(seat)].sock == sender)
        disconnectsock(seat);
}

void TServer::tempsockInfo(TSock *sender, TSock::TSocketInfo info, const QByteArray &msg)
{
    const int seat = sender->Tag;
    if (!validSeat(seat) || seats[size_t(seat)].sock != sender)
        return;
    if (info == TSock::siClose && msg == "Socket Closed")
        freeSeat(seat);
    else if (info == TSock::siError && seats[size_t(seat)].connected)
        disconnectsock(seat);   // reset or aborted: the seat is freed like any other
}

void TServer::disconnectsock(int seat)
{
    Seat &s = seats[size_t(seat)];
    if (s.connected && s.sock)
        s.sock->Close();
}

void TServer::freeSeat(int seat)
{
    Seat &s = seats[size_t(seat)];
    if (!s.connected)
        return;
    const QByteArray name = s.name;
    s.connected = false;
    for (int n = 1; n <= m_seatsused; ++n)
        if (n != seat)
            sendTo(n, Wire::message("CMD_playerdisconnected", {num(seat), name}));
    s.name.clear();
    s.watching = false;
    s.loggedin = false;
    s.pending.clear();
    receivedlist.discardFrom(s.connection);
    s.sock->deleteLater();
    s.sock = nullptr;
    emit playerLeft(seat, name);
}

// ---------------------------------------------------------------- messages

void TServer::receivedlogininfo(FieldReader &fields, int origin)
{
    const int seat = fields.integer();
    const QByteArray version = fields.text();
    const QByteArray name = fields.rest();
    if (seat != origin || !validSeat(seat) || !seats[size_t(seat)].connected)
        return;
    seats[size_t(seat)].name = name;
    seats[size_t(seat)].loggedin = true;

    sendToAll(Wire::message("CMD_newplayerinfo", {num(seat), name}));
    for (int n = 1; n <= m_seatsused; ++n)
        if (n != seat && seats[size_t(n)].connected)
            sendTo(seat, Wire::message("CMD_existingplayers", {num(n), seats[size_t(n)].name}));

    if (version != Wire::Version) {
        sendTo(1, Wire::message("CMD_havewrongversion", {name}));
        sendTo(seat, Wire::message("CMD_wrongversion", {""}));
    }
    if (m_gameinprogress)
        sendUpdateTo(seat);
    emit playerJoined(seat, name);
}

// Brings a newcomer into the game that is being played.
void TServer::sendUpdateTo(int seat)
{
    sendTo(seat, m_board.loadboardMessage(m_roundnumber));
    sendTo(seat, m_board.thewordMessage());
    const bool mayPlay = timer1.Tag == 1 && seat <= seatcount;
    QByteArray stats = QByteArray(mayPlay ? "t" : "f") + '+' + num(m_playtoscore) + '+'
                       + num(m_timeperturn) + '+' + num(m_countdown - 4) + '+'
                       + (m_scrambled ? "t" : "f");
    for (int n = 1; n <= seatcount; ++n) {
        const Seat &s = seats[size_t(n)];
        stats += '+' + num(n) + '+' + num(s.score) + '+' + num(s.bonus) + '+' + (s.found ? "t" : "f");
    }
    sendTo(seat, Wire::message("CMD_loadstats", {stats}));
}

void TServer::kickhim(FieldReader &fields, int origin)
{
    const int sender = fields.integer();
    const int target = fields.integer();
    if (sender == 1 && origin == 1 && validSeat(target))
        disconnectsock(target);
}

void TServer::justwatch(FieldReader &fields, int origin)
{
    const int seat = fields.integer();
    const QByteArray state = fields.rest();
    // Players set themselves; the host may set anybody.
    if (seat < 1 || seat > seatcount || (seat != origin && origin != 1))
        return;
    if (state == "2") {
        seats[size_t(seat)].watching = false;
        sendToAll(Wire::message("CMD_justwatching", {num(seat), "2"}));
    } else if (state == "1" && m_gameinprogress) {
        seats[size_t(seat)].watching = true;
        sendToAll(Wire::message("CMD_justwatching", {num(seat), "1"}));
    }
}

void TServer::chat(FieldReader &fields, int origin)
{
    const int seat = fields.integer();
    if (seat != origin || !validSeat(seat))
        return;
    sendToAll(Wire::message("CMD_chat", {num(seat), seats[size_t(seat)].name + " chats: " + fields.rest()}));
}

void TServer::action(FieldReader &fields, int origin)
{
    const int seat = fields.integer();
    if (seat != origin || !validSeat(seat))
        return;
    sendToAll(Wire::message("CMD_action", {num(seat), seats[size_t(seat)].name + ' ' + fields.rest()}));
}

void TServer::playasound(FieldReader &fields, int origin)
{
    const int seat = fields.integer();
    if (seat != origin || !validSeat(seat))
        return;
    sendToAll(Wire::message("CMD_playasound", {num(seat), fields.rest()}));
}

void TServer::logintimerTimer()
{
    bool waiting = false;
    for (int n = 1; n <= maxSeats; ++n) {
        Seat &s = seats[size_t(n)];
        if (!s.connected || s.loggedin)
            continue;
        if (++s.loginWait > loginTimeout)
            disconnectsock(n);
        else
            waiting = true;
    }
    if (!waiting)
        logintimer.setEnabled(false);
}

void TServer::socktimerTimer()
{
    receivedlist.dispatchOne();
    // An empty queue leaves nothing to tick for until the next message.
    if (receivedlist.queued() == 0)
        socktimer.setEnabled(false);
}
