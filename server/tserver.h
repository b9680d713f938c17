#pragma once

#include "protocol/messagedispatcher.h"
#include "protocol/messageassembler.h"
#include "protocol/ticker.h"
#include "protocol/tsock.h"
#include "server/board.h"

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
// A message is believed only from the connection that holds the seat it
// names: the server remembers which seat each queued message came from.
// Seat 1 holds the host's rights (starting games, removing users, setting
// others to just watch).
class TServer : public QObject
{
    Q_OBJECT

public:
    struct Seat
    {
        QByteArray name;
        bool connected = false;
        TSock *sock = nullptr;
        qint32 score = 0;
        bool watching = false;
        QByteArray defaultname;
        bool found = false;
        qint32 bonus = 0;
        // The connection's bytes after its last terminator.
        MessageAssembler pending;
    };

    static constexpr int seatcount = 6;
    static constexpr int maxSeats = 9;
    // Limits on what one connection may leave waiting before it is dropped.
    static constexpr int maxPendingBytes = 64 * 1024;
    static constexpr int maxQueuedMessages = 64;

    explicit TServer(QObject *parent = nullptr, Ticker::Mode timers = Ticker::Running);
    ~TServer() override;

    static QString caption() { return QStringLiteral("Server"); }

    // The listening socket (port "7772") and the template whose handlers
    // every accepted connection takes over.
    TSock Sock1;
    TSock tempsock;

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
    int queued() const { return receivedlist.queued(); }

    // Timer handlers; with Manual timers the owner calls them.
    void socktimerTimer();
    void timer1Timer();

    // The next round plays this word instead of one drawn from the word list
    // (a scripted demonstration, a test).
    void chooseNextWord(const QByteArray &word) { m_nextWord = word; }

    // The host's own word list for the games started from now on; none for
    // the built-in list. Each game start tells every seat which list its
    // words come from.
    void setWordList(std::shared_ptr<const WordList> list) { m_wordlist = std::move(list); }
    const WordList *wordList() const { return m_wordlist.get(); }

    // Closes every connection without a word, as the hosting program ends.
    void closeAll();

signals:
    // What a dedicated server writes in its log.
    void playerJoined(int seat, const QByteArray &name);
    void playerLeft(int seat, const QByteArray &name);
    void gameStarted(const QByteArray &starter);
    void wordFound(int seat, int bonus, int score);
    void roundEnded(int round, bool outOfTime);
    void winnerDeclared(const QByteArray &text);

private:
    // Connections and seats.
    void Sock1Accept(TSock *sender);
    void Sock1Read(TSock *sender, int count);
    void tempsockDisconnect(TSock *sender);
    void tempsockInfo(TSock *sender, TSock::TSocketInfo info, const QByteArray &msg);
    void disconnectsock(int seat);
    void freeSeat(int seat);
    void receivedlogininfo(FieldReader &fields, int origin);
    void kickhim(FieldReader &fields, int origin);
    void justwatch(FieldReader &fields, int origin);
    void chat(FieldReader &fields, int origin);
    void action(FieldReader &fields, int origin);
    void playasound(FieldReader &fields, int origin);
    void sendUpdateTo(int seat);

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
    MessageDispatcher receivedlist;
    Ticker socktimer;
    Ticker timer1;
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
