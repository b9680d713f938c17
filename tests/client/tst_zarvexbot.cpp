#include "support/loopback.h"
#include "support/serverharness.h"
#include "support/serverprocess.h"
#include "support/testmain.h"
#include "support/wordfinder.h"

#include <QFile>
#include <QProcess>

#include <memory>
#include <vector>

namespace {

std::unique_ptr<QProcess> startBot(quint16 port, const QString &name, const QString &level)
{
    auto bot = std::make_unique<QProcess>();
    bot->start(ZARVEX_BOT, {"--level", level, "--name", name, "--port", QString::number(port), "127.0.0.1"});
    return bot;
}

} // namespace

// The headless computer player as its own program, against the headless
// server, on a port of the test's choosing and with real timers.
class TestZarvexBot : public QObject
{
    Q_OBJECT

private slots:
    void twoBotsAndAHostPlayAGameToItsWinner()
    {
        ServerProcess running;
        QVERIFY(running.start(ZARVEX_SERVER));
        const quint16 port = running.port;
        QProcess &server = running.process;
        std::unique_ptr<ScriptedClient> hostSeat = running.joinAsAnn();
        ScriptedClient &host = *hostSeat;
        QVERIFY(!host.with("CMD_newplayerinfo+1+Ann").isEmpty());

        auto rufus = startBot(port, "Rufus", "hard");
        QTRY_VERIFY_WITH_TIMEOUT(!host.with("CMD_newplayerinfo+2+Rufus").isEmpty(), 10000);
        auto mabel = startBot(port, "Mabel", "HARD");
        QTRY_VERIFY_WITH_TIMEOUT(!host.with("CMD_newplayerinfo+3+Mabel").isEmpty(), 10000);

        // A short game: the first round that does not end in a tie ends it.
        host.send("CMD_startgame", {"Ann", "10", "30", "f", "f", ""});
        // The host plays each round too, a little after both computer players.
        int played = 0;
        QElapsedTimer clock;
        clock.start();
        while (host.with("CMD_winner").isEmpty() && clock.elapsed() < 150000) {
            QTest::qWait(50);
            const int rounds = int(host.with("CMD_nextplayer+1+").size());
            const int foundByOthers = int(host.with("CMD_hefoundit+2+").size() + host.with("CMD_hefoundit+3+").size());
            if (played < rounds && foundByOthers >= 2 * rounds) {
                const QByteArray board = host.last("CMD_loadboard+").mid(14);
                const QByteArray word = host.last("CMD_theword").mid(11);
                host.sendRaw("CMD_myword+1" + findWord(board, word) + Wire::Terminator);
                played = rounds;
            }
        }
        const QByteArray winner = host.last("CMD_winner");
        QVERIFY2(winner == "CMD_winner+Rufus+" || winner == "CMD_winner+Mabel+", winner.constData());
        QVERIFY(!host.with("CMD_hefoundit+1+").isEmpty());
        // Every computer player found every word, each time after 2 seconds
        // at least: never more than 28 of the round's 30.
        const int rounds = int(host.with("CMD_nextplayer+1+").size());
        for (const QByteArray seat : {"2", "3"}) {
            const QList<QByteArray> finds = host.with("CMD_hefoundit+" + seat + "+");
            QCOMPARE(finds.size(), rounds);
            for (const QByteArray &m : finds)
                QVERIFY2(m.split('+').value(2).toInt() <= 28, m.constData());
        }

        // Six more fill the nine seats; a tenth computer player is refused.
        std::vector<std::unique_ptr<ScriptedClient>> others;
        for (int n = 0; n < 6; ++n)
            others.push_back(std::make_unique<ScriptedClient>(port));
        QTRY_VERIFY_WITH_TIMEOUT(!others.back()->with("CMD_sendlogininfo+9").isEmpty(), 10000);
        auto tenth = startBot(port, "Otis", "easy");
        QVERIFY(tenth->waitForFinished(15000));
        QCOMPARE(tenth->exitStatus(), QProcess::NormalExit);
        QCOMPARE(tenth->exitCode(), 1);
        QVERIFY(tenth->readAllStandardError().contains("Game is full"));

        // The server goes, and the computer players end with it, without fault.
        server.terminate();
        QVERIFY(server.waitForFinished(5000));
        for (QProcess *bot : {rufus.get(), mabel.get()}) {
            QVERIFY(bot->waitForFinished(10000));
            QCOMPARE(bot->exitStatus(), QProcess::NormalExit);
            QCOMPARE(bot->exitCode(), 0);
        }
        QVERIFY(rufus->readAllStandardOutput().contains("Rufus (Hard) joined 127.0.0.1 in seat 2"));
        QVERIFY2(running.readLog().contains("Winner: "), running.log.constData());
    }

    void aServerThatIsNotThereEndsItWithOne()
    {
        auto bot = startBot(Loopback::freePort(), "Otis", "normal");
        QVERIFY(bot->waitForFinished(15000));
        QCOMPARE(bot->exitCode(), 1);
        const QByteArray error = bot->readAllStandardError();
        QVERIFY2(error.contains("cannot connect") && error.contains("WSAECONNREFUSED"), error.constData());
    }

    void badArgumentsShowTheUsage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no host") << QStringList{"--level", "easy"};
        QTest::newRow("unknown level") << QStringList{"--level", "expert", "127.0.0.1"};
        QTest::newRow("bad port") << QStringList{"--port", "x", "127.0.0.1"};
        QTest::newRow("two hosts") << QStringList{"127.0.0.1", "127.0.0.2"};
        QTest::newRow("unknown option") << QStringList{"--fast", "127.0.0.1"};
    }
    void badArgumentsShowTheUsage()
    {
        QFETCH(QStringList, arguments);
        QProcess bot;
        bot.start(ZARVEX_BOT, arguments);
        QVERIFY(bot.waitForFinished(15000));
        QCOMPARE(bot.exitCode(), 2);
        QVERIFY(bot.readAllStandardError().startsWith("usage: zarvex-bot"));
    }

    // A newcomer reads in the README's "Playing" how to get somebody to play
    // against: the window's menu items, and both programs as they really
    // are called, every option the usage lines name included.
    void theReadmeTellsHowToPlayAgainstTheComputer()
    {
        QFile readme(ZARVEX_README);
        QVERIFY(readme.open(QIODevice::ReadOnly));
        const QByteArray text = readme.readAll();
        const qsizetype start = text.indexOf("\n## Playing\n");
        QVERIFY(start >= 0);
        const QByteArray playing = text.mid(start, text.indexOf("\n## ", start + 1) - start);

        for (const char *item : {"\"Add Computer Player\"", "\"Remove Computer Players\"", "Easy", "Normal", "Hard"})
            QVERIFY2(playing.contains(item), item);

        QProcess bot;
        bot.start(ZARVEX_BOT, {});
        QVERIFY(bot.waitForFinished(15000));
        const QByteArray botUsage = bot.readAllStandardError().trimmed();
        QVERIFY(botUsage.startsWith("usage: "));
        QVERIFY2(playing.contains(botUsage.mid(7)), botUsage.constData());

        QProcess server;
        server.start(ZARVEX_SERVER, {"--no-such-option"});
        QVERIFY(server.waitForFinished(15000));
        const QByteArray serverUsage = server.readAllStandardError();
        QVERIFY(serverUsage.contains("--words FILE"));
        QVERIFY(playing.contains("zarvex-server --words "));
    }
};

ZARVEX_TEST_MAIN(TestZarvexBot)
#include "tst_zarvexbot.moc"
