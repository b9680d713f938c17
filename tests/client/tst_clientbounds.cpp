#include "client/gameclient.h"
#include "protocol/wire.h"
#include "support/loopback.h"
#include "support/testmain.h"

#include <QSignalSpy>

namespace {

// A client whose server is the test: it accepts the client's connection and
// writes whatever the test wants, as a hostile or a departing server would.
struct BareClient
{
    Loopback::Listener listener;
    GameClient client{nullptr, Ticker::Manual};
    QStringList events;   // message boxes, handled lines and the close, in order

    BareClient()
    {
        QObject::connect(&client, &GameClient::messageBox, [this](const QString &s) { events << "box: " + s; });
        QObject::connect(&client, &GameClient::chatReceived,
                         [this](const QByteArray &p) { events << "chat: " + QString::fromUtf8(p); });
        QObject::connect(&client, &GameClient::closeRequested, [this] { events << "close"; });
        client.setGamePort(listener.port());
        client.setLobbyPort(Loopback::freePort());
        client.processparams({"Late", "127.0.0.1", "join"});
        QTRY_VERIFY(listener.accepted);
    }
    TSock &server() { return *listener.accepted; }
    void dispatchAll()
    {
        while (client.queued() > 0)
            client.Timer1Timer();
    }
};

} // namespace

class TestClientBounds : public QObject
{
    Q_OBJECT

private slots:
    // The server says its last words and closes at once: the window handles
    // them before it closes.
    void theLastMessagesAreHandledBeforeTheWindowCloses_data()
    {
        QTest::addColumn<QList<QByteArray>>("messages");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("game is full") << QList<QByteArray>({"CMD_full+"})
                                      << QStringList({"box: Game is full", "close"});
        QTest::newRow("a last chat line") << QList<QByteArray>({"CMD_chat+1+Ann chats: bye|clRed"})
                                          << QStringList({"chat: 1+Ann chats: bye|clRed", "close"});
        QTest::newRow("nothing queued") << QList<QByteArray>() << QStringList({"close"});
    }
    void theLastMessagesAreHandledBeforeTheWindowCloses()
    {
        QFETCH(QList<QByteArray>, messages);
        QFETCH(QStringList, events);
        BareClient t;
        for (const QByteArray &m : messages)
            t.server().Send(m + Wire::Terminator);
        t.server().Close();
        QTRY_VERIFY(!t.client.socket().HandleValid());
        QCOMPARE(t.client.queued(), int(messages.size()));
        if (!messages.isEmpty())
            QCOMPARE(t.events, QStringList());
        t.dispatchAll();
        QCOMPARE(t.events, events);
    }

    void anOverlongMessageIsDroppedAndTheNextOneHandled()
    {
        BareClient t;
        t.server().Send("CMD_chat+1+Ann chats: " + QByteArray(GameClient::maxMessageBytes, 'x') + Wire::Terminator
                        + "CMD_chat+1+Ann chats: hi|clRed" + Wire::Terminator);
        QTRY_COMPARE(t.client.queued(), 1);
        t.dispatchAll();
        QCOMPARE(t.events, QStringList({"chat: 1+Ann chats: hi|clRed"}));
        QVERIFY(t.client.socket().HandleValid());
    }

    void anEndlessMessageKeepsNoMoreThanTheBound()
    {
        BareClient t;
        const QByteArray chunk(32 * 1024, 'x');
        for (int i = 0; i < 16; ++i) {
            t.server().Send(chunk);
            QTest::qWait(5);
            QVERIFY(t.client.pendingSize() <= GameClient::maxMessageBytes);
        }
        QTRY_COMPARE(t.server().OutboundCount(), 0);
        QTest::qWait(20);
        QVERIFY(t.client.pendingSize() <= GameClient::maxMessageBytes);
        t.server().Send(QByteArray("end") + Wire::Terminator + "CMD_chat+1+after|clRed" + Wire::Terminator);
        QTRY_COMPARE(t.client.queued(), 1);
        t.dispatchAll();
        QCOMPARE(t.events, QStringList({"chat: 1+after|clRed"}));
    }

    void aFloodingServerIsLeft_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("kept");
        QTest::newRow("a burst within the bound") << GameClient::maxQueuedMessages << true;
        QTest::newRow("more than the bound") << GameClient::maxQueuedMessages + 100 << false;
    }
    void aFloodingServerIsLeft()
    {
        QFETCH(int, count);
        QFETCH(bool, kept);
        BareClient t;
        QByteArray burst;
        for (int i = 0; i < count; ++i)
            burst += "CMD_chat+1+Ann chats: " + QByteArray::number(i) + "|clRed" + Wire::Terminator;
        t.server().Send(burst);
        QTRY_COMPARE(t.server().OutboundCount(), 0);
        if (kept) {
            QTRY_COMPARE(t.client.queued(), count);
            t.dispatchAll();
            QCOMPARE(t.events.size(), count);
            QVERIFY(t.client.socket().HandleValid());
        } else {
            QTRY_VERIFY(!t.client.socket().HandleValid());
            QCOMPARE(t.client.queued(), 0);
            QCOMPARE(t.events, QStringList({"close"}));
        }
    }

    // Spectators sit in seats 7 to 9 and nowhere else; a seat announced
    // twice keeps one entry.
    void theSpyListHoldsTheThreeSpectatorSeatsAtMost()
    {
        BareClient t;
        QByteArray wire = QByteArray("CMD_sendlogininfo+2") + Wire::Terminator;
        for (const char *m : {"7+Gil", "8+Hal", "9+Ida", "7+Gus", "10+Jo", "0+Zed", "-1+Neg", "2147483647+Max", "8+Hal"})
            wire += QByteArray("CMD_newplayerinfo+") + m + Wire::Terminator;
        t.server().Send(wire);
        QTRY_COMPARE(t.client.queued(), 10);
        t.dispatchAll();
        QCOMPARE(t.client.spies(), QStringList({"9: Ida", "7: Gus", "8: Hal"}));
    }
};

ZARVEX_TEST_MAIN(TestClientBounds)
#include "tst_clientbounds.moc"
