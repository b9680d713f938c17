#include "lobby/foundgames.h"
#include "lobby/gameannouncer.h"
#include "lobby/gametxt.h"
#include "support/testmain.h"

// What a host announces beside its name, and what this copy makes of the
// announcements of other machines, which may say anything.
class TestGameTxt : public QObject
{
    Q_OBJECT

private slots:
    void aHostsValuesGoOutAsRecordsAndComeBack()
    {
        GameTxt txt;
        txt.version = "1.0.5";
        txt.host = QStringLiteral("Ann \u00e9");
        txt.players = 3;
        txt.spectators = 1;
        txt.running = true;
        txt.runningKnown = true;
        QCOMPARE(txt.records(), QList<QByteArray>({"v=1.0.5", "host=Ann \xc3\xa9", "players=3", "spectators=1",
                                                   "running=1"}));
        QCOMPARE(GameTxt::fromRecords(txt.records()), txt);
        QCOMPARE(txt.summary("1.0.5"), QStringLiteral("3 of 6 seated, 1 watching, game running"));
        QCOMPARE(txt.summary("1.0.6"), QStringLiteral("3 of 6 seated, 1 watching, game running, version 1.0.5"));
    }

    void recordsFromAnotherMachine_data()
    {
        QTest::addColumn<QList<QByteArray>>("records");
        QTest::addColumn<int>("players");
        QTest::addColumn<int>("spectators");
        QTest::addColumn<QString>("host");
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<QString>("summary");
        QTest::newRow("all seats") << QList<QByteArray>{"players=6", "spectators=3", "running=0", "v=1.0.5"} << 6 << 3
                                   << "" << QByteArray("1.0.5") << "6 of 6 seated, 3 watching, waiting to start";
        QTest::newRow("one player too many") << QList<QByteArray>{"players=7", "spectators=4"} << -1 << -1 << ""
                                             << QByteArray() << "? of 6 seated, unknown version";
        QTest::newRow("none") << QList<QByteArray>{"players=0", "spectators=0", "v=1.0.5"} << 0 << 0 << ""
                              << QByteArray("1.0.5") << "0 of 6 seated";
        QTest::newRow("not numbers") << QList<QByteArray>{"players=two", "spectators=-1", "players", "=5"} << -1 << -1
                                     << "" << QByteArray() << "? of 6 seated, unknown version";
        QTest::newRow("number overflow") << QList<QByteArray>{"players=4294967299"} << -1 << -1 << "" << QByteArray()
                                         << "? of 6 seated, unknown version";
        QTest::newRow("running neither 0 nor 1") << QList<QByteArray>{"running=yes", "v=1.0.5"} << -1 << -1 << ""
                                                 << QByteArray("1.0.5") << "? of 6 seated";
        QTest::newRow("keys in capitals") << QList<QByteArray>{"PLAYERS=2", "Host=Bob", "V=1.0.5"} << 2 << -1 << "Bob"
                                          << QByteArray("1.0.5") << "2 of 6 seated";
        QTest::newRow("control characters in the name")
            << QList<QByteArray>{QByteArray("host=A\x07nn\xe2\x80\xae\x01", 13), "v=1.0.5"} << -1 << -1 << "Ann"
            << QByteArray("1.0.5") << "? of 6 seated";
        QTest::newRow("name not UTF-8") << QList<QByteArray>{"host=\xff\xfe" "Bo\xc3", "v=1.0.5"} << -1 << -1 << "Bo"
                                        << QByteArray("1.0.5") << "? of 6 seated";
        QTest::newRow("long name cut") << QList<QByteArray>{"host=" + QByteArray(300, 'x'), "v=1.0.5"} << -1 << -1
                                       << QString(GameTxt::MaxHostName, 'x') << QByteArray("1.0.5") << "? of 6 seated";
        QTest::newRow("long version cut") << QList<QByteArray>{"v=1.0.5-" + QByteArray(100, 'z')} << -1 << -1 << ""
                                          << QByteArray("1.0.5-" + QByteArray(10, 'z'))
                                          << "? of 6 seated, version 1.0.5-zzzzzzzzzz";
    }
    void recordsFromAnotherMachine()
    {
        QFETCH(QList<QByteArray>, records);
        QFETCH(int, players);
        QFETCH(int, spectators);
        QFETCH(QString, host);
        QFETCH(QByteArray, version);
        QFETCH(QString, summary);
        const GameTxt txt = GameTxt::fromRecords(records);
        QCOMPARE(txt.players, players);
        QCOMPARE(txt.spectators, spectators);
        QCOMPARE(txt.host, host);
        QCOMPARE(txt.version, version);
        QCOMPARE(txt.summary("1.0.5"), summary);
    }

