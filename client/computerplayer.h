#pragma once

#include "client/boardselection.h"
#include "client/computerlevel.h"
#include "protocol/messageassembler.h"
#include "protocol/messagedispatcher.h"
#include "protocol/ticker.h"
#include "protocol/tsock.h"

#include <QByteArray>
#include <QObject>
#include <QRandomGenerator>

// A computer player: a client of the game that plays by itself. It speaks
// only the protocol, like a player's window: it logs in under its own name,
// reads the board and the word, looks for the word by the rule of the game
// type and, after a wait its level draws, sends the tiles the way a window
// sends a selection. Now and then it uses a phrase as a player would.
//
// Two timers drive it: the dispatch tick (10 ms, one message a tick, and the
// phrase cooldown, as in a window) and the thinking tick, each of which is
// a tenth of a second of the player's time. With Manual timers the owner
// calls both handlers.
class ComputerPlayer : public QObject
{
    Q_OBJECT

public:
    enum class End { Closed, Refused, Full };

    static constexpr int thinkStepMs = 100;
    static constexpr int seatcount = 6;
    // A word of this many letters is worth a "Good One!".
    static constexpr int hardWordLength = 7;

    // speedUp: both timers run this many times faster than the player's
    // time (a benchmark's games); 1 is real time.
    ComputerPlayer(const QByteArray &name, ComputerLevel::Level level, Ticker::Mode timers, int speedUp = 1,
                   QObject *parent = nullptr);
    ~ComputerPlayer() override;

    // Connects to a game server; the server speaks first.
    void connectTo(const QByteArray &host, const QByteArray &port);
    // Leaves the game without a word, as a closed window does.
    void leave();

    void seed(quint32 value) { m_random.seed(value); }

    // Queues a message as if the server had sent it (a replay, a test).
    void receive(const QByteArray &message);

    // Timer handlers. The dispatch timer runs while messages wait or the
    // phrase cooldown counts.
    void dispatchTimer();
    void thinkTimer();

    const QByteArray &name() const { return m_name; }
    ComputerLevel::Level level() const { return m_level; }
    int myseat() const { return m_myseat; }
    bool watching() const { return m_watching; }
    // The ms until the word goes out this round, -1 when nothing is coming.
    int pendingMs() const { return m_waitMs; }
    int queued() const { return m_receivedlist.queued(); }
    bool dispatchEnabled() const { return m_dispatch.enabled(); }
    const BoardSelection &board() const { return m_board; }
    QString endText() const { return m_endText; }

signals:
    void loggedIn(int seat);
    // The word went out, this long after the round started.
    void submitted(int elapsedMs, const QByteArray &positions);
    // The server accepted this player's word.
    void wordFound(int bonus, int elapsedMs);
    // A round began in which this player plays.
    void roundBegan(int round);
    void phraseSent(const QByteArray &phrase);
    // The connection has ended: closed, refused, or the game was full.
    void finished(End how);

private:
    void sockRead(TSock *sender, int count);
    void sockInfo(TSock *sender, TSock::TSocketInfo info, const QByteArray &msg);
    void finish(End how, const QString &text);

    void sendloginfo(FieldReader &fields);
    void startthegame(FieldReader &fields);
    void loadboard(FieldReader &fields);
    void getnextplayer(FieldReader &fields);
    void hefoundit(FieldReader &fields);
    void nomatch(FieldReader &fields);
    void turnEnded();
    void winner();
    void justwatching(FieldReader &fields);

    void sendword();
    void sayLater(const QByteArray &phrase, int chancePercent);
    void sendPhrase();
    bool send(const QByteArray &message);

    QByteArray m_name;
    ComputerLevel::Level m_level;
    TSock m_sock;
    MessageAssembler m_pending;
    MessageDispatcher m_receivedlist;
    Ticker m_dispatch;
    Ticker m_think;
    QRandomGenerator m_random;

    int m_myseat = 0;
    bool m_connected = false;
    bool m_ended = false;
    QString m_endText;
    bool m_watching = false;
    bool m_scrambled = false;
    int m_timeperturn = 60;
    int m_round = 0;
    BoardSelection m_board;

    bool m_playing = false;      // this round, until found or over
    int m_elapsedMs = 0;         // since the round began
    int m_waitMs = -1;           // until the word goes out
    int m_retries = 0;

    bool m_phraseready = true;
    int m_phraseticks = 0;
    bool m_phraseThisRound = false;
    QByteArray m_phrase;         // waiting to be said
    int m_phraseWaitMs = -1;
};
