#include "support/loopback.h"
#include "support/serverharness.h"
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
        const quint16 port = Loopback::freePort();
        QProcess server;
        server.start(ZARVEX_SERVER, {"--port", QString::number(port)});
        QVERIFY(server.waitForStarted());
        QByteArray log;
        auto readLog = [&] { return log += server.readAllStandardOutput(); };
        QTRY_VERIFY_WITH_TIMEOUT(readLog().contains("listening"), 10000);

        ScriptedClient ann(port);
        QTRY_COMPARE(ann.received.value(0), QByteArray("CMD_sendlogininfo+1"));
        ann.sendRaw(QByteArray("CMD_logininfo+1+1.0.5+Ann") + Wire::Terminator + Wire::Terminator);
        QTRY_VERIFY(!ann.with("CMD_newplayerinfo+1+Ann").isEmpty());

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

    void theCommandLineIsCheckedBeforeListening_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QByteArray>("err");
        QTest::newRow("help") << QStringList{"--help"} << 0 << QByteArray("usage: zarvex-server [--port N]") << QByteArray();
        QTest::newRow("-h") << QStringList{"-h"} << 0 << QByteArray("port 7772") << QByteArray();
        QTest::newRow("no port number") << QStringList{"--port"} << 2 << QByteArray() << QByteArray("usage:");
        QTest::newRow("port zero") << QStringList{"--port", "0"} << 2 << QByteArray() << QByteArray("usage:");
        QTest::newRow("port too large") << QStringList{"--port", "70000"} << 2 << QByteArray() << QByteArray("usage:");
        QTest::newRow("unknown") << QStringList{"--verbose"} << 2 << QByteArray() << QByteArray("usage:");
    }
    void theCommandLineIsCheckedBeforeListening()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QFETCH(QByteArray, err);
        QProcess server;
        server.start(ZARVEX_SERVER, arguments);
        QVERIFY(server.waitForFinished(10000));
        QCOMPARE(server.exitCode(), exitCode);
        const QByteArray stdOut = server.readAllStandardOutput();
        const QByteArray stdErr = server.readAllStandardError();
        QVERIFY2(stdOut.contains(out), stdOut.constData());
        QVERIFY2(stdErr.contains(err), stdErr.constData());
        QVERIFY2(!stdOut.contains("listening"), stdOut.constData());
    }
};

ZARVEX_TEST_MAIN(TestDedicatedServer)
#include "tst_dedicatedserver.moc"