    // Only the first records of an announcement are read.
    void recordsPastTheBoundAreIgnored()
    {
        QList<QByteArray> records(GameTxt::MaxRecords - 1, "x=y");
        QCOMPARE(GameTxt::fromRecords(records + QList<QByteArray>{"players=2"}).players, 2);
        QCOMPARE(GameTxt::fromRecords(records + QList<QByteArray>{"x=y", "players=2"}).players, -1);
    }

    void serviceNamesFitOneLabel_data()
    {
        QTest::addColumn<QString>("player");
        QTest::addColumn<QString>("machine");
        QTest::addColumn<QString>("name");
        QTest::newRow("short") << "Ann" << "box" << "Ann's game on box";
        QTest::newRow("blanks in the name") << "  Ann   Lee " << "box" << "Ann Lee's game on box";
        const QString machine(48, 'm');   // "A's game on " + 48 = 60 bytes
        QTest::newRow("just fits") << "Ann" << machine << "Ann's game on " + machine.left(48);
        QTest::newRow("player shortened") << "Annabel" << machine << "Anna's game on " + machine;
        QTest::newRow("two-byte letters") << QString(40, QChar(0xe9)) << "box"
                                          << QString(24, QChar(0xe9)) + "'s game on box";
        QTest::newRow("machine too long") << "Ann" << QString(80, 'm') << "A's game on " + QString(51, 'm');
    }
    void serviceNamesFitOneLabel()
    {
        QFETCH(QString, player);
        QFETCH(QString, machine);
        QFETCH(QString, name);
        const QString made = GameAnnouncer::serviceName(player, machine);
        QCOMPARE(made, name);
        QVERIFY(made.toUtf8().size() <= GameAnnouncer::MaxNameBytes);
    }

    void fittingNeverSplitsACharacter()
    {
        const QString exact(21, QChar(0x20ac));   // three bytes each: 63 bytes
        QCOMPARE(GameAnnouncer::fitName(exact), exact);
        QCOMPARE(GameAnnouncer::fitName(exact + 'x'), exact);
        const QString faces = QString::fromUtf8("\xf0\x9f\x98\x80").repeated(16);   // 64 bytes
        QCOMPARE(GameAnnouncer::fitName(faces), QString::fromUtf8("\xf0\x9f\x98\x80").repeated(15));
    }

    // The list keeps at most MaxGames rows; a known game still updates.
    void theListIsBounded()
    {
        FoundGames games;
        for (int n = 0; n < FoundGames::MaxGames; ++n)
            QVERIFY(games.upsert(FoundGame{QString::number(n), "local", "m", "127.0.0.1", 1, {}}));
        QCOMPARE(games.rowCount(), FoundGames::MaxGames);
        QVERIFY(!games.upsert(FoundGame{"one more", "local", "m", "127.0.0.1", 1, {}}));
        QCOMPARE(games.rowCount(), FoundGames::MaxGames);
        FoundGame changed{"5", "local", "m", "127.0.0.1", 2, {}};
        changed.txt.players = 4;
        QVERIFY(games.upsert(changed));
        QCOMPARE(games.data(games.index(5), FoundGames::PlayersRole).toInt(), 4);
        games.remove("5", "local");
        QVERIFY(games.upsert(FoundGame{"one more", "local", "m", "127.0.0.1", 1, {}}));
        QCOMPARE(games.indexOf("one more"), FoundGames::MaxGames - 1);
        games.remove("5", "elsewhere");   // another domain: not this row
        QCOMPARE(games.rowCount(), FoundGames::MaxGames);
    }

    void aRowShowsNameMachineAndSeats()
    {
        FoundGames games;
        FoundGame game{"Ann's game on box", "local", "box", "192.0.2.7", 7772, {}};
        game.txt = GameTxt::fromRecords({"v=1.0.4", "host=Ann", "players=2", "running=1"});
        games.upsert(game);
        QCOMPARE(games.data(games.index(0)).toString(),
                 QStringLiteral("Ann's game on box\nbox: 2 of 6 seated, game running, version 1.0.4"));
        // A server's name does not say who sits in seat 1.
        FoundGame club{"Word club", "local", "box", "192.0.2.7", 7790, {}};
        club.txt = GameTxt::fromRecords({"v=1.0.5", "host=Bob", "players=1", "running=0"});
        QCOMPARE(club.summary("1.0.5"), QStringLiteral("box: Bob hosts, 1 of 6 seated, waiting to start"));
        club.txt.host.clear();
        QCOMPARE(club.summary("1.0.5"), QStringLiteral("box: 1 of 6 seated, waiting to start"));
    }
};

ZARVEX_TEST_MAIN(TestGameTxt)
#include "tst_gametxt.moc"
