#include "client/tchat.h"
#include "server/tserver.h"
#include "shell/errorreport.h"
#include "shell/singleinstance.h"
#include "shell/windowset.h"
#include "social/tspylist.h"
#include "support/testmain.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <stdexcept>

namespace {

const QStringList allWindows = {"Tchat", "Ttallylist", "Tabout", "Tdownload", "Tgamestart",
                                "Thelp", "Tphrases", "TServer", "Tspylist"};

QProcessEnvironment programEnvironment(const QString &runtime, const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime);
    env.insert("ZARVEX_HOME", home);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void windowsAreCreatedInTheirOrderWithTheMainWindowFirst()
    {
        WindowSet windows;
        QCOMPARE(windows.creationOrder(), allWindows);
        const WindowRegistry &r = windows.registry();
        QVERIFY(r.chat && r.tallylist && r.about && r.download && r.gamestart && r.help
                && r.phrases && r.server && r.spylist);
        QCOMPARE(r.chat->windowTitle(), QString("Zarvex "));
        QCOMPARE(TServer::caption(), QString("Server"));
        QVERIFY(!r.server->isWidgetType());
        QVERIFY(r.spylist->windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void aFailingWindowIsReportedAndTheOthersStillComeUp()
    {
        QStringList reports;
        const auto previous = ErrorReport::setSink([&](const QString &text) { reports << text; });
        {
            WindowSet windows({}, [](const QString &name) {
                if (name == "Tabout")
                    throw std::runtime_error("the about window broke");
            });
            QStringList expected = allWindows;
            expected.removeOne("Tabout");
            QCOMPARE(windows.creationOrder(), expected);
            QVERIFY(!windows.registry().about);
        }
        ErrorReport::setSink(previous);
        QCOMPARE(reports, QStringList({"the about window broke"}));
    }

    void windowsAreDestroyedInReverseOrder()
    {
        QStringList destroyed;
        {
            WindowSet windows;
            for (QObject *w : QList<QObject *>{windows.registry().chat, windows.registry().server,
                                               windows.registry().spylist})
                connect(w, &QObject::destroyed, this, [&destroyed, name = w->objectName()] { destroyed << name; });
        }
        QCOMPARE(destroyed, QStringList({"Tspylist", "TServer", "Tchat"}));
    }

    void aSecondInstanceAsksTheFirstToComeForward()
    {
        SingleInstance first("test-key");
        QVERIFY(!first.CheckPreviousInstance(true));
        int activations = 0;
        first.serveActivation([&] { ++activations; });

        SingleInstance second("test-key");
        QVERIFY(second.CheckPreviousInstance(true));
        QTRY_COMPARE(activations, 1);

        SingleInstance other("other-key");
        QVERIFY(!other.CheckPreviousInstance(true));
    }

    void theProgramRunsOnlyOncePerUser()
    {
        QTemporaryDir runtime;
        QTemporaryDir home;
        const QProcessEnvironment env = programEnvironment(runtime.path(), home.path());
        const QString socket = runtime.path() + "/brouq";

        QProcess first;
        first.setProcessEnvironment(env);
        first.start(ZARVEX_BINARY, {});
        QVERIFY(first.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 20000);

        QProcess second;
        second.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        second.start(ZARVEX_BINARY, {});
        QVERIFY(second.waitForFinished(2000));
        QVERIFY(clock.elapsed() < 2000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        // Once the first copy has gone, even without tidying up, a new start
        // runs normally.
        first.kill();
        first.waitForFinished();
        QProcess third;
        third.setProcessEnvironment(env);
        third.start(ZARVEX_BINARY, {});
        QVERIFY(third.waitForStarted());
        QVERIFY(!third.waitForFinished(3000));
        QCOMPARE(third.state(), QProcess::Running);
        third.terminate();
        third.waitForFinished();
    }
};

ZARVEX_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
