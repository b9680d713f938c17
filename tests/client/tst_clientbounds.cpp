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
};

ZARVEX_TEST_MAIN(TestClientBounds)
#include "tst_clientbounds.moc"
