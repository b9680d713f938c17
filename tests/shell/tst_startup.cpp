#include "client/tchat.h"
#include "server/tserver.h"
#include "shell/errorreport.h"
#include "shell/singleinstance.h"
#include "shell/windowset.h"
#include "social/tspylist.h"
#include "support/testmain.h"

#include <QLockFile>
#include <QScopeGuard>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

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

    // Without a runtime folder the copies meet in /tmp/zarvex-UID, which
    // anybody could have made first and filled with a lock that never goes.
    void theTemporaryFolderIsUsedOnlyWhenPrivate_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("used");
        QTest::newRow("private") << "private" << true;
        QTest::newRow("open to everybody") << "open" << false;
        QTest::newRow("readable by others") << "readable" << false;
        QTest::newRow("a link to a private folder") << "link" << false;
        QTest::newRow("another user's") << "foreign" << false;
    }
    void theTemporaryFolderIsUsedOnlyWhenPrivate()
    {
        QFETCH(QString, kind);
        QFETCH(bool, used);
        if (kind == "foreign" && getuid() != 0)
            QSKIP("only the superuser can give a folder to another user");
        QTemporaryDir temp, cache;
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray tmpdir = qgetenv("TMPDIR");
        const QByteArray cachehome = qgetenv("XDG_CACHE_HOME");
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", temp.path().toLocal8Bit());
        qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
        auto restore = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", runtime);
            tmpdir.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmpdir);
            cachehome.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", cachehome);
        });

        const QString folder = temp.path() + "/zarvex-" + QString::number(getuid());
        const QString planted = kind == "link" ? temp.path() + "/elsewhere" : folder;
        QVERIFY(QDir().mkpath(planted));
        const QByteArray path = QFile::encodeName(planted);
        ::chmod(path.constData(), kind == "open" ? 0777 : kind == "readable" ? 0755 : 0700);
        if (kind == "link")
            QVERIFY(QFile::link(planted, folder));
        if (kind == "foreign")
            QCOMPARE(::chown(path.constData(), 65534, 65534), 0);
        // A lock that stays taken for as long as this test runs.
        QLockFile squatter(planted + "/test-key.lock");
        QVERIFY(squatter.tryLock(0));

        SingleInstance first("test-key");
        QCOMPARE(first.CheckPreviousInstance(false), used);
        QCOMPARE(first.lockPath().startsWith(folder) || first.lockPath().startsWith(planted), used);
        QCOMPARE(first.activates(), used);
        if (!used) {
            // The lock file alone still keeps a second copy out.
            SingleInstance second("test-key");
            QVERIFY(second.CheckPreviousInstance(true));
            QCOMPARE(second.lockPath(), first.lockPath());
            QVERIFY(second.lockPath().startsWith(cache.path()));
        }
        squatter.unlock();
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

    // A terminal's question is answered before anything else happens: no
    // window, no single-instance check.
    void helpExplainsTheCommandLine()
    {
        QTemporaryDir runtime;
        QTemporaryDir home;
        QProcess help;
        help.setProcessEnvironment(programEnvironment(runtime.path(), home.path()));
        help.start(ZARVEX_BINARY, {"--help"});
        QVERIFY(help.waitForFinished(10000));
        QCOMPARE(help.exitStatus(), QProcess::NormalExit);
        QCOMPARE(help.exitCode(), 0);
        const QByteArray text = help.readAllStandardOutput();
        QVERIFY2(text.startsWith("usage: zarvex "), text.constData());
        QVERIFY(text.contains("zarvex NAME ADDRESS join"));
        QVERIFY(text.contains("Play With Friends..."));
        QVERIFY(!QFile::exists(runtime.path() + "/brouq"));
    }
};

ZARVEX_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
