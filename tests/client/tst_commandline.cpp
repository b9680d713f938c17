#include "support/loopback.h"
#include "support/serverharness.h"
#include "support/testmain.h"

#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>

// Two copies of the built program started the way the lobby starts them: one
// hosts, the other joins, and both hold a connection to the lobby while they
// run. They play on ports the test picks, not on the real game's.
class TestCommandLine : public QObject
{
    Q_OBJECT

private:
    struct Copy
    {
        QTemporaryDir runtime;
        QTemporaryDir home;
        QProcess process;

        void start(const QStringList &arguments, quint16 gamePort, quint16 lobbyPort)
        {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("XDG_RUNTIME_DIR", runtime.path());
            env.insert("ZARVEX_HOME", home.path());
            env.insert("QT_QPA_PLATFORM", "offscreen");
            env.insert("ZARVEX_GAME_PORT", QString::number(gamePort));
            env.insert("ZARVEX_WEB_PORT", QString::number(Loopback::freePort()));
            env.insert("ZARVEX_LOBBY_PORT", QString::number(lobbyPort));
            process.setProcessEnvironment(env);
            process.start(ZARVEX_BINARY, arguments);
        }
        ~Copy()
        {
            process.kill();
            process.waitForFinished();
        }
    };

private slots:
    void aHostAndAJoinerLogIn()
    {
        QTcpServer lobby;
        QVERIFY(lobby.listen(QHostAddress::LocalHost, 0));
        const quint16 gamePort = Loopback::freePort();

        Copy ann;
        ann.start({"Ann", "127.0.0.1", "true"}, gamePort, lobby.serverPort());
        QVERIFY(ann.process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(lobby.hasPendingConnections(), 20000);
        lobby.nextPendingConnection();

        Copy bob;
        bob.start({"Bob", "127.0.0.1", "False"}, gamePort, lobby.serverPort());
        QVERIFY(bob.process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(lobby.hasPendingConnections(), 20000);
        lobby.nextPendingConnection();

        // A third party at the table sees both logged in.
        QElapsedTimer clock;
        clock.start();
        QList<QByteArray> existing;
        while (existing.size() < 2 && clock.elapsed() < 20000) {
            ScriptedClient watcher(gamePort);
            QTRY_VERIFY_WITH_TIMEOUT(!watcher.with("CMD_sendlogininfo+").isEmpty() || watcher.closed, 5000);
            const QByteArray seat = watcher.last("CMD_sendlogininfo+").mid(18);
            watcher.sendRaw("CMD_logininfo+" + seat + "+1.0.5+Watcher" + Wire::Terminator + Wire::Terminator);
            QTest::qWait(500);
            existing = watcher.with("CMD_existingplayers");
        }
        QCOMPARE(existing, QList<QByteArray>({"CMD_existingplayers+1+Ann", "CMD_existingplayers+2+Bob"}));
        QCOMPARE(ann.process.state(), QProcess::Running);
        QCOMPARE(bob.process.state(), QProcess::Running);
    }
};

ZARVEX_TEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
