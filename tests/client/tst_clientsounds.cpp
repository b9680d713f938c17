#include "support/fakeserver.h"
#include "support/recordingsink.h"
#include "support/testmain.h"

namespace {

// A client in a seat with its speakers recorded.
struct Heard : ClientUnderTest
{
    RecordingSink sink;
    explicit Heard(int seat, const QByteArray &name = "Bob") : ClientUnderTest(seat, name)
    {
        client.sounds().setSink(&sink);
        sink.played.clear();       // the login's own "entered"
    }
};

const QByteArray startgame = "CMD_startgame+Ann+250+30+f+f+";

} // namespace

// What a player hears, and sees instead, as the server's messages arrive.
class TestClientSounds : public QObject
{
    Q_OBJECT

private slots:
    void withPlaySoundsOffOnlyShoutsAreHeard()
    {
        Heard t(2);
        t.client.sounds().setPlaySounds(false);
        t.client.sounds().setChatterSounds(true);
        t.feed("CMD_newplayerinfo+1+Ann");
        t.feed(startgame);
        t.feed("CMD_nextplayer+2+");
        for (int k = 0; k < 25; ++k)
            t.client.turntimeTimer();
        t.feed("CMD_playasound+1+wave3+");
        t.feed("CMD_hefoundit+1+30+30+");
        t.feed("CMD_playasound+2+wave13+");
        t.feed("CMD_outoftime+***+");
        QCOMPARE(t.sink.played, QStringList({"wave3", "wave13"}));
        // The events happened all the same; only the speakers stayed quiet.
        QVERIFY(t.sounds.contains("tick") && t.sounds.contains("goodwordthem"));
    }

    void withBothOnEventsAndShoutsAreHeardInTurn()
    {
        Heard t(2);
        t.client.sounds().setChatterSounds(true);
        t.feed("CMD_newplayerinfo+1+Ann");
        t.feed("CMD_playasound+1+wave9+");
        t.feed(startgame);
        t.feed("CMD_nextplayer+2+");
        t.feed("CMD_hefoundit+2+30+30+");
        QCOMPARE(t.sink.played, QStringList({"entered", "wave9", "turn", "goodword"}));
    }

    void withChatterOffAShoutIsNamedInTheChat()
    {
        Heard t(1, "Ann");
        t.feed("CMD_newplayerinfo+2+Bob");
        t.lines.clear();
        t.sink.played.clear();
        t.feed("CMD_playasound+2+wave3+");
        QCOMPARE(t.lines, QList<QByteArray>({"0+Bob: <Chatter Sound> Hello"}));
        QVERIFY(t.sink.played.isEmpty());
        // Line code 0: a status line, in the status colour, blue.
        QCOMPARE(t.client.statuscolour(), quint32(0xFF0000));
    }

