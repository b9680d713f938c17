#include "support/serverharness.h"
#include "support/testmain.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QList<QByteArray> seatsOf(const ServerHarness &h)
{
    QList<QByteArray> out;
    for (const auto &c : h.clients)
        out << QByteArray::number(c->seat);
    return out;
}

// A peer that logs in to the seat it is told and then never reads again,
// with the smallest buffers the system allows on both ends.
int silentReader(ServerHarness &h, int seat, const QByteArray &name)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int small = 4096;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(h.port());
    ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
    h.settle();
    SeatLink *mine = h.server.seat(seat).link;
    if (mine)
        setsockopt(mine->handle(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
    const QByteArray login = "CMD_logininfo+" + QByteArray::number(seat) + "+1.0.5+" + name + Wire::Terminator;
    ::send(fd, login.constData(), size_t(login.size()), 0);
    h.settle();
    return fd;
}

} // namespace

class TestServerSeats : public QObject
{
    Q_OBJECT

private slots:
    void nineSeatsThenTheTenthIsRefused()
    {
        ServerHarness h;
        for (int i = 1; i <= 9; ++i)
            h.join("P" + QByteArray::number(i));
        QCOMPARE(seatsOf(h), QList<QByteArray>({"1", "2", "3", "4", "5", "6", "7", "8", "9"}));
        QCOMPARE(h.server.seatsused(), 9);

        auto tenth = std::make_unique<ScriptedClient>(h.port());
        h.settle();
        QTRY_VERIFY(tenth->closed);
        QCOMPARE(tenth->received, QList<QByteArray>({"CMD_full+"}));
        for (int i = 1; i <= 9; ++i)
            QVERIFY(h.server.seat(i).connected);
        QVERIFY(h.clients[0]->with("CMD_playerdisconnected").isEmpty());
    }

    void freedSeatsAreReusedLowestFirst()
    {
        ServerHarness h;
        for (const char *name : {"Ann", "Bob", "Cid", "Dee"})
            h.join(name);
        h.clients[2]->sock.Close();   // seat 3 leaves
        h.settle();
        QVERIFY(!h.server.seat(3).connected);
        QCOMPARE(h.join("Eve").seat, 3);
        QCOMPARE(h.server.seatsused(), 4);

        // Spectators keep their seats; a newcomer takes the freed player's seat.
        ServerHarness g;
        for (const char *name : {"A", "B", "C", "D", "E", "F", "G", "H"})
            g.join(name);
        g.clients[1]->sock.Close();
        g.settle();
        QCOMPARE(g.join("I").seat, 2);
        QCOMPARE(g.server.seat(7).name, QByteArray("G"));
        QCOMPARE(g.server.seat(8).name, QByteArray("H"));
    }

