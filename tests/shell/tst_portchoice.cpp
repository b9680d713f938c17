#include "shell/portchoice.h"
#include "support/testmain.h"

#include <QScopeGuard>

// The ports a copy of the program is told to use through its environment.
class TestPortChoice : public QObject
{
    Q_OBJECT

private slots:
    void onlyAPortNumberIsTaken_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("port");   // 0: none, the program's own is used
        QTest::newRow("a free port") << "40123" << 40123;
        QTest::newRow("lowest") << "1" << 1;
        QTest::newRow("below the lowest") << "0" << 0;
        QTest::newRow("highest") << "65535" << 65535;
        QTest::newRow("above the highest") << "65536" << 0;
        QTest::newRow("far above") << "99999999999" << 0;
        QTest::newRow("leading zero") << "0800" << 800;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("negative") << "-1" << 0;
        QTest::newRow("with a sign") << "+80" << 0;
        QTest::newRow("with a blank") << " 80" << 0;
        QTest::newRow("a name") << "http" << 0;
    }
    void onlyAPortNumberIsTaken()
    {
        QFETCH(QString, text);
        QFETCH(int, port);
        QCOMPARE(int(PortChoice::fromText(text).value_or(0)), port);

        const QByteArray previous = qgetenv("ZARVEX_GAME_PORT");
        auto restore = qScopeGuard([&] {
            previous.isNull() ? qunsetenv("ZARVEX_GAME_PORT") : qputenv("ZARVEX_GAME_PORT", previous);
        });
        qputenv("ZARVEX_GAME_PORT", text.toUtf8());
        QCOMPARE(PortChoice::gamePort(), QByteArray::number(port ? port : 7772));
    }

    void withoutTheVariablesTheProgramsOwnPortsAreUsed()
    {
        const QByteArray game = qgetenv("ZARVEX_GAME_PORT");
        const QByteArray lobby = qgetenv("ZARVEX_LOBBY_PORT");
        qunsetenv("ZARVEX_GAME_PORT");
        qunsetenv("ZARVEX_LOBBY_PORT");
        QCOMPARE(PortChoice::gamePort(), QByteArray("7772"));
        QCOMPARE(PortChoice::lobbyPort(), quint16(9001));
        qputenv("ZARVEX_LOBBY_PORT", "9123");
        QCOMPARE(PortChoice::lobbyPort(), quint16(9123));
        game.isNull() ? qunsetenv("ZARVEX_GAME_PORT") : qputenv("ZARVEX_GAME_PORT", game);
        lobby.isNull() ? qunsetenv("ZARVEX_LOBBY_PORT") : qputenv("ZARVEX_LOBBY_PORT", lobby);
    }
};

ZARVEX_TEST_MAIN(TestPortChoice)
#include "tst_portchoice.moc"