    void aShoutFromNowhereAddsNoLine_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::newRow("a spectator's seat") << QByteArray("8+wave3+");
        QTest::newRow("seat zero") << QByteArray("0+wave3+");
        QTest::newRow("not a shout") << QByteArray("2+wave27+");
        QTest::newRow("no sound name") << QByteArray("2");
    }
    void aShoutFromNowhereAddsNoLine()
    {
        QFETCH(QByteArray, payload);
        Heard t(1, "Ann");
        t.feed("CMD_newplayerinfo+2+Bob");
        t.lines.clear();
        t.sink.played.clear();
        t.feed("CMD_playasound+" + payload);
        QVERIFY(t.lines.isEmpty());
        QVERIFY(t.sink.played.isEmpty());
        // The client goes on with the next message.
        t.feed("CMD_playasound+2+wave1+");
        QCOMPARE(t.lines, QList<QByteArray>({"0+Bob: <Chatter Sound> Doh"}));
    }

    void aSeatedPlayerSendsTheChosenShout_data()
    {
        QTest::addColumn<int>("seat");
        QTest::addColumn<int>("tag");
        QTest::addColumn<QList<QByteArray>>("sent");
        QTest::newRow("hello from seat 2") << 2 << 3 << QList<QByteArray>({"CMD_playasound+2+wave3+"});
        QTest::newRow("honk from seat 6") << 6 << 14 << QList<QByteArray>({"CMD_playasound+6+wave14+"});
        QTest::newRow("cancel") << 2 << 0 << QList<QByteArray>();
        QTest::newRow("a spectator") << 7 << 3 << QList<QByteArray>();
    }
    void aSeatedPlayerSendsTheChosenShout()
    {
        QFETCH(int, seat);
        QFETCH(int, tag);
        QFETCH(QList<QByteArray>, sent);
        Heard t(seat);
        t.client.wave14Click(tag);
        t.settle();
        QTRY_COMPARE(t.sentWith("CMD_playasound"), sent);
        // Nothing is played before the relay comes back.
        QVERIFY(t.sink.played.isEmpty());
    }

    void aClientThatHasNotLoggedInSendsNoShout()
    {
        // Connected, but the server has not yet asked for the login.
        Loopback::Listener listener;
        GameClient client(nullptr, Ticker::Manual);
        client.setGamePort(listener.port());
        client.setLobbyPort(Loopback::freePort());
        client.processparams({"Bob", "127.0.0.1", "join"});
        QTRY_VERIFY(listener.accepted);
        QByteArray received;
        listener.accepted->OnRead = [&received](TSock *s, int) { received += s->Receive(); };
        client.wave14Click(3);
        client.socket().Send("CMD_chat+0+marker+" + QByteArray(1, Wire::Terminator));
        QTRY_VERIFY(received.contains("marker"));
        QVERIFY(!received.contains("CMD_playasound"));
        QVERIFY(!client.isconnected());
    }

    void theTurnSoundFollowsTheChoice_data()
    {
        QTest::addColumn<bool>("turnSoundNew");
        QTest::addColumn<QString>("heard");
        QTest::newRow("classic") << false << "turn";
        QTest::newRow("new") << true << "turnnew";
    }
    void theTurnSoundFollowsTheChoice()
    {
        QFETCH(bool, turnSoundNew);
        QFETCH(QString, heard);
        Heard t(2);
        t.client.sounds().setTurnSoundNew(turnSoundNew);
        t.feed(startgame);
        t.feed("CMD_nextplayer+3+");   // somebody else's turn: no sound
        t.feed("CMD_nextplayer+2+");
        QCOMPARE(t.sink.played, QStringList({heard}));
    }

    void theSettingsSetWhatIsHeard()
    {
        Heard t(2);
        ClientSettings &settings = t.client.settings();
        QVERIFY(!t.client.sounds().chatterSounds());
        t.feed("CMD_newplayerinfo+2+Bob");   // this seat: the settings are read
        QVERIFY(t.client.sounds().chatterSounds());   // a first run hears shouts
        t.sink.played.clear();
        settings.setTurnSound(1);
        t.feed(startgame);
        t.feed("CMD_nextplayer+2+");
        t.feed("CMD_playasound+2+wave11+");
        settings.setPlaySounds(false);
        t.feed("CMD_hefoundit+2+30+30+");
        settings.setChatterSounds(false);
        t.feed("CMD_playasound+2+wave12+");
        QCOMPARE(t.sink.played, QStringList({"turnnew", "wave11"}));
        QCOMPARE(t.lines.last(), QByteArray("0+Bob: <Chatter Sound> Oh No"));
    }

    void theClockTicksAtTwentyFifteenAndTenToOne()
    {
        Heard t(2);
        t.feed("CMD_startgame+Ann+250+25+f+f+");
        t.feed("CMD_nextplayer+3+");    // ticks come on every seat's clock
        QList<int> ticked;
        for (int k = 0; k < 30; ++k) {
            t.sink.played.clear();
            t.client.turntimeTimer();
            if (t.sink.played == QStringList({"tick"}))
                ticked << t.client.secondsleft();
            else
                QVERIFY(t.sink.played.isEmpty());
        }
        QCOMPARE(ticked, QList<int>({20, 15, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    }
};

ZARVEX_TEST_MAIN(TestClientSounds)
#include "tst_clientsounds.moc"