    void loginAnnouncesEverybodyInSeatOrder()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        QCOMPARE(ann.take(), QList<QByteArray>({"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+Ann"}));
        h.join("Bob");
        ScriptedClient &cid = h.join("Cid the+Great");
        QCOMPARE(ann.received, QList<QByteArray>({"CMD_newplayerinfo+2+Bob", "CMD_newplayerinfo+3+Cid the+Great"}));
        QCOMPARE(cid.received, QList<QByteArray>({"CMD_sendlogininfo+3", "CMD_newplayerinfo+3+Cid the+Great",
                                                  "CMD_existingplayers+1+Ann", "CMD_existingplayers+2+Bob"}));
    }

    void anotherVersionIsReportedAndStillAdmitted()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob", "1.0.4");
        QCOMPARE(ann.last("CMD_havewrongversion"), QByteArray("CMD_havewrongversion+Bob"));
        QCOMPARE(bob.with("CMD_wrongversion"), QList<QByteArray>({"CMD_wrongversion+"}));
        QCOMPARE(ann.last("CMD_newplayerinfo"), QByteArray("CMD_newplayerinfo+2+Bob"));
        QCOMPARE(h.server.seat(2).name, QByteArray("Bob"));
    }

    void relaysReachEverySeatWithTheSendersCurrentName()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        h.clearAll();
        bob.send("CMD_chat", {"2", "hi+there|clRed"});
        bob.send("CMD_action", {"2", "waves|$00112233"});
        bob.send("CMD_playasound", {"2", "wave3", ""});
        h.settle();
        const QList<QByteArray> expected = {"CMD_chat+2+Bob chats: hi+there|clRed", "CMD_action+2+Bob waves|$00112233",
                                            "CMD_playasound+2+wave3+"};
        QCOMPARE(ann.received, expected);
        QCOMPARE(bob.received, expected);
    }

    void theHostRemovesASeat()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        h.join("Bob");
        ScriptedClient &cid = h.join("Cid");
        h.clearAll();
        ann.send("CMD_kickhim", {"1", "3", ""});
        h.settle();
        QTRY_VERIFY(cid.closed);
        QVERIFY(!h.server.seat(3).connected);
        QCOMPARE(h.server.seat(3).name, QByteArray());
        QCOMPARE(ann.received, QList<QByteArray>({"CMD_playerdisconnected+3+Cid"}));
        QCOMPARE(h.clients[1]->received, QList<QByteArray>({"CMD_playerdisconnected+3+Cid"}));
    }

    void justWatchingNeedsAGameAndEndsWithIt()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        h.clearAll();
        bob.send("CMD_justwatch", {"2", "1"});   // no game yet
        h.settle();
        QVERIFY(bob.received.isEmpty());

        ann.send("CMD_startgame", {"Ann", "250", "30", "f", "f", ""});
        h.settle();
        bob.send("CMD_justwatch", {"2", "1"});
        h.settle();
        QCOMPARE(ann.last("CMD_justwatching"), QByteArray("CMD_justwatching+2+1"));
        QVERIFY(h.server.seat(2).watching);
        bob.send("CMD_justwatch", {"2", "2"});
        h.settle();
        QCOMPARE(ann.last("CMD_justwatching"), QByteArray("CMD_justwatching+2+2"));
        QVERIFY(!h.server.seat(2).watching);

        // The host may set another player; a new game clears every flag.
        ann.send("CMD_justwatch", {"2", "1"});
        h.settle();
        QVERIFY(h.server.seat(2).watching);
        ann.send("CMD_startgame", {"Ann", "250", "30", "f", "f", ""});
        h.settle();
        QVERIFY(!h.server.seat(2).watching);
    }

    // Messages are believed only from the connection that holds the seat.
    void messagesInAnotherSeatsNameAreIgnored()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        ScriptedClient &cid = h.join("Cid");
        h.clearAll();
        bob.send("CMD_chat", {"1", "I am Ann|clBlack"});
        bob.send("CMD_action", {"3", "hides|clBlack"});
        bob.send("CMD_playasound", {"1", "wave1", ""});
        bob.send("CMD_kickhim", {"1", "3", ""});
        bob.send("CMD_kickhim", {"2", "3", ""});
        bob.send("CMD_startgame", {"Bob", "250", "30", "f", "f", ""});
        bob.send("CMD_logininfo", {"3", "1.0.5", "Mallory"});
        h.settle();
        QVERIFY(ann.received.isEmpty());
        QVERIFY(cid.received.isEmpty());
        QVERIFY(h.server.seat(3).connected);
        QCOMPARE(h.server.seat(3).name, QByteArray("Cid"));
        QVERIFY(!h.server.gameinprogress());

        ann.send("CMD_startgame", {"Ann", "250", "30", "f", "f", ""});
        h.settle();
        h.clearAll();
        cid.send("CMD_justwatch", {"2", "1"});   // a player cannot set another
        h.settle();
        QVERIFY(!h.server.seat(2).watching);
        QVERIFY(ann.with("CMD_justwatching").isEmpty());
    }

    void seatsOutsideTheTableAreIgnored_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("chat from seat 0") << QByteArray("CMD_chat+0+hi|clRed");
        QTest::newRow("chat from seat 10") << QByteArray("CMD_chat+10+hi|clRed");
        QTest::newRow("kick seat 11") << QByteArray("CMD_kickhim+1+11+");
        QTest::newRow("kick seat -1") << QByteArray("CMD_kickhim+1+-1+");
        QTest::newRow("watch seat 99") << QByteArray("CMD_justwatch+99+2");
        QTest::newRow("huge seat") << QByteArray("CMD_chat+99999999999+hi");
    }
    void seatsOutsideTheTableAreIgnored()
    {
        QFETCH(QByteArray, message);
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        h.clearAll();
        ann.sendRaw(message + Wire::Terminator);
        h.settle();
        QVERIFY(ann.received.isEmpty());
        QVERIFY(bob.received.isEmpty());
        QVERIFY(h.server.seat(1).connected && h.server.seat(2).connected);
    }

    void aResetConnectionFreesItsSeat()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        h.clearAll();
        bob.dropAbruptly();
        QTRY_VERIFY(!h.server.seat(2).connected);
        h.settle();
        QCOMPARE(ann.received, QList<QByteArray>({"CMD_playerdisconnected+2+Bob"}));
        QCOMPARE(h.join("Bo2").seat, 2);
    }

    void aFloodingConnectionIsDroppedAndTheOthersPlayOn_data()
    {
        QTest::addColumn<QByteArray>("flood");
        QByteArray many;
        for (int i = 0; i < 200; ++i)
            many += Wire::message("CMD_chat", {"2", "spam|clRed"});
        QTest::newRow("too many messages") << many;
    }
    void aFloodingConnectionIsDroppedAndTheOthersPlayOn()
    {
        QFETCH(QByteArray, flood);
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        h.clearAll();
        bob.sendRaw(flood);
        // The server reads without dispatching, as it would under a burst.
        QTRY_VERIFY(!h.server.seat(2).connected);
        QVERIFY(h.server.queued() <= TServer::maxQueuedMessages + 1);
        h.settle();
        QTRY_VERIFY(bob.closed);
        QCOMPARE(ann.last("CMD_playerdisconnected"), QByteArray("CMD_playerdisconnected+2+Bob"));
        ann.send("CMD_chat", {"1", "still here|clBlack"});
        h.settle();
        QCOMPARE(ann.last("CMD_chat"), QByteArray("CMD_chat+1+Ann chats: still here|clBlack"));
    }

    // A host who pastes a long text loses that line, not the game.
    void anOverlongMessageIsDiscardedAndItsSenderStays_data()
    {
        QTest::addColumn<bool>("terminated");
        QTest::newRow("ended by its terminator") << true;
        QTest::newRow("still unfinished") << false;
    }
    void anOverlongMessageIsDiscardedAndItsSenderStays()
    {
        QFETCH(bool, terminated);
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        h.clearAll();
        const QByteArray pasted = "CMD_chat+1+" + QByteArray(TServer::maxPendingBytes + 1000, 'x') + "|clBlack";
        ann.sendRaw(terminated ? pasted + Wire::Terminator : pasted);
        h.settle();
        QVERIFY(h.server.seat(1).connected);
        QVERIFY(!ann.closed);
        if (!terminated) {
            // The rest of the long line, then its end: still nothing relayed.
            QVERIFY(h.server.seat(1).pending.pendingSize() <= TServer::maxPendingBytes);
            ann.sendRaw(QByteArray(5000, 'y') + Wire::Terminator);
            h.settle();
        }
        QVERIFY(ann.with("CMD_chat").isEmpty());
        ann.send("CMD_chat", {"1", "short one|clBlack"});
        h.settle();
        QCOMPARE(bob.with("CMD_chat"), QList<QByteArray>({"CMD_chat+1+Ann chats: short one|clBlack"}));
        QVERIFY(bob.with("CMD_playerdisconnected").isEmpty());
    }

    // Bob's chat line and his word are still queued when he leaves and Eve
    // takes his seat: neither may count as hers.
    void aFreedSeatsNewcomerInheritsNoQueuedMessage()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        ann.send("CMD_startgame", {"Ann", "250", "30", "f", "f", ""});
        h.settle();
        h.clearAll();
        bob.send("CMD_chat", {"2", "bye all|clRed"});
        bob.sendRaw("CMD_myword+2" + h.server.board().wordpositions() + Wire::Terminator);
        // The network runs, the dispatch does not.
        QTRY_COMPARE(h.server.queued(), 2);
        bob.sock.Close();
        QTRY_VERIFY(!h.server.seat(2).connected);
        h.clients.push_back(std::make_unique<ScriptedClient>(h.port()));
        ScriptedClient &eve = *h.clients.back();
        QTRY_VERIFY(h.server.seat(2).connected);
        QTRY_COMPARE(eve.received.value(0), QByteArray("CMD_sendlogininfo+2"));

        h.settle();
        QCOMPARE(h.server.queued(), 0);
        QVERIFY(ann.with("CMD_chat").isEmpty());
        QVERIFY(ann.with("CMD_hefoundit").isEmpty());
        QCOMPARE(h.server.seat(2).score, 0);
        QVERIFY(!h.server.seat(2).found);
        eve.sendRaw(QByteArray("CMD_logininfo+2+1.0.5+Eve") + Wire::Terminator);
        eve.send("CMD_chat", {"2", "hi|clBlue"});
        h.settle();
        QCOMPARE(ann.with("CMD_chat"), QList<QByteArray>({"CMD_chat+2+Eve chats: hi|clBlue"}));
    }

    // Ann chats long lines while Bob's window has stopped reading: what the
    // server keeps for Bob stays bounded, and Bob is let go.
    void aSeatThatStopsReadingIsDroppedPastItsBound()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        const int bob = silentReader(h, 2, "Bob");
        QCOMPARE(h.server.seat(2).name, QByteArray("Bob"));
        const QByteArray line = QByteArray(60 * 1024, 'x') + "|clRed";
        int largest = 0;
        for (int batch = 0; batch < 60 && h.server.seat(2).connected; ++batch) {
            ann.received.clear();
            for (int i = 0; i < 4; ++i)
                ann.send("CMD_chat", {"1", line});
            h.settle();
            if (h.server.seat(2).link)
                largest = qMax(largest, int(h.server.seat(2).link->outboundBytes()));
        }
        QVERIFY(!h.server.seat(2).connected);
        QVERIFY2(largest <= TServer::maxOutboundBytes, QByteArray::number(largest).constData());
        QCOMPARE(ann.last("CMD_playerdisconnected"), QByteArray("CMD_playerdisconnected+2+Bob"));
        ann.send("CMD_chat", {"1", "still here|clBlack"});
        h.settle();
        QCOMPARE(ann.last("CMD_chat"), QByteArray("CMD_chat+1+Ann chats: still here|clBlack"));
        ::close(bob);
    }

    // Nine connections that never log in hold every seat for 30 seconds and
    // no longer; then a real player gets one.
    void connectionsThatNeverLogInLoseTheirSeats()
    {
        ServerHarness h;
        std::vector<std::unique_ptr<ScriptedClient>> silent;
        for (int i = 0; i < 9; ++i)
            silent.push_back(std::make_unique<ScriptedClient>(h.port()));
        QTRY_COMPARE(h.server.seatsused(), 9);
        ScriptedClient &refused = h.join("Ann");
        QTRY_COMPARE(refused.received, QList<QByteArray>({"CMD_full+"}));

        QVERIFY(h.server.logintimerEnabled());
        for (int second = 1; second <= TServer::loginTimeout; ++second)
            h.server.logintimerTimer();
        h.settle();
        for (int n = 1; n <= 9; ++n)
            QVERIFY(h.server.seat(n).connected);
        h.server.logintimerTimer();
        h.settle();
        for (int n = 1; n <= 9; ++n)
            QVERIFY(!h.server.seat(n).connected);
        for (const auto &c : silent)
            QTRY_VERIFY(c->closed);
        QVERIFY(!h.server.logintimerEnabled());

        ScriptedClient &ann = h.join("Ann");
        QCOMPARE(ann.seat, 1);
        QCOMPARE(h.server.seat(1).name, QByteArray("Ann"));
    }

    void aLoggedInSeatIsNeverTimedOut()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient silent(h.port());
        QTRY_VERIFY(h.server.seat(2).connected);
        h.clearAll();
        for (int second = 0; second <= TServer::loginTimeout; ++second)
            h.server.logintimerTimer();
        h.settle();
        QVERIFY(!h.server.seat(2).connected);
        QCOMPARE(ann.received, QList<QByteArray>({"CMD_playerdisconnected+2+"}));
        QVERIFY(h.server.seat(1).connected);
        for (int second = 0; second <= 2 * TServer::loginTimeout; ++second)
            h.server.logintimerTimer();
        QVERIFY(h.server.seat(1).connected);
    }

    // A peer that vanishes without a close or a reset is probed, and given
    // up within half a minute, with or without data waiting for it.
    void seatedConnectionsAreProbedWhenSilent()
    {
        ServerHarness h;
        h.join("Ann");
        const int fd = h.server.seat(1).link->handle();
        int on = 0, idle = 0, interval = 0, count = 0;
        socklen_t len = sizeof on;
        getsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, &len);
        getsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, &len);
        getsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, &len);
        getsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, &len);
        QCOMPARE(on, 1);
        QVERIFY(count >= 1 && interval >= 1);
        unsigned int silentMs = 0;
        len = sizeof silentMs;
        getsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &silentMs, &len);
        QVERIFY2(idle + interval * count <= 30, QByteArray::number(idle + interval * count).constData());
        QCOMPARE(silentMs, unsigned(idle + interval * count) * 1000u);
    }
};

ZARVEX_TEST_MAIN(TestServerSeats)
#include "tst_serverseats.moc"
