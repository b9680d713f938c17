#include "support/faultyline.h"
#include "support/gametable.h"
#include "support/startgame.h"
#include "support/testmain.h"
#include "protocol/wire.h"

#include <netinet/tcp.h>
#include <sys/socket.h>

namespace {

// Each seat row as a window shows it: name and score.
QStringList rows(Player &p)
{
    QStringList out;
    for (int seat = 1; seat <= GameClient::seatcount; ++seat)
        out << p.client().row(seat).name + ':' + p.client().row(seat).score;
    return out;
}

QList<int> boardOf(Player &p)
{
    QList<int> codes;
    for (int column = 1; column <= 10; ++column)
        for (int row = 1; row <= 9; ++row)
            codes << p.client().board().code(column, row) % BoardSelection::highlight;
    return codes;
}

// Ann hosts, Bob plays over a line the test can break, Cid plays beside
// him. Bob finds the word of the first round; the second round is running.
struct Game
{
    GameTable t;
    Player &ann = t.host("Ann");
    FaultyLine line{quint16(t.port.toUShort())};
    Player &bob = t.join("Bob", line.portText());
    Player &cid = t.join("Cid");

    explicit Game(bool started = true)
    {
        if (!started)
            return;
        startShortGame(t, ann, false);
        bob.client().send("CMD_myword+2" + ann.server()->board().wordpositions() + Wire::Terminator);
        t.settle();
        // The round runs out and the pause ends within a few hundred ticks;
        // the bound keeps a game that never started from ticking forever.
        for (int tick = 0; tick < 1000 && ann.server()->roundnumber() < 2; ++tick)
            ann.server()->timer1Timer();
        t.settle();
    }
    void tryAgain()
    {
        bob.client().reconnector().retrytimerTimer();
        t.settle();
    }
};

} // namespace

class TestReconnect : public QObject
{
    Q_OBJECT

private slots:
    void aWindowLostDuringAGameComesBackToItsSeat()
    {
        Game g;
        const QString score = g.ann.client().row(2).score;
        QVERIFY(score.toInt() > 0);
        g.line.setDown(true);
        g.t.settle();
        QCOMPARE(g.bob.client().panel().status, QString("Connection lost. Reconnecting..."));
        QVERIFY(!g.bob.closed);
        QVERIFY(!g.bob.client().isconnected());
        QVERIFY(g.ann.server()->holds().isHeld(2));
        for (Player *other : {&g.ann, &g.cid}) {
            QCOMPARE(other->client().row(2).name, QString("<Waiting>"));
            QCOMPARE(other->client().row(2).score, score);
        }
        QCOMPARE(boardOf(g.bob), boardOf(g.ann));   // the board stays

        g.tryAgain();   // the line is still down
        QVERIFY(g.bob.client().reconnector().active());
        g.line.setDown(false);
        g.tryAgain();
        QCOMPARE(g.bob.client().panel().status, QString("Reconnected."));
        QCOMPARE(g.bob.client().myseat(), 2);
        QVERIFY(!g.ann.server()->holds().any());
        QCOMPARE(rows(g.ann)[1], "Bob:" + score);
        QCOMPARE(rows(g.bob), rows(g.ann));
        QCOMPARE(rows(g.cid), rows(g.ann));
        QCOMPARE(boardOf(g.bob), boardOf(g.ann));
        QCOMPARE(g.bob.client().activeseat(), 2);   // plays the round on
        QVERIFY(!g.bob.client().reconnector().retrytimerEnabled());
    }

    // A player who leaves for another game while the window is trying (Play
    // Solo or a join from the lobby) is not pulled back to the old host.
    void leavingTheGameStopsTheTrying()
    {
        Game g;
        g.line.setDown(true);
        g.t.settle();
        QVERIFY(g.bob.client().reconnector().active());
        g.bob.client().leaveGame();
        QVERIFY(!g.bob.client().reconnector().active());
        QVERIFY(!g.bob.client().reconnector().retrytimerEnabled());
        g.line.setDown(false);
        g.tryAgain();
        QVERIFY(!g.bob.client().isconnected());
        QVERIFY(g.ann.server()->holds().isHeld(2));
        QCOMPARE(g.ann.client().row(2).name, QString("<Waiting>"));
    }

