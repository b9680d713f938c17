#include "social/soundcues.h"
#include "support/recordingsink.h"
#include "support/testmain.h"

namespace {

// Seats 1 to 6 have name labels; the test's players sit in 2 and 5.
std::optional<QString> labels(const QByteArray &seat)
{
    if (seat == "2")
        return QStringLiteral("Bob");
    if (seat == "5")
        return QStringLiteral("Zoë");
    if (seat == "1" || seat == "3" || seat == "4" || seat == "6")
        return QStringLiteral("<Waiting>");
    return std::nullopt;
}

} // namespace

class TestSoundCues : public QObject
{
    Q_OBJECT

private slots:
    void theOptionsStartAsTheMenuShowsThem()
    {
        const SoundCues cues;
        QVERIFY(cues.playSounds());
        QVERIFY(!cues.chatterSounds());
        QVERIFY(!cues.turnSoundNew());
        QCOMPARE(cues.turnsound(), QString("turn"));
    }

    void gameEventsPlayOnlyWithPlaySounds()
    {
        RecordingSink sink;
        SoundCues cues(&sink);
        cues.playsounds("valid");
        cues.setPlaySounds(false);
        cues.playsounds("invalid");
        cues.setChatterSounds(true);     // chatter does not bring game events back
        cues.playsounds("clear");
        cues.setPlaySounds(true);
        cues.playsounds("tick");
        QCOMPARE(sink.played, QStringList({"valid", "tick"}));
    }

    void withoutASinkNothingPlaysAndNothingBreaks()
    {
        SoundCues cues;
        cues.setChatterSounds(true);
        cues.playsounds("valid");
        QVERIFY(cues.playasound("2+wave3+", labels).isEmpty());
    }

    void theTurnSoundFollowsTheChoice()
    {
        SoundCues cues;
        cues.setTurnSoundNew(true);
        QCOMPARE(cues.turnsound(), QString("turnnew"));
        cues.setTurnSoundNew(false);
        QCOMPARE(cues.turnsound(), QString("turn"));
    }

    void theClockTicksAtTwentyFifteenAndTheLastTen()
    {
        QList<int> ticks;
        for (int left = 200; left >= -5; --left)
            if (SoundCues::tickAt(left))
                ticks << left;
        QCOMPARE(ticks, QList<int>({20, 15, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    }

    void shoutsPlayWithChatterSoundsWhateverPlaySoundsSays_data()
    {
        QTest::addColumn<bool>("playSounds");
        QTest::newRow("play sounds on") << true;
        QTest::newRow("play sounds off") << false;
    }
    void shoutsPlayWithChatterSoundsWhateverPlaySoundsSays()
    {
        QFETCH(bool, playSounds);
        RecordingSink sink;
        SoundCues cues(&sink);
        cues.setPlaySounds(playSounds);
        cues.setChatterSounds(true);
        QVERIFY(cues.playasound("2+wave3+", labels).isEmpty());
        QVERIFY(cues.playasound("5+wave14", labels).isEmpty());
        // A shout from a seat without a label, or one that is no shout, is
        // still handed on: the speakers beep for a name they do not have.
        QVERIFY(cues.playasound("8+wave99+", labels).isEmpty());
        QCOMPARE(sink.played, QStringList({"wave3", "wave14", "wave99"}));
    }

    void withoutChatterSoundsAShoutBecomesAStatusLine_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("hello from seat 2") << QByteArray("2+wave3+") << QByteArray("0+Bob: <Chatter Sound> Hello");
        QTest::newRow("a name in UTF-8") << QByteArray("5+wave5+") << QByteArray("0+Zo\xc3\xab: <Chatter Sound> Where have you been?");
        QTest::newRow("the last shout") << QByteArray("2+wave14+") << QByteArray("0+Bob: <Chatter Sound> Honk");
        QTest::newRow("no closing field") << QByteArray("2+wave1") << QByteArray("0+Bob: <Chatter Sound> Doh");
        QTest::newRow("fields after the name") << QByteArray("2+wave2+x+y") << QByteArray("0+Bob: <Chatter Sound> Cough");
        QTest::newRow("capital letters") << QByteArray("2+WAVE13+") << QByteArray("0+Bob: <Chatter Sound> Applause");
        QTest::newRow("an empty seat's label") << QByteArray("4+wave8+") << QByteArray("0+<Waiting>: <Chatter Sound> Sorry");
        QTest::newRow("the cancel item") << QByteArray("2+Cancel1+") << QByteArray("0+Bob: <Chatter Sound> <Cancel>");
        QTest::newRow("a spectator's seat") << QByteArray("7+wave3+") << QByteArray();
        QTest::newRow("seat text with a zero") << QByteArray("02+wave3+") << QByteArray();
        QTest::newRow("no seat") << QByteArray("+wave3+") << QByteArray();
        QTest::newRow("no shout of that number") << QByteArray("2+wave15+") << QByteArray();
        QTest::newRow("wave0") << QByteArray("2+wave0+") << QByteArray();
        QTest::newRow("no sound name") << QByteArray("2") << QByteArray();
        QTest::newRow("empty") << QByteArray() << QByteArray();
    }
    void withoutChatterSoundsAShoutBecomesAStatusLine()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, line);
        RecordingSink sink;
        SoundCues cues(&sink);
        QCOMPARE(cues.playasound(payload, labels), line);
        QVERIFY(sink.played.isEmpty());
    }

