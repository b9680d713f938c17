#include "support/faultyline.h"
#include "support/serverharness.h"
#include "support/testmain.h"

#include <QSignalSpy>

#include <sys/socket.h>

namespace {

// Ann hosts in seat 1 and Bob plays in seat 2, both from 127.0.0.1; Bob
// finds the word in the first round, so he has points to keep, and the
// second round is running.
struct Table
{
    ServerHarness h;
    ScriptedClient &ann = h.join("Ann");
    ScriptedClient &bob = h.join("Bob");
    qint32 bobsScore = 0;

    explicit Table(const QByteArray &playto = "250")
    {
        ann.send("CMD_startgame", {"Ann", playto, "60", "f", "f", ""});
        h.settle();
        h.tick(3);
        find(bob);
        bobsScore = h.server.seat(2).score;
        while (h.server.roundnumber() < 2)   // the round runs out, the pause ends
            h.tick();
        h.clearAll();
    }
    void find(ScriptedClient &c)
    {
        c.sendRaw("CMD_myword+" + QByteArray::number(c.seat) + h.server.board().wordpositions() + Wire::Terminator);
        h.settle();
    }
    // A connection from the line's address that logs in under the name.
    ScriptedClient &comeBack(const QByteArray &name, quint16 via = 0)
    {
        return h.joinAt(via ? via : h.port(), name);
    }
};

} // namespace

class TestSeatHolds : public QObject
{
    Q_OBJECT

private slots:
    void aSeatLostDuringAGameIsHeldWithNameAndScore_data()
    {
        QTest::addColumn<bool>("reset");
        QTest::newRow("reset") << true;
        QTest::newRow("closed") << false;
    }
    void aSeatLostDuringAGameIsHeldWithNameAndScore()
    {
        QFETCH(bool, reset);
        Table t;
        QSignalSpy held(&t.h.server, &TServer::seatHeld);
        reset ? t.bob.dropAbruptly() : void(t.bob.sock.Close());
        t.h.settle();
        QCOMPARE(t.ann.received, QList<QByteArray>({"CMD_playerdisconnected+2+Bob"}));
        QVERIFY(!t.h.server.seat(2).connected);
        QVERIFY(t.h.server.holds().isHeld(2));
        QCOMPARE(t.h.server.seat(2).name, QByteArray("Bob"));
        QCOMPARE(t.h.server.seat(2).score, t.bobsScore);
        QVERIFY(t.bobsScore > 0);
        QCOMPARE(held.size(), 1);
        QVERIFY(t.h.server.holdtimerEnabled());
    }

    void someSeatsAreNeverHeld_data()
    {
        QTest::addColumn<QByteArray>("how");
        QTest::newRow("outside a game") << QByteArray("no game");
        QTest::newRow("removed by the host") << QByteArray("kick");
        QTest::newRow("a spectator") << QByteArray("spectator");
        QTest::newRow("before its login") << QByteArray("nameless");
    }
    void someSeatsAreNeverHeld()
    {
        QFETCH(QByteArray, how);
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        for (const char *name : {"Bob", "Cid", "Dee", "Eve", "Fay"})
            h.join(name);
        if (how != "no game")
            ann.send("CMD_startgame", {"Ann", "250", "60", "f", "f", ""});
        h.settle();
        int seat = 2;
        if (how == "kick") {
            ann.send("CMD_kickhim", {"1", "2", ""});
        } else if (how == "spectator") {
            seat = h.join("Gus").seat;
            h.clients.back()->sock.Close();
        } else if (how == "nameless") {
            ann.send("CMD_kickhim", {"1", "2", ""});
            h.settle();
            FaultyLine elsewhere(h.port(), "127.0.0.2");
            ScriptedClient quiet(elsewhere.port());
            h.settle();
            QVERIFY(h.server.seat(2).connected);
            quiet.dropAbruptly();
            h.settle();
        } else {
            h.clients[1]->dropAbruptly();
        }
        h.settle();
        QVERIFY(!h.server.seat(seat).connected);
        QVERIFY(!h.server.holds().any());
        QCOMPARE(h.server.seat(seat).name, QByteArray());
        QCOMPARE(h.join("Hal").seat, seat);
    }

    // A held seat is nobody else's: a newcomer from elsewhere sits in the
    // next free seat and learns the held seat's score, not its name.
    void aNewcomerFromAnotherAddressGetsAnotherSeat()
    {
        Table t;
        t.bob.dropAbruptly();
        t.h.settle();
        FaultyLine elsewhere(t.h.port(), "127.0.0.2");
        ScriptedClient &cid = t.comeBack("Bob", elsewhere.port());
        QCOMPARE(cid.seat, 3);
        QVERIFY(t.h.server.holds().isHeld(2));
        QCOMPARE(cid.with("CMD_existingplayers"), QList<QByteArray>({"CMD_existingplayers+1+Ann"}));
        QVERIFY(cid.last("CMD_loadstats").contains("+2+" + QByteArray::number(t.bobsScore) + "+"));
    }

