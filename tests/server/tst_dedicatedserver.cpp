#include "support/loopback.h"
#include "support/serverharness.h"
#include "support/serverprocess.h"
#include "support/testmain.h"
#include "support/webvisitors.h"
#include "support/wordlists.h"
#include "support/wordfinder.h"

#include <QProcess>
#include <QTemporaryDir>

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

    // Three whole rounds, each ended by finding the word and followed by the
    // server's own pause of seven seconds.
    void theWordsOfEveryRoundComeFromTheFile()
    {
        QTemporaryDir dir;
        const QByteArray words = "Falcon\nharrier\nkestrel\nmerlin\nosprey\nbuzzard\nhobby\n"
                                 "condor\n# birds of prey\nkite\neagle\nvulture\ngoshawk\n";
        const QString path = writeTestFile(dir, "raptors.txt", words);
        const QList<QByteArray> allowed = words.toLower().split('\n');
        const quint16 port = Loopback::freePort();
        QProcess server;
        server.start(ZARVEX_SERVER, {"--port", QString::number(port), "--no-web", "--words", path});
        QVERIFY(server.waitForStarted());
        QByteArray log;
        auto readLog = [&] { return log += server.readAllStandardOutput(); };
        QTRY_VERIFY_WITH_TIMEOUT(readLog().contains("listening"), 10000);
        QVERIFY2(log.contains("Words from raptors.txt: 12 words, 12 of 3 to 8 letters, 11 of 5 to 10 letters."),
                 log.constData());

        ScriptedClient ann(port);
        QTRY_COMPARE(ann.received.value(0), QByteArray("CMD_sendlogininfo+1"));
        ann.sendRaw(QByteArray("CMD_logininfo+1+1.0.5+Ann") + Wire::Terminator + Wire::Terminator);
        QTRY_VERIFY(!ann.with("CMD_newplayerinfo+1+Ann").isEmpty());
        ann.received.clear();
        ann.send("CMD_startgame", {"Ann", "1000", "20", "t", "f", ""});
        QTRY_VERIFY_WITH_TIMEOUT(!ann.with("CMD_nextplayer+1+").isEmpty(), 5000);
        QVERIFY(ann.received.value(0).startsWith("CMD_startgame+Ann+1000+20+t+f+"));
        QCOMPARE(ann.received.value(1), QByteArray("CMD_chat+0+Words from raptors.txt (12 words).|clBlue"));

        for (int round = 1; round <= 3; ++round) {
            const QByteArray loadboard = "CMD_loadboard+" + QByteArray::number(round) + '+';
            QTRY_VERIFY_WITH_TIMEOUT(!ann.with(loadboard).isEmpty(), 10000);
            QTRY_COMPARE_WITH_TIMEOUT(ann.with("CMD_theword").size(), round, 5000);
            const QByteArray board = ann.last("CMD_loadboard+").mid(14);
            const QByteArray theword = ann.last("CMD_theword").mid(11);
            QVERIFY2(allowed.contains(wordOf(theword)), wordOf(theword).constData());
            ann.sendRaw("CMD_myword+1" + findWord(board, theword) + Wire::Terminator);
            QTRY_COMPARE_WITH_TIMEOUT(ann.with("CMD_roundover+***+").size(), round, 5000);
        }
        server.terminate();
        QVERIFY(server.waitForFinished(5000));
        QCOMPARE(server.exitCode(), 0);
        readLog();
        QVERIFY2(log.contains("Round 3 over"), log.constData());
    }

    void aListThatCannotServeEndsTheServerAtStart_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing.txt" << "there is no such file.";
        QTest::newRow("folder") << "folder" << "it is a folder.";
        QTest::newRow("too few words") << "few.txt" << "cannot be used: a game needs at least 10 words";
    }

    void aListThatCannotServeEndsTheServerAtStart()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("folder");
        writeTestFile(dir, "few.txt", "owl\nemu\ncaf\xC3\xA9\n");
        const QString path = dir.filePath(name);
        QProcess server;
        server.start(ZARVEX_SERVER, {"--port", QString::number(Loopback::freePort()), "--words", path});
        QVERIFY(server.waitForFinished(10000));
        QCOMPARE(server.exitStatus(), QProcess::NormalExit);
        QCOMPARE(server.exitCode(), 1);
        const QString err = QString::fromUtf8(server.readAllStandardError());
        QVERIFY2(err.startsWith("zarvex-server: ") && err.contains(path) && err.contains(reason), qPrintable(err));
        QVERIFY(!server.readAllStandardOutput().contains("listening"));
        if (name == "few.txt")
            QVERIFY2(err.contains("2 words") && err.contains("line 3"), qPrintable(err));
    }

    // Browsers come in by the web port: the page, and a seat beside the
    // window's players.
    void aBrowserTakesASeatAtTheServer()
    {
        ServerProcess running;
        QVERIFY(running.start(ZARVEX_SERVER));
        QTRY_VERIFY_WITH_TIMEOUT(running.readLog().contains("Browsers join at http://"), 5000);
        QVERIFY2(running.log.contains(':' + QByteArray::number(running.webPort) + "/\n"), running.log.constData());
        std::unique_ptr<ScriptedClient> ann = running.joinAsAnn();
        RawVisitor visitor(running.webPort);
        QCOMPARE(visitor.get("/index.html"), 200);
        WebSeat pia(running.webPort);
        QTRY_COMPARE_WITH_TIMEOUT(pia.askedSeat(), 2, 5000);
        pia.send("CMD_logininfo", {"2", Wire::Version, "Pia"});
        QTRY_VERIFY_WITH_TIMEOUT(!ann->with("CMD_newplayerinfo+2+Pia").isEmpty(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(running.readLog().contains("Pia joined in seat 2"), 5000);
        running.process.terminate();
        QVERIFY(running.process.waitForFinished(5000));
        QCOMPARE(running.process.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(pia.closed, 5000);
    }

    void withoutTheWebNoPageIsServed()
    {
        const quint16 port = Loopback::freePort();
        const quint16 webPort = Loopback::freePort();
        QProcess server;
        server.start(ZARVEX_SERVER, {"--port", QString::number(port), "--web-port", QString::number(webPort),
                                     "--no-web", "--no-announce"});
        QVERIFY(server.waitForStarted());
        QByteArray log;
        QTRY_VERIFY_WITH_TIMEOUT((log += server.readAllStandardOutput()).contains("listening"), 10000);
        RawVisitor visitor(webPort);
        QVERIFY(visitor.waitFor([&] { return visitor.closed; }));
        QVERIFY(visitor.received.isEmpty());
        server.terminate();
        QVERIFY(server.waitForFinished(5000));
        QVERIFY(!(log + server.readAllStandardOutput()).contains("Browsers"));
    }

    void aBusyWebPortIsReported()
    {
        const int raw = Loopback::rawListener();
        QProcess server;
        server.start(ZARVEX_SERVER, {"--port", QString::number(Loopback::freePort()), "--web-port",
                                     QString::number(Loopback::portOf(raw)), "--no-announce"});
        QVERIFY(server.waitForFinished(10000));
        QCOMPARE(server.exitCode(), 1);
        const QByteArray err = server.readAllStandardError();
        QVERIFY2(err.contains("the page cannot be served on port " + QByteArray::number(Loopback::portOf(raw))),
                 err.constData());
        ::close(raw);
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
        QTest::newRow("help names the announcement") << QStringList{"--help"} << 0
                                                     << QByteArray("[--name TEXT | --no-announce]") << QByteArray();
        QTest::newRow("no name") << QStringList{"--name"} << 2 << QByteArray() << QByteArray("usage:");
        QTest::newRow("help names the web port") << QStringList{"--help"} << 0
                                                 << QByteArray("[--web-port N | --no-web]") << QByteArray();
        QTest::newRow("no web port number") << QStringList{"--web-port"} << 2 << QByteArray() << QByteArray("usage:");
        QTest::newRow("web port zero") << QStringList{"--web-port", "0"} << 2 << QByteArray() << QByteArray("usage:");
        QTest::newRow("web port too large") << QStringList{"--web-port", "65536"} << 2 << QByteArray()
                                            << QByteArray("usage:");
        QTest::newRow("blank name") << QStringList{"--name", "  "} << 2 << QByteArray() << QByteArray("usage:");
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