    void aShoutIsSentOnlyFromAConnectedPlayingSeat_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<int>("myseat");
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("hello from seat 2") << 3 << 2 << true << QByteArray("CMD_playasound+2+wave3+\xff");
        QTest::newRow("doh from the host") << 1 << 1 << true << QByteArray("CMD_playasound+1+wave1+\xff");
        QTest::newRow("honk from seat 6") << 14 << 6 << true << QByteArray("CMD_playasound+6+wave14+\xff");
        QTest::newRow("cancel") << 0 << 2 << true << QByteArray();
        QTest::newRow("a spectator") << 3 << 7 << true << QByteArray();
        QTest::newRow("the last spectator") << 3 << 9 << true << QByteArray();
        QTest::newRow("not connected") << 3 << 2 << false << QByteArray();
        QTest::newRow("no seat yet") << 3 << 0 << true << QByteArray();
        QTest::newRow("no such shout") << 15 << 2 << true << QByteArray();
        QTest::newRow("a negative tag") << -1 << 2 << true << QByteArray();
    }
    void aShoutIsSentOnlyFromAConnectedPlayingSeat()
    {
        QFETCH(int, tag);
        QFETCH(int, myseat);
        QFETCH(bool, connected);
        QFETCH(QByteArray, message);
        QCOMPARE(SoundCues::shoutMessage(tag, myseat, connected), message);
    }

    void theShoutMenuListsCancelAndTheFourteenShouts()
    {
        const auto &shouts = SoundCues::shouts();
        QCOMPARE(QString(shouts[0].item), QString("Cancel1"));
        QCOMPARE(QString(shouts[0].caption), QString("<Cancel>"));
        QCOMPARE(shouts[0].tag, 0);
        const QStringList captions{"Doh", "Cough", "Hello", "Thank You", "Where have you been?", "Snoring",
                                   "Sneezing", "Sorry", "Welcome", "Yeehaa", "Yippee", "Oh No", "Applause", "Honk"};
        for (int n = 1; n <= SoundCues::shoutCount; ++n) {
            QCOMPARE(shouts[size_t(n)].tag, n);
            QCOMPARE(QString(shouts[size_t(n)].item), QString("wave%1").arg(n));
            QCOMPARE(QString(shouts[size_t(n)].caption), captions.at(n - 1));
            // Each shout's item name is the name of its sound.
            QVERIFY(SoundCues::resourceNames().contains(QString(shouts[size_t(n)].item)));
        }
    }

    void thereAreTwentySevenDistinctSoundNames()
    {
        const QStringList &names = SoundCues::resourceNames();
        QCOMPARE(names.size(), 27);
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 27);
        for (const QString &name : names)
            QCOMPARE(name, name.toLower());
    }
};

ZARVEX_TEST_MAIN(TestSoundCues)
#include "tst_soundcues.moc"