    // Everything, and the round to play unless the word was already found.
    void thePlayerBackFromItsAddressGetsEverythingBack_data()
    {
        QTest::addColumn<bool>("foundFirst");
        QTest::newRow("lost while looking") << false;
        QTest::newRow("lost after finding") << true;
    }
    void thePlayerBackFromItsAddressGetsEverythingBack()
    {
        QFETCH(bool, foundFirst);
        Table t;
        if (foundFirst) {
            t.find(t.bob);
            t.bobsScore = t.h.server.seat(2).score;
        }
        QSignalSpy rejoined(&t.h.server, &TServer::seatRejoined);
        t.bob.dropAbruptly();
        t.h.settle();
        for (int s = 1; s < SeatHolds::holdSeconds; ++s)
            t.h.server.holdtimerTimer();
        t.h.clearAll();
        ScriptedClient &back = t.comeBack("bOB");
        QCOMPARE(back.seat, 2);
        QVERIFY(!t.h.server.holds().any());
        QVERIFY(t.h.server.seat(2).connected);
        QCOMPARE(t.h.server.seat(2).score, t.bobsScore);
        QCOMPARE(t.ann.received, QList<QByteArray>({"CMD_newplayerinfo+2+bOB"}));
        QVERIFY(back.last("CMD_loadstats").startsWith(foundFirst ? "CMD_loadstats+f+" : "CMD_loadstats+t+"));
        QCOMPARE(back.with("CMD_existingplayers"), QList<QByteArray>({"CMD_existingplayers+1+Ann"}));
        QCOMPARE(back.last("CMD_loadboard"), t.h.server.board().loadboardMessage(t.h.server.roundnumber()).chopped(1));
        QCOMPARE(back.last("CMD_theword"), t.h.server.board().thewordMessage().chopped(1));
        QVERIFY(back.last("CMD_loadstats").contains("+2+" + QByteArray::number(t.bobsScore) + "+"));
        QCOMPARE(rejoined.size(), 1);
        QCOMPARE(rejoined[0][2].toInt(), t.bobsScore);
    }

