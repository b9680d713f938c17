#pragma once

#include "protocol/messagedispatcher.h"
#include "protocol/messageassembler.h"
#include "protocol/seatlink.h"
#include "protocol/ticker.h"
#include "protocol/tsock.h"
#include "server/board.h"
#include "server/seatholds.h"

#include <QByteArray>
#include <QObject>
#include <array>
#include <memory>

class WordList;

// The game server: it gives every connection a seat, learns the players'
// names, relays chat, actions and shouts, and runs whole games: boards,
// rounds, scores and the winner. Never shown; it runs inside the hosting
// player's program or in the headless dedicated server.
//
// A seat's connection is a SeatLink: a TCP socket accepted on Sock1, or a
// browser's WebSocket handed in by the web door (admit). Both deliver the same
// messages, and every rule and bound below applies to both alike.
//
// A message is believed only from the connection that holds the seat it
// names: every queued message carries the connection it came from, and the
// messages of a connection that has gone are never handled, so a newcomer in
// a freed seat inherits nothing of the one before. Seat 1 holds the host's
// rights (starting games, removing users, setting others to just watch).
//
// A seat whose connection is lost during a game (closed, reset or gone
// silent, but not removed by the host or for breaking a bound) is held for
// its player for a minute: see SeatHolds. A connection that turns out to be
// that player on another seat is moved into the held seat by asking it to
// log in again there (a second CMD_sendlogininfo).
class TServer : public QObject
{
    Q_OBJECT

public:
    struct Seat
    {
        QByteArray name;
        bool connected = false;
        SeatLink *link = nullptr;
        qint32 score = 0;
        bool watching = false;
        QByteArray defaultname;
        bool found = false;
        qint32 bonus = 0;
        // The connection's bytes after its last terminator.
        MessageAssembler pending;
        // Which connection since start-up holds the seat; its messages
        // carry this number in the queue.
        int connection = 0;
        // The connection has sent its login; until then, the seconds it
        // has been waited for.
        bool loggedin = false;
        int loginWait = 0;
        // The server itself ended the connection (the host's removal, a
        // broken bound): its seat is not held.
        bool removed = false;
    };

    static constexpr int seatcount = 6;
    static constexpr int maxSeats = 9;
    // The longest message a connection may send; a longer one is discarded.
    static constexpr int maxPendingBytes = 64 * 1024;
    // How many of its messages a connection may leave waiting before it is
    // dropped.
    static constexpr int maxQueuedMessages = 64;
    // How much sent text may wait for a connection that does not read.
    static constexpr int maxOutboundBytes = 1024 * 1024;
    // Seconds a connection may hold a seat without logging in.
    static constexpr int loginTimeout = 30;
    // During a game, a seat whose far end has left our data or probes
    // unanswered this long is taken for lost when a new connection comes
    // from its address: the player is back before the line gave up.
    static constexpr int presumedLostMs = 3000;

    explicit TServer(QObject *parent = nullptr, Ticker::Mode timers = Ticker::Running);
    ~TServer() override;

    static QString caption() { return QStringLiteral("Server"); }

    // The listening socket (port "7772").
    TSock Sock1;

    // A connection that reached the server another way (a browser's
    // WebSocket) takes a seat like one accepted on Sock1; the server owns it
    // from now on.
    void admit(SeatLink *link);

    const Seat &seat(int n) const { return seats[size_t(n)]; }
    int seatsused() const { return m_seatsused; }
    Board &board() { return m_board; }

    // Game state.
    bool gameinprogress() const { return m_gameinprogress; }
    int roundnumber() const { return m_roundnumber; }
    int countdown() const { return m_countdown; }
    int phase() const { return timer1.Tag; }
    int playtoscore() const { return m_playtoscore; }
    int timeperturn() const { return m_timeperturn; }
    bool scrambled() const { return m_scrambled; }
    bool onlyletters() const { return m_onlyletters; }
    bool timer1Enabled() const { return timer1.enabled(); }
    bool logintimerEnabled() const { return logintimer.enabled(); }
    bool socktimerEnabled() const { return socktimer.enabled(); }
    bool holdtimerEnabled() const { return holdtimer.enabled(); }
    const SeatHolds &holds() const { return m_holds; }
    int queued() const { return receivedlist.queued(); }

    // Timer handlers; with Manual timers the owner calls them. The dispatch
    // timer runs while messages wait and stops when a tick empties the queue.
    // Each tick hands out the oldest message of every connection that has
    // one, oldest first: a connection's messages keep their order and their
    // pace of one a tick, and a talkative connection never holds up the
    // words of the others.
    void socktimerTimer();
    void timer1Timer();
    // Once a second while a connection waits to log in: drops the ones that
    // have waited too long.
    void logintimerTimer();
    // Once a second while a seat is held: ends the holds that ran out.
    void holdtimerTimer();