    // The window watches its connection as the server watches each seat's.
    void bothEndsGiveUpASilentLineAlike()
    {
        Game g(false);
        for (int fd : {g.bob.client().socket().Handle(), g.ann.server()->seat(2).link->handle()}) {
            int on = 0, idle = 0;
            unsigned int silentMs = 0;
            socklen_t len = sizeof on;
            getsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, &len);
            getsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, &len);
            getsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &silentMs, &len);
            QCOMPARE(on, 1);
            QCOMPARE(idle, Wire::KeepAliveIdle);
            QCOMPARE(silentMs, unsigned(Wire::KeepAliveIdle + Wire::KeepAliveInterval * Wire::KeepAliveCount) * 1000u);
        }
    }

    void aWindowThatCannotComeBackGivesUpAfterAMinute_data()
    {
        QTest::addColumn<int>("retries");
        QTest::addColumn<bool>("closed");
        const int last = Reconnector::giveUpSeconds / Reconnector::retrySeconds;
        QTest::newRow("58 s") << last - 1 << false;
        QTest::newRow("60 s") << last << true;
    }
    void aWindowThatCannotComeBackGivesUpAfterAMinute()
    {
        QFETCH(int, retries);
        QFETCH(bool, closed);
        Game g;
        g.line.setDown(true);
        g.t.settle();
        for (int n = 0; n < retries; ++n)
            g.tryAgain();
        if (closed)
            QTRY_VERIFY(g.bob.closed);
        QCOMPARE(g.bob.closed, closed);
        QCOMPARE(g.bob.client().reconnector().attempts(), closed ? retries : retries + 1);
    }

    // Removed by the host, or the host gone, or no game to come back to, or
    // the window hosts the game itself: the window ends as it always did.
    void someWindowsDoNotComeBack_data()
    {
        QTest::addColumn<QByteArray>("how");
        QTest::newRow("removed by the host") << QByteArray("kick");
        QTest::newRow("the host quits") << QByteArray("quit");
        QTest::newRow("lost outside a game") << QByteArray("no game");
        QTest::newRow("the hosting window") << QByteArray("host");
    }
    void someWindowsDoNotComeBack()
    {
        QFETCH(QByteArray, how);
        Game g(how != "no game");
        Player &lost = how == "host" ? g.ann : g.bob;
        if (how == "kick") {
            g.ann.client().kicking(2);
        } else if (how == "quit") {
            g.t.quit(g.ann);
        } else if (how == "no game") {
            g.line.cut();
        } else {
            SeatLink *own = g.ann.server()->seat(1).link;
            const linger now{1, 0};
            setsockopt(own->handle(), SOL_SOCKET, SO_LINGER, &now, sizeof now);
            own->close();
        }
        g.t.settle();
        QTRY_VERIFY(lost.closed);
        QCOMPARE(lost.client().reconnector().attempts(), 0);
    }

    // The seat was given away while the window was gone: it comes back where
    // the server puts it, and shows nobody who has left.
    void aWindowBackAfterItsHoldRanOutSitsWhereItIsPut()
    {
        Game g;
        g.line.setDown(true);
        g.t.settle();
        for (int s = 0; s < SeatHolds::holdSeconds; ++s)
            g.ann.server()->holdtimerTimer();
        Player &dan = g.t.join("Dan");
        QCOMPARE(dan.client().myseat(), 2);
        g.line.setDown(false);
        g.tryAgain();
        QCOMPARE(g.bob.client().myseat(), 4);
        QCOMPARE(g.bob.client().panel().status, QString("Reconnected."));
        QCOMPARE(g.bob.client().row(2).name, QString("Dan"));
        QCOMPARE(rows(g.bob), rows(g.ann));
        QCOMPARE(rows(dan), rows(g.ann));
    }
};

ZARVEX_TEST_MAIN(TestReconnect)
#include "tst_reconnect.moc"
