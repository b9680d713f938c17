#include "support/loopback.h"
#include "support/serverharness.h"
#include "support/serverprocess.h"
#include "support/testmain.h"
#include "support/wordfinder.h"

#include <QProcess>

// The headless server as a player meets it: a real process on a port of the
// test's choosing, with its own timers.
class TestDedicatedServer : public QObject
{
    Q_OBJECT

private slots:
    void aPlayerJoinsStartsAndFindsTheWord()
    {
        ServerProcess running;
        QVERIFY(running.start(ZARVEX_SERVER));
        QProcess &server = running.process;
        const QByteArray &log = running.log;
        const auto readLog = [&] { running.readLog(); };
        std::unique_ptr<ScriptedClient> annSeat = running.joinAsAnn();
        ScriptedClient &ann = *annSeat;
        QVERIFY(!ann.with("CMD_newplayerinfo+1+Ann").isEmpty());

        ann.send("CMD_startgame", {"Ann", "250", "30", "f", "f", ""});
        QTRY_VERIFY_WITH_TIMEOUT(!ann.with("CMD_nextplayer+1+").isEmpty(), 5000);
        const QByteArray board = ann.last("CMD_loadboard+").mid(14);
        const QByteArray word = ann.last("CMD_theword").mid(11);
        ann.sendRaw("CMD_myword+1" + findWord(board, word) + Wire::Terminator);
        QTRY_VERIFY_WITH_TIMEOUT(ann.last("CMD_hefoundit").startsWith("CMD_hefoundit+1+"), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(ann.last("CMD_roundover") == "CMD_roundover+***+", 5000);

        server.terminate();
        QVERIFY(server.waitForFinished(5000));
        QCOMPARE(server.exitStatus(), QProcess::NormalExit);
        QCOMPARE(server.exitCode(), 0);
        QTRY_VERIFY(ann.closed);
        readLog();
        QVERIFY2(log.contains("Ann joined in seat 1"), log.constData());
        QVERIFY2(log.contains("Ann started a game: STRAIGHT"), log.constData());
        QVERIFY2(log.contains("Round 1 over"), log.constData());
        QVERIFY2(log.contains("Server stopped"), log.constData());
    }

    void aBusyPortIsReported()
    {
        const int raw = Loopback::rawListener();
        QProcess server;
        server.start(ZARVEX_SERVER, {"--port", QString::number(Loopback::portOf(raw))});
        QVERIFY(server.waitForFinished(10000));
        QCOMPARE(server.exitCode(), 1);
        QVERIFY(server.readAllStandardError().contains("Listen - Error Binding Socket"));
        ::close(raw);
    }
};

ZARVEX_TEST_MAIN(TestDedicatedServer)
#include "tst_dedicatedserver.moc"