    // The next round plays this word instead of one drawn from the word list
    // (a scripted demonstration, a test).
    void chooseNextWord(const QByteArray &word) { m_nextWord = word; }

    // The host's own word list for the games started from now on; none for
    // the built-in list. Each game start tells every seat which list its
    // words come from.
    void setWordList(std::shared_ptr<const WordList> list) { m_wordlist = std::move(list); }
    const WordList *wordList() const { return m_wordlist.get(); }

    // Closes every connection without a word, as the hosting program ends;
    // a game in progress ends with them.
    void closeAll();

    // Who is at the table, as the game is announced on the network: seat
    // 1's name, the logged-in players and spectators, and whether a game is
    // being played.
    struct Census
    {
        QByteArray host;
        int players = 0;
        int spectators = 0;
        bool running = false;
    };
    Census census() const;

signals:
    // What a dedicated server writes in its log.
    void playerJoined(int seat, const QByteArray &name);
    void playerLeft(int seat, const QByteArray &name);
    void gameStarted(const QByteArray &starter);
    void wordFound(int seat, int bonus, int score);
    void roundEnded(int round, bool outOfTime);
    void winnerDeclared(const QByteArray &text);
    // A seat kept for its player, the player back in it, a hold that ended
    // otherwise (ran out, taken by another name, the game over).
    void seatHeld(int seat, const QByteArray &name);
    void seatRejoined(int seat, const QByteArray &name, int score);
    void holdEnded(int seat, const QByteArray &name);

private:
    // Connections and seats.
    void Sock1Accept(TSock *sender);
    void seatRead(SeatLink *sender);
    void seatClosed(SeatLink *sender);
    void disconnectsock(int seat);
    // Ends a connection for the server's own reasons: the seat is not held.
    void removeSeat(int seat, SeatLink::Reason why);
    void freeSeat(int seat);
    int openSeat();
    void dropSilentSeatsOf(const QByteArray &address);
    void holdSeat(int seat, const QByteArray &name, const QByteArray &address);
    void endHold(int seat);
    void endAllHolds();
    void moveToHeldSeat(int from, int to);
    int seatOfPlayer(const QByteArray &address, const QByteArray &name, int except) const;
    QByteArray addressOf(int seat) const;
    void receivedlogininfo(FieldReader &fields, int origin);
    void announce(int seat, const QByteArray &version, bool back);
    void kickhim(FieldReader &fields, int origin);
    void justwatch(FieldReader &fields, int origin);
    void chat(FieldReader &fields, int origin);
    void action(FieldReader &fields, int origin);
    void playasound(FieldReader &fields, int origin);
    // back: the seat's own player returns to it.
    void sendUpdateTo(int seat, bool back);
    // Registers a handler that is called with the seat of the message's
    // connection, and only while that connection holds its seat.
    void route(const QByteArray &command, void (TServer::*handler)(FieldReader &, int));
    int seatOfConnection(int connection) const;

    // The game.
    void startgame(FieldReader &fields, int origin);
    void startround();
    void chooseWordList();
    void findplayer();
    void myword(FieldReader &fields, int origin);
    bool wordMatches(FieldReader &fields) const;
    void checkforalldone();
    void outoftime();
    void endround();
    bool checkforwin();
    void sendRoundEnd(const char *command);
    void startPause();

    // Sending, always in ascending seat order and to connected seats only.
    void sendTo(int seat, const QByteArray &message);
    void sendToAll(const QByteArray &message);
    static bool validSeat(int seat) { return seat >= 1 && seat <= maxSeats; }

    std::array<Seat, 11> seats;   // 1 to 9 seats, 10 a connection being refused
    int m_seatsused = 0;
    int m_connections = 0;   // connections accepted into a seat since start-up
    MessageDispatcher receivedlist;
    Ticker socktimer;
    Ticker timer1;
    Ticker logintimer;
    Ticker holdtimer;
    SeatHolds m_holds;
    Board m_board;

    bool m_gameinprogress = false;
    int m_roundnumber = 0;
    int m_countdown = 0;
    int m_playtoscore = 250;
    int m_timeperturn = 60;
    bool m_scrambled = false;
    bool m_onlyletters = false;
    QByteArray m_nextWord;
    std::shared_ptr<const WordList> m_wordlist;
};
