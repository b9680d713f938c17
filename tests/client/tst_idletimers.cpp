#include "client/computerplayer.h"
#include "support/fakeserver.h"
#include "support/serverharness.h"
#include "support/testmain.h"

#include <QSignalSpy>

namespace {

// Five chat lines from one seat, sent in one write.
QByteArray chatBurst(int seat)
{
    QByteArray burst;
    for (const char *word : {"one", "two", "three", "four", "five"})
        burst += Wire::message("CMD_chat", {QByteArray::number(seat), word});
    return burst;
}

QList<QByteArray> relayedChats(const ScriptedClient &client)
{
    QList<QByteArray> chats;
    for (const QByteArray &m : client.with("CMD_chat+1+"))
        chats << m.mid(m.lastIndexOf(' ') + 1);
    return chats;
}

const QList<QByteArray> burstWords{"one", "two", "three", "four", "five"};

} // namespace

// The dispatch timers run only while their queue holds work, and then hand
// out one message per tick; an idle game leaves every timer stopped.
class TestIdleTimers : public QObject
{
    Q_OBJECT

private slots:
    void theServerDispatchesABurstAfterIdleOnePerTick()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        h.clearAll();
        QVERIFY(!h.server.socktimerEnabled());
        QVERIFY(!h.server.timer1Enabled());
        // The login clock stops on its next tick, as nobody waits any more.
        h.server.logintimerTimer();
        QVERIFY(!h.server.logintimerEnabled());

        ann.sendRaw(chatBurst(1));
        QTRY_COMPARE(h.server.queued(), 5);
        QVERIFY(h.server.socktimerEnabled());
        for (int tick = 1; tick <= 5; ++tick) {
            h.server.socktimerTimer();
            QCOMPARE(h.server.queued(), 5 - tick);
            QTRY_COMPARE(relayedChats(bob).size(), tick);
            QCOMPARE(h.server.socktimerEnabled(), tick < 5);
        }
        QCOMPARE(relayedChats(bob), burstWords);
    }

    // With the real timer: nothing ticks before the burst, the queue drains
    // by one message per pass of the event loop, and the timer stops after.
    void theRunningServerTimerWakesForABurstAndStopsAfter()
    {
        TServer server(nullptr, Ticker::Running);
        server.Sock1.setPortName("0");
        server.Sock1.setListen(true);
        ScriptedClient ann(server.Sock1.LocalPort());
        QTRY_VERIFY(!ann.with("CMD_sendlogininfo+1").isEmpty());
        ann.sendRaw("CMD_logininfo+1+" + Wire::Version + "+Ann" + Wire::Terminator);
        QTRY_VERIFY(!ann.with("CMD_newplayerinfo+1+Ann").isEmpty());
        QTRY_VERIFY(!server.socktimerEnabled());

        QTest::qWait(50);
        QVERIFY(!server.socktimerEnabled());
        ann.sendRaw(chatBurst(1));
        QList<int> seen;
        QElapsedTimer clock;
        clock.start();
        while ((seen.isEmpty() || seen.last() > 0) && clock.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            if (server.queued() > 0 || !seen.isEmpty())
                if (seen.isEmpty() || seen.last() != server.queued())
                    seen << server.queued();
        }
        QCOMPARE(seen, QList<int>({5, 4, 3, 2, 1, 0}));
        QTRY_COMPARE(relayedChats(ann), burstWords);
        QVERIFY(!server.socktimerEnabled());
    }

    void aFinishedGameLeavesTheServerAtRest()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        h.join("Bob");
        ann.send("CMD_startgame", {"Ann", "1", "30", "f", "f", ""});
        h.settle();
        QVERIFY(h.server.timer1Enabled());
        ann.sendRaw("CMD_myword+1" + h.server.board().wordpositions() + Wire::Terminator);
        h.settle();
        h.tick(34 + 7);
        h.server.logintimerTimer();
        QVERIFY(!ann.with("CMD_winner").isEmpty());
        QVERIFY(!h.server.timer1Enabled());
        QVERIFY(!h.server.socktimerEnabled());
        QVERIFY(!h.server.logintimerEnabled());
    }

    void theWindowDispatchesABurstAfterIdleOnePerTick()
    {
        ClientUnderTest t(2);
        QSignalSpy chats(&t.client, &GameClient::chatReceived);
        QVERIFY(!t.client.Timer1Enabled());

        t.listener.accepted->Send(chatBurst(1));
        QTRY_COMPARE(t.client.queued(), 5);
        QVERIFY(t.client.Timer1Enabled());
        for (int tick = 1; tick <= 5; ++tick) {
            t.client.Timer1Timer();
            QCOMPARE(chats.count(), tick);
            QVERIFY(chats.last().first().toByteArray().endsWith(burstWords[tick - 1]));
            QCOMPARE(t.client.Timer1Enabled(), tick < 5);
        }
    }

    // No message comes back while the phrase cools down: the timer keeps
    // counting the 101 ticks on its own, then stops.
    void thePhraseCooldownIsCountedWhileTheQueueIsIdle()
    {
        ClientUnderTest t(2);
        QVERIFY(!t.client.Timer1Enabled());
        QVERIFY(t.client.phrases().b_phrase1Click(1, t.client.chatSender()));
        QVERIFY(t.client.Timer1Enabled());
        for (int tick = 1; tick <= PhraseButtons::CooldownTicks; ++tick)
            t.client.Timer1Timer();
        QVERIFY(!t.client.phraseready());
        QVERIFY(t.client.Timer1Enabled());
        t.client.Timer1Timer();
        QVERIFY(t.client.phraseready());
        QVERIFY(!t.client.Timer1Enabled());
    }

    void theRunningWindowTimerReleasesThePhraseWithoutMessages()
    {
        Loopback::Listener listener;
        GameClient client(nullptr, Ticker::Running);
        client.setGamePort(listener.port());
        client.setLobbyPort(Loopback::freePort());
        client.processparams({"Bob", "127.0.0.1", "join"});
        QTRY_VERIFY(listener.accepted);
        listener.accepted->Send(Wire::message("CMD_sendlogininfo", {"2"}));
        QTRY_VERIFY(client.isconnected());
        QTRY_VERIFY(!client.Timer1Enabled());

        QVERIFY(client.phrases().b_phrase1Click(1, client.chatSender()));
        QVERIFY(!client.phraseready());
        QTRY_VERIFY_WITH_TIMEOUT(client.phraseready(), 5000);
        QVERIFY(!client.Timer1Enabled());
    }

    void aComputerPlayerDispatchesOnlyWhileMessagesWait()
    {
        ComputerPlayer player("Hal", ComputerLevel::Normal, Ticker::Manual);
        QVERIFY(!player.dispatchEnabled());
        player.receive("CMD_justwatching+3+1");
        player.receive("CMD_justwatching+4+1");
        QVERIFY(player.dispatchEnabled());
        player.dispatchTimer();
        QCOMPARE(player.queued(), 1);
        QVERIFY(player.dispatchEnabled());
        player.dispatchTimer();
        QCOMPARE(player.queued(), 0);
        QVERIFY(!player.dispatchEnabled());
    }
};

ZARVEX_TEST_MAIN(TestIdleTimers)
#include "tst_idletimers.moc"