    // A connection from the player's address is given the held seat; its
    // login under another name ends the hold, and the newcomer takes the seat
    // as a seat left during the game, score and all.
    void anotherNameFromThePlayersAddressEndsTheHold()
    {
        Table t;
        QSignalSpy ended(&t.h.server, &TServer::holdEnded);
        t.bob.dropAbruptly();
        t.h.settle();
        auto claimant = std::make_unique<ScriptedClient>(t.h.port());
        t.h.settle();
        QCOMPARE(claimant->last("CMD_sendlogininfo"), QByteArray("CMD_sendlogininfo+2"));
        ScriptedClient &other = t.comeBack("Dee");   // while seat 2 is claimed
        QCOMPARE(other.seat, 3);
        t.h.clearAll();
        t.h.clients.push_back(std::move(claimant));
        t.h.logIn(*t.h.clients.back(), "Cid");
        QVERIFY(!t.h.server.holds().any());
        QCOMPARE(t.h.server.seat(2).name, QByteArray("Cid"));
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended[0][1].toByteArray(), QByteArray("Bob"));
        QCOMPARE(t.ann.received, QList<QByteArray>({"CMD_newplayerinfo+2+Cid"}));
        QVERIFY(t.h.clients.back()->last("CMD_loadstats").contains("+2+" + QByteArray::number(t.bobsScore) + "+"));
    }

    void aConnectionThatLeavesBeforeItsLoginLeavesTheHold()
    {
        Table t;
        t.bob.dropAbruptly();
        t.h.settle();
        t.h.clearAll();
        {
            ScriptedClient claimant(t.h.port());
            t.h.settle();
        }
        t.h.settle();
        QVERIFY(t.h.server.holds().isHeld(2));
        QVERIFY(t.ann.received.isEmpty());
        QCOMPARE(t.comeBack("Bob").seat, 2);
    }

    void aHoldRunsOutAfterAMinute_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("held");
        QTest::newRow("59 s") << SeatHolds::holdSeconds - 1 << true;
        QTest::newRow("60 s") << SeatHolds::holdSeconds << false;
    }
    void aHoldRunsOutAfterAMinute()
    {
        QFETCH(int, seconds);
        QFETCH(bool, held);
        Table t;
        t.bob.dropAbruptly();
        t.h.settle();
        for (int s = 0; s < seconds; ++s)
            t.h.server.holdtimerTimer();
        QCOMPARE(t.h.server.holds().isHeld(2), held);
        QCOMPARE(t.h.server.holdtimerEnabled(), held);
        QCOMPARE(t.h.server.seat(2).name, held ? QByteArray("Bob") : QByteArray());
        FaultyLine elsewhere(t.h.port(), "127.0.0.2");
        QCOMPARE(t.comeBack("Cid", elsewhere.port()).seat, held ? 3 : 2);
    }

    void theHostEndsAHold()
    {
        Table t;
        t.bob.dropAbruptly();
        t.h.settle();
        t.ann.send("CMD_kickhim", {"1", "2", ""});
        t.h.settle();
        QVERIFY(!t.h.server.holds().any());
        QCOMPARE(t.h.server.seat(2).name, QByteArray());
    }

    // The round does not wait for a held seat, even when the seat is lost
    // after everybody else has found the word.
    void aRoundDoesNotWaitForAHeldSeat_data()
    {
        QTest::addColumn<bool>("annFirst");
        QTest::newRow("Ann finds, then Bob is lost") << true;
        QTest::newRow("Bob is lost, then Ann finds") << false;
    }
    void aRoundDoesNotWaitForAHeldSeat()
    {
        QFETCH(bool, annFirst);
        Table t;
        if (annFirst)
            t.find(t.ann);
        QVERIFY(t.ann.with("CMD_roundover").isEmpty());
        t.bob.dropAbruptly();
        t.h.settle();
        QCOMPARE(t.ann.with("CMD_roundover").size(), annFirst ? 1 : 0);
        if (!annFirst)
            t.find(t.ann);
        QCOMPARE(t.ann.with("CMD_roundover").size(), 1);
        QCOMPARE(t.h.server.phase(), 2);
    }

    // A held player who leads is still in the race; the winner's end of the
    // game ends every hold.
    void aHeldSeatCanWinAndTheGamesEndEndsTheHold()
    {
        Table t("100");
        t.h.tick(5);
        t.find(t.bob);
        t.h.tick(5);
        t.find(t.ann);   // fewer points than Bob
        t.bob.dropAbruptly();
        t.h.settle();
        t.h.tick(7);
        QCOMPARE(t.ann.last("CMD_winner"), QByteArray("CMD_winner+Bob+"));
        QVERIFY(!t.h.server.holds().any());
        QVERIFY(!t.h.server.holdtimerEnabled());
    }

    // The player comes back before the server has noticed the old
    // connection is gone: the old one is asked for a sign of life at once,
    // and when it turns out dead the new connection is moved into the held
    // seat and asked to log in there.
    void thePlayerBackOnANewConnectionIsMovedIntoTheHeldSeat()
    {
        Table t;
        ScriptedClient &again = t.comeBack("BOB");
        QCOMPARE(again.seat, 3);
        QVERIFY(t.bob.received.contains(QByteArray()));   // the empty message
        t.h.clearAll();
        t.bob.dropAbruptly();
        t.h.settle();
        QCOMPARE(again.last("CMD_sendlogininfo"), QByteArray("CMD_sendlogininfo+2"));
        QVERIFY(t.ann.received.contains("CMD_playerdisconnected+3+BOB"));
        t.h.logIn(again, "BOB");
        QCOMPARE(again.seat, 2);
        QVERIFY(t.h.server.seat(2).connected && !t.h.server.seat(3).connected);
        QCOMPARE(t.h.server.seat(2).score, t.bobsScore);
        QCOMPARE(t.ann.last("CMD_newplayerinfo"), QByteArray("CMD_newplayerinfo+2+BOB"));
    }

    // Two players on one machine are lost: each gets its own seat back,
    // whichever comes first.
    void twoHeldSeatsOfOneAddressGoBackToTheirPlayers()
    {
        Table t;
        ScriptedClient &cid = t.comeBack("Cid");
        QCOMPARE(cid.seat, 3);
        t.bob.dropAbruptly();
        cid.dropAbruptly();
        t.h.settle();
        ScriptedClient &cidAgain = t.comeBack("Cid");
        QCOMPARE(cidAgain.last("CMD_sendlogininfo"), QByteArray("CMD_sendlogininfo+3"));
        t.h.logIn(cidAgain, "Cid");
        QCOMPARE(cidAgain.seat, 3);
        QVERIFY(!t.h.server.holds().isHeld(3));
        QVERIFY(t.h.server.holds().isHeld(2));
        QCOMPARE(t.comeBack("Bob").seat, 2);
        QVERIFY(!t.h.server.holds().any());
    }
};

ZARVEX_TEST_MAIN(TestSeatHolds)
#include "tst_seatholds.moc"
