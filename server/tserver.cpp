#include "server/tserver.h"

#include "protocol/tsocklink.h"
#include "protocol/wire.h"
#include "shell/errorreport.h"

using Wire::num;

TServer::TServer(QObject *parent, Ticker::Mode timers)
    : QObject(parent),
      socktimer(10, timers, [this] { ErrorReport::guarded([this] { socktimerTimer(); }); }),
      timer1(1000, timers, [this] { ErrorReport::guarded([this] { timer1Timer(); }); }),
      logintimer(1000, timers, [this] { ErrorReport::guarded([this] { logintimerTimer(); }); }),
      holdtimer(1000, timers, [this] { ErrorReport::guarded([this] { holdtimerTimer(); }); })
{
    setObjectName(QStringLiteral("TServer"));
    const char *const defaults[] = {"Klot", "Klock", "Kling", "Klick", "Krazy"};
    for (int n = 2; n <= seatcount; ++n)
        seats[size_t(n)].defaultname = defaults[n - 2];

    Sock1.setPortName("7772");
    Sock1.OnAccept = [this](TSock *s) { Sock1Accept(s); };

    route("CMD_logininfo", &TServer::receivedlogininfo);
    route("CMD_kickhim", &TServer::kickhim);
    route("CMD_justwatch", &TServer::justwatch);
    route("CMD_chat", &TServer::chat);
    route("CMD_action", &TServer::action);
    route("CMD_playasound", &TServer::playasound);
    route("CMD_startgame", &TServer::startgame);
    route("CMD_myword", &TServer::myword);
    // The dispatch timer runs only while messages wait (seatRead starts it).
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
    holdtimer.setEnabled(false);
    m_holds.clear();
    for (Seat &s : seats) {
        delete s.link;   // closes the connection without running any handler
        s.link = nullptr;
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
    if (!s.connected || !s.link || !s.link->isOpen())
        return;
    s.link->send(message);
    // A peer that stops reading would keep everything sent to it in the
    // host's memory: past the bound it is dropped as if removed.
    if (s.link->outboundBytes() > maxOutboundBytes)
        removeSeat(seat, SeatLink::BrokeBound);
}

void TServer::sendToAll(const QByteArray &message)
{
    for (int n = 1; n <= m_seatsused; ++n)
        sendTo(n, message);
}

// ------------------------------------------------------------ connections

void TServer::Sock1Accept(TSock *sender)
{
    TSock *accepted = nullptr;
    if (!sender->Accept(accepted))
        return;
    admit(new TSockLink(accepted));
}

void TServer::admit(SeatLink *link)
{
    link->setParent(this);
    const QByteArray address = link->peerAddress();
    // A player whose seat is held gets it back: the seat goes to a
    // connection from the player's address, and its login tells whether it
    // is the player. A seat of that address whose line has gone quiet with
    // data unanswered is taken for lost first: its player is back.
    dropSilentSeatsOf(address);
    int seat = m_holds.unclaimedFor(address);
    if (seat != 0)
        m_holds.claim(seat);
    else
        seat = openSeat();
    if (seat == 0) {
        // Every seat is taken: tell the tenth connection and let it go.
        link->send(Wire::message("CMD_full", {""}));
        link->close(SeatLink::Full);
        link->deleteLater();
        return;
    }

    Seat &s = seats[size_t(seat)];
    s.link = link;
    s.connected = true;
    s.pending.clear();
    s.pending.setLimit(maxPendingBytes);
    s.connection = ++m_connections;
    s.loggedin = false;
    s.loginWait = 0;
    s.removed = false;
    if (!logintimer.enabled())
        logintimer.setEnabled(true);
    link->Tag = seat;
    connect(link, &SeatLink::received, this, [this, link] { seatRead(link); });
    connect(link, &SeatLink::closed, this, [this, link] { seatClosed(link); });
    link->send(Wire::message("CMD_sendlogininfo", {num(seat)}));
}

void TServer::dropSilentSeatsOf(const QByteArray &address)
{
    if (!m_gameinprogress)
        return;
    for (int n = 1; n <= seatcount; ++n) {
        const Seat &s = seats[size_t(n)];
        if (s.connected && s.loggedin && addressOf(n) == address
            && s.link->unansweredMs() >= presumedLostMs)
            disconnectsock(n);   // lost, and so held
    }
}

// The lowest seat that is neither taken nor held, or a seat never used yet;
// 0 when all nine are in use.
int TServer::openSeat()
{
    for (int n = 1; n <= m_seatsused; ++n)
        if (!seats[size_t(n)].connected && !m_holds.isHeld(n))
            return n;
    return m_seatsused < maxSeats ? ++m_seatsused : 0;
}

void TServer::seatRead(SeatLink *sender)
{
    const int seat = sender->Tag;
    if (!validSeat(seat) || seats[size_t(seat)].link != sender)
        return;
    Seat &s = seats[size_t(seat)];
    // A message longer than the bound is thrown away as it arrives (a long
    // pasted text, say); the connection and its later messages stay.
    for (const QByteArray &message : s.pending.feed(sender->receive()))
        receivedlist.enqueue(message, s.connection);
    if (receivedlist.queued() > 0)
        socktimer.wake();
    // A connection that sends faster than the server hands its messages out
    // is dropped before it can eat the host's memory, and its flood with it.
    if (receivedlist.queuedFrom(s.connection) > maxQueuedMessages)
        removeSeat(seat, SeatLink::BrokeBound);
}

// Closed by the peer, reset, given up as silent or closed by the server: the
// seat is freed (or held) like any other.
void TServer::seatClosed(SeatLink *sender)
{
    const int seat = sender->Tag;
    if (validSeat(seat) && seats[size_t(seat)].link == sender)
        freeSeat(seat);
}

void TServer::disconnectsock(int seat)
{
    Seat &s = seats[size_t(seat)];
    if (s.connected && s.link)
        s.link->close();
}

void TServer::removeSeat(int seat, SeatLink::Reason why)
{
    Seat &s = seats[size_t(seat)];
    if (!s.connected || !s.link)
        return;
    s.removed = true;
    s.link->close(why);
}

QByteArray TServer::addressOf(int seat) const
{
    const Seat &s = seats[size_t(seat)];
    return s.link ? s.link->peerAddress() : QByteArray();
}

void TServer::freeSeat(int seat)
{
    Seat &s = seats[size_t(seat)];
    if (!s.connected)
        return;
    const QByteArray name = s.name;
    const QByteArray address = addressOf(seat);
    // A connection that was given a held seat and leaves before its login
    // hands the seat back to the hold; nobody had heard of it.
    const bool claimant = m_holds.isHeld(seat);
    const bool keep = !claimant && s.loggedin && !s.removed && m_gameinprogress && seat <= seatcount;
    s.connected = false;
    if (!claimant)
        for (int n = 1; n <= m_seatsused; ++n)
            if (n != seat)
                sendTo(n, Wire::message("CMD_playerdisconnected", {num(seat), name}));
    s.watching = false;
    s.loggedin = false;
    s.pending.clear();
    receivedlist.discardFrom(s.connection);
    s.link->deleteLater();
    s.link = nullptr;
    if (claimant) {
        m_holds.claim(seat, false);
        return;
    }
    if (keep) {
        holdSeat(seat, name, address);
        return;
    }
    s.name.clear();
    emit playerLeft(seat, name);
}

// The seat keeps its name and score for its player, counts as not playing,
// and the round goes on without it.
void TServer::holdSeat(int seat, const QByteArray &name, const QByteArray &address)
{
    m_holds.hold(seat, name, address);
    holdtimer.wake();
    emit seatHeld(seat, name);
    // The player may be back already on a connection of its own, made
    // before the server knew this one was lost.
    const int back = seatOfPlayer(address, name, seat);
    if (back != 0)
        moveToHeldSeat(back, seat);
    else if (timer1.Tag == 1 && timer1.enabled())
        checkforalldone();
}

// The seat's hold ends without its player: it is free, or its new occupant
// keeps it.
void TServer::endHold(int seat)
{
    const SeatHolds::Hold hold = m_holds.release(seat);
    if (hold.seat == 0)
        return;
    Seat &s = seats[size_t(seat)];
    if (!s.loggedin)
        s.name.clear();
    emit holdEnded(seat, hold.name);
}

void TServer::endAllHolds()
{
    while (m_holds.any())
        endHold(m_holds.holds().first().seat);
    holdtimer.setEnabled(false);
}

void TServer::holdtimerTimer()
{
    for (const SeatHolds::Hold &ended : m_holds.tick()) {
        Seat &s = seats[size_t(ended.seat)];
        if (!s.loggedin)
            s.name.clear();
        emit holdEnded(ended.seat, ended.name);
    }
    if (!m_holds.any())
        holdtimer.setEnabled(false);
}

// A logged-in seat, other than `except`, of the player of that name at that
// address; 0 when there is none.
int TServer::seatOfPlayer(const QByteArray &address, const QByteArray &name, int except) const
{
    for (int n = 1; n <= m_seatsused; ++n) {
        const Seat &s = seats[size_t(n)];
        if (n != except && s.connected && s.loggedin && addressOf(n) == address && SeatHolds::sameName(s.name, name))
            return n;
    }
    return 0;
}

// The connection in seat `from` belongs to the player of held seat `to`: it
// moves there and is asked to log in again, which brings the player back.
void TServer::moveToHeldSeat(int from, int to)
{
    Seat &a = seats[size_t(from)];
    Seat &b = seats[size_t(to)];
    if (a.loggedin) {
        for (int n = 1; n <= m_seatsused; ++n)
            if (n != from && n != to)
                sendTo(n, Wire::message("CMD_playerdisconnected", {num(from), a.name}));
    }
    const bool wasHeld = m_holds.isHeld(from);
    m_holds.claim(to);
    b.link = a.link;
    b.link->Tag = to;
    b.connected = true;
    b.pending = a.pending;
    b.connection = a.connection;
    b.loggedin = false;
    b.loginWait = 0;
    b.removed = false;
    a.link = nullptr;
    a.connected = false;
    a.loggedin = false;
    a.watching = false;
    a.pending.clear();
    if (wasHeld)
        m_holds.claim(from, false);   // still held for its own player
    else
        a.name.clear();
    logintimer.wake();
    sendTo(to, Wire::message("CMD_sendlogininfo", {num(to)}));
}

// ---------------------------------------------------------------- messages

void TServer::receivedlogininfo(FieldReader &fields, int origin)
{
    const int seat = fields.integer();
    const QByteArray version = fields.text();
    const QByteArray name = fields.rest();
    if (seat != origin || !validSeat(seat) || !seats[size_t(seat)].connected)
        return;
    Seat &s = seats[size_t(seat)];
    const QByteArray address = addressOf(seat);

    if (m_holds.belongsTo(seat, name)) {
        m_holds.release(seat);
        s.name = name;
        s.loggedin = true;
        announce(seat, version, true);
        emit seatRejoined(seat, name, s.score);
        return;
    }
    // Another of the held seats kept for this address may be this player's.
    const int own = m_holds.unclaimedFor(address, name);
    if (own != 0 && own != seat) {
        moveToHeldSeat(seat, own);
        return;
    }
    // Somebody else has come: the seat is theirs, as a seat left during the
    // game would be.
    endHold(seat);

    s.name = name;
    s.loggedin = true;
    announce(seat, version, false);
    emit playerJoined(seat, name);
    // The same player logged in on an older connection that may have died
    // without a word: an empty message makes its far end answer at once,
    // with a reset when it has forgotten the connection.
    if (m_gameinprogress) {
        const int older = seatOfPlayer(address, name, seat);
        if (older != 0)
            sendTo(older, QByteArray(1, Wire::Terminator));
    }
}

// Tells every seat who sits in this one, tells it who else is here, and
// brings it into the game that is being played.
void TServer::announce(int seat, const QByteArray &version, bool back)
{
    const QByteArray name = seats[size_t(seat)].name;
    sendToAll(Wire::message("CMD_newplayerinfo", {num(seat), name}));
    for (int n = 1; n <= m_seatsused; ++n)
        if (n != seat && seats[size_t(n)].connected && !m_holds.isHeld(n))
            sendTo(seat, Wire::message("CMD_existingplayers", {num(n), seats[size_t(n)].name}));

    if (version != Wire::Version) {
        sendTo(1, Wire::message("CMD_havewrongversion", {name}));
        sendTo(seat, Wire::message("CMD_wrongversion", {""}));
    }
    if (m_gameinprogress)
        sendUpdateTo(seat, back);
}

// Brings a newcomer into the game that is being played.
void TServer::sendUpdateTo(int seat, bool back)
{
    sendTo(seat, m_board.loadboardMessage(m_roundnumber));
    sendTo(seat, m_board.thewordMessage());
    // A player back in a round in which its word was already found waits
    // for the next.
    const bool mayPlay = timer1.Tag == 1 && seat <= seatcount && !(back && seats[size_t(seat)].found);
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
    if (sender != 1 || origin != 1 || !validSeat(target))
        return;
    if (seats[size_t(target)].connected)
        removeSeat(target, SeatLink::Removed);
    else
        endHold(target);   // the host does not wait for that player
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
    receivedlist.dispatchRound();
    // An empty queue leaves nothing to tick for until the next message.
    if (receivedlist.queued() == 0)
        socktimer.setEnabled(false);
}
