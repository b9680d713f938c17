#pragma once

#include "protocol/ticker.h"

#include <QObject>

// Brings a window back into the game after its connection to the host broke
// (a reset, a line gone silent) during a game. The window keeps its board;
// the seat, the names and the scores come back from the server, which holds
// a lost seat for a minute. One attempt is made at once and another every two
// seconds; a minute after the loss the window gives up, as it would have
// without trying.
//
// An orderly close is never tried again: that is the host removing this
// player, or the host's program ending. Nor is a window that hosts the game
// itself, whose server cannot be lost without the window.
class Reconnector : public QObject
{
    Q_OBJECT

public:
    static constexpr int retrySeconds = 2;
    static constexpr int giveUpSeconds = 60;

    explicit Reconnector(Ticker::Mode timers, QObject *parent = nullptr);

    // A game has started or is being played (a late joiner's stats), or has
    // ended with a winner.
    void setInGame(bool on) { m_inGame = on; }
    bool inGame() const { return m_inGame; }

    // The connection has ended; broken: by a reset or a timeout rather than
    // an orderly close, and mayRetry: the window is one that comes back by
    // itself. Answers whether the reconnector takes care of it, so that the
    // window stays: a loss it tries to mend, or the end of a failed attempt.
    bool connectionLost(bool broken, bool mayRetry);
    // The server has asked this window to log in: when trying, it is back.
    void loggedIn();
    // The player has left this game for another: nothing more is tried, and
    // the next game starts out of play.
    void stop();

    bool active() const { return m_active; }
    int secondsTrying() const { return m_seconds; }
    int attempts() const { return m_attempts; }

    // Every two seconds while trying; with Manual timers the owner calls it.
    void retrytimerTimer();
    bool retrytimerEnabled() const { return retrytimer.enabled(); }

signals:
    // The connection is lost and the window tries to come back.
    void reconnecting();
    // Make one attempt now: drop what is left of the connection, connect again.
    void attempt();
    void reconnected();
    // A minute has passed without getting back in.
    void gaveUp();

private:
    void tryNow();

    Ticker retrytimer;
    bool m_inGame = false;
    bool m_active = false;
    int m_seconds = 0;
    int m_attempts = 0;
};
