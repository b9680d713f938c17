#include "client/tchat.h"
#include "server/tserver.h"
#include "shell/errorreport.h"
#include "shell/singleinstance.h"
#include "shell/windowset.h"
#include "settings/thelp.h"
#include "social/tspylist.h"
#include "tally/tallykeeper.h"
#include "tally/ttallylist.h"
#include "lobby/tdownload.h"
#include "support/gametable.h"
#include "support/loopback.h"
#include "support/testmain.h"
#include "support/webvisitors.h"

#include <QAction>
#include <QElapsedTimer>
#include <QScopeGuard>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <stdexcept>

#include <csignal>
#include <cstddef>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// What start-up builds: the main window, the tally and the server.
const QStringList startWindows = {"Tchat", "TallyKeeper", "TServer"};

QAction *menuItem(Tchat *chat, const QString &name)
{
    return chat->findChild<QAction *>(name);
}

// A copy of the program that plays on ports nobody uses and says when its
// window is up. An empty runtime folder leaves XDG_RUNTIME_DIR unset.
QProcessEnvironment programEnvironment(const QString &runtime, const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (runtime.isEmpty())
        env.remove("XDG_RUNTIME_DIR");
    else
        env.insert("XDG_RUNTIME_DIR", runtime);
    env.insert("ZARVEX_HOME", home);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("ZARVEX_GAME_PORT", QString::number(Loopback::freePort()));
    env.insert("ZARVEX_WEB_PORT", QString::number(Loopback::freePort()));
    env.insert("ZARVEX_LOBBY_PORT", QString::number(Loopback::freePort()));
    env.insert("ZARVEX_SHOWN_MARKER", "1");
    return env;
}

// Holds a name in the abstract socket namespace as another user, until the
// test ends: a process of its own that gives up the superuser's rights.
class ForeignHolder
{
public:
    ForeignHolder(const QByteArray &name, bool listening)
    {
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                ::_exit(1);
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            std::memcpy(addr.sun_path + 1, name.constData(), size_t(name.size()));
            const socklen_t length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size());
            if (::bind(fd, reinterpret_cast<sockaddr *>(&addr), length) != 0 || (listening && ::listen(fd, 8) != 0))
                ::_exit(1);
            const ssize_t ignored = ::write(ready[1], "x", 1);
            (void)ignored;
            for (;;)
                ::pause();
        }
        ::close(ready[1]);
        char byte = 0;
        m_holding = m_pid > 0 && ::read(ready[0], &byte, 1) == 1;
        ::close(ready[0]);
    }
    ~ForeignHolder()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    bool holding() const { return m_holding; }

private:
    pid_t m_pid = -1;
    bool m_holding = false;
};

// Waits until a started copy has its window up.
bool shown(QProcess &copy)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 20000) {
        if (copy.readAllStandardOutput().contains("shown"))
            return true;
        if (copy.state() != QProcess::Running)
            return false;
        copy.waitForReadyRead(200);
    }
    return false;
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void startUpBuildsTheMainWindowAndWhatItsFirstScreenNeeds()
    {
        WindowSet windows;
        QCOMPARE(windows.built(), startWindows);
        WindowRegistry &r = windows.registry();
        QVERIFY(r.chat && r.tally && r.server);
        for (LateWindow late : {LateWindow::Tallylist, LateWindow::About, LateWindow::Download, LateWindow::Gamestart,
                                LateWindow::Help, LateWindow::Phrases, LateWindow::Spylist})
            QVERIFY(!r.built(late));
        QCOMPARE(r.chat->windowTitle(), QString("Zarvex "));
        QCOMPARE(TServer::caption(), QString("Server"));
        QVERIFY(!r.server->isWidgetType());
    }

    // The menu item opens its window, built the first time and the same
    // window every time after.
    void aWindowIsBuiltTheFirstTimeThePlayerOpensIt_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("window");
        QTest::newRow("help") << "Content1" << "Thelp";
        QTest::newRow("about") << "About1" << "Tabout";
        QTest::newRow("tally") << "ViewTally1" << "Ttallylist";
        QTest::newRow("spy list") << "SpyList1" << "Tspylist";
        QTest::newRow("phrases") << "PrhaseList1" << "Tphrases";
        QTest::newRow("game start") << "StartGame1" << "Tgamestart";
        QTest::newRow("lobby") << "PlayWithFriends1" << "Tdownload";
    }
    void aWindowIsBuiltTheFirstTimeThePlayerOpensIt()
    {
        QFETCH(QString, item);
        QFETCH(QString, window);
        GameTable t;
        Player &ann = t.host("Ann");
        QCOMPARE(ann.windows->built(), startWindows);
        QAction *action = menuItem(ann.chat, item);
        QVERIFY(action);
        action->trigger();
        QCOMPARE(ann.windows->built(), startWindows + QStringList{window});
        QWidget *shown = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == window)
                shown = w;
        QVERIFY(shown && shown->isVisible());
        if (window == "Tspylist")
            QVERIFY(shown->windowFlags() & Qt::WindowStaysOnTopHint);
        shown->hide();
        action->trigger();
        QVERIFY(shown->isVisible());
        QCOMPARE(ann.windows->built(), startWindows + QStringList{window});
        shown->hide();
    }

    // A solo game opens with the lobby window, built then; a game hosted or
    // joined from the command line never builds it unless the player asks.
    void onlyASoloGameOpensWithTheLobbyWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("lobby");
        QTest::newRow("solo") << QStringList() << true;
        QTest::newRow("hosting") << QStringList({"Ann", "127.0.0.1", "true"}) << false;
        QTest::newRow("joining nowhere") << QStringList({"Ann", "127.0.0.1"}) << false;
    }
    void onlyASoloGameOpensWithTheLobbyWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, lobby);
        GameTable t;
        Player &ann = t.start(arguments);
        QCOMPARE(ann.registry().built(LateWindow::Download), lobby);
        if (lobby)
            QVERIFY(ann.registry().download()->isVisible());
    }

    // A window that cannot be built is reported as the player opens it, and
    // tried again the next time; the rest of the program goes on.
    void aFailingWindowIsReportedAndTheOthersStillComeUp()
    {
        QStringList reports;
        const auto previous = ErrorReport::setSink([&](const QString &text) { reports << text; });
        {
            WindowOptions options;
            options.timers = Ticker::Manual;
            WindowSet windows(options, [](const QString &name) {
                if (name == "Tabout")
                    throw std::runtime_error("the about window broke");
                if (name == "TallyKeeper")
                    throw std::runtime_error("the tally broke");
            });
            QCOMPARE(windows.built(), QStringList({"Tchat", "TServer"}));
            QCOMPARE(reports, QStringList({"the tally broke"}));
            QAction *about = menuItem(windows.registry().chat, "About1");
            about->trigger();
            QVERIFY(!windows.registry().about());
            QCOMPARE(reports.size(), 3);
            QCOMPARE(reports.mid(1), QStringList({"the about window broke", "the about window broke"}));
            // The other windows still open, the tally window with a tally of
            // its own.
            menuItem(windows.registry().chat, "Content1")->trigger();
            QVERIFY(windows.registry().help()->isVisible());
            menuItem(windows.registry().chat, "ViewTally1")->trigger();
            QVERIFY(windows.registry().tallylist()->isVisible());
            QCOMPARE(reports.size(), 3);
        }
        ErrorReport::setSink(previous);
    }

    // Whenever each window was built, the windows go in one order, and the
    // tally after its window and before the main window.
    void windowsAreDestroyedInOneOrder()
    {
        QStringList destroyed;
        {
            WindowOptions options;
            options.timers = Ticker::Manual;
            WindowSet windows(options);
            WindowRegistry &r = windows.registry();
            const QList<QObject *> order{r.spylist(), r.tallylist(), r.help(), r.chat, r.server, r.tally,
                                         r.download()};
            for (QObject *w : order)
                connect(w, &QObject::destroyed, this, [&destroyed, name = w->objectName()] { destroyed << name; });
        }
        QCOMPARE(destroyed, QStringList({"Tspylist", "TServer", "Thelp", "Tdownload", "Ttallylist", "TallyKeeper",
                                         "Tchat"}));
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

    // The name the copies meet under depends on the user and the program
    // folder, not on the runtime or temporary folder of each start.
    void everyStartOfOneUserMeetsUnderOneName()
    {
        QTemporaryDir otherRuntime, otherTemp, otherHome;
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        const QByteArray tmpdir = qgetenv("TMPDIR");
        const QByteArray home = qgetenv("ZARVEX_HOME");
        auto restore = qScopeGuard([&] {
            qputenv("XDG_RUNTIME_DIR", runtime);
            tmpdir.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", tmpdir);
            qputenv("ZARVEX_HOME", home);
        });

        SingleInstance first("test-key");
        QVERIFY(!first.CheckPreviousInstance(false));
        QVERIFY(first.activates());
        QVERIFY(first.meetingName().startsWith("zarvex-test-key-" + QByteArray::number(getuid()) + "-"));

        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", otherTemp.path().toLocal8Bit());
        SingleInstance withoutRuntime("test-key");
        QCOMPARE(withoutRuntime.meetingName(), first.meetingName());
        QVERIFY(withoutRuntime.CheckPreviousInstance(false));

        qputenv("XDG_RUNTIME_DIR", otherRuntime.path().toLocal8Bit());
        SingleInstance otherRuntimeFolder("test-key");
        QVERIFY(otherRuntimeFolder.CheckPreviousInstance(false));

        // The same program folder by another path is the same folder.
        qputenv("ZARVEX_HOME", home + "/.");
        SingleInstance sameHome("test-key");
        QCOMPARE(sameHome.meetingName(), first.meetingName());

        // A program folder of its own keeps its own settings and tally.
        qputenv("ZARVEX_HOME", otherHome.path().toLocal8Bit());
        SingleInstance ownHome("test-key");
        QVERIFY(ownHome.meetingName() != first.meetingName());
        QVERIFY(!ownHome.CheckPreviousInstance(false));
    }

    // Another user holding the name this user's copies meet under is never
    // taken for one of them; the copies then meet by a lock file of the
    // user's own, without bringing each other forward.
    void aNameHeldByAnotherUserIsNotACopy_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::newRow("answering") << true;
        QTest::newRow("never answering") << false;
    }
    void aNameHeldByAnotherUserIsNotACopy()
    {
        QFETCH(bool, listening);
        if (getuid() != 0)
            QSKIP("only the superuser can start a process as another user");
        QTemporaryDir cache;
        const QByteArray cachehome = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
        auto restore = qScopeGuard([&] {
            cachehome.isNull() ? qunsetenv("XDG_CACHE_HOME") : qputenv("XDG_CACHE_HOME", cachehome);
        });

        SingleInstance first("test-key");
        ForeignHolder squatter(first.meetingName(), listening);
        QVERIFY(squatter.holding());
        QVERIFY(!first.CheckPreviousInstance(false));
        QVERIFY(!first.activates());
        QVERIFY(first.lockPath().startsWith(cache.path()));
        // The lock file alone still keeps a second copy out.
        SingleInstance second("test-key");
        QVERIFY(second.CheckPreviousInstance(true));
        QCOMPARE(second.lockPath(), first.lockPath());
    }

    // A later start leaves at once, whether or not its environment names the
    // same runtime folder; a start with a program folder of its own runs.
    // A hosting copy serves the browser page from the start, but loads the
    // web side (its library and Qt's network modules) only when the first
    // browser comes.
    void aHostLoadsItsWebDoorWithTheFirstBrowser()
    {
        QTemporaryDir runtime, home;
        const QProcessEnvironment env = programEnvironment(runtime.path(), home.path());
        QProcess host;
        host.setProcessEnvironment(env);
        host.start(ZARVEX_BINARY, {"Ann", "127.0.0.1", "true"});
        QVERIFY(host.waitForStarted());
        auto stop = qScopeGuard([&host] {
            host.kill();
            host.waitForFinished();
        });
        QVERIFY(shown(host));
        const auto mapped = [&host](const QByteArray &name) {
            QFile maps(QStringLiteral("/proc/%1/maps").arg(host.processId()));
            return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(name);
        };
        QVERIFY(!mapped("libzarvex-webdoor"));
        QVERIFY(!mapped("libQt6Network"));

        const quint16 webPort = quint16(env.value("ZARVEX_WEB_PORT").toUInt());
        RawVisitor browser(webPort);
        QCOMPARE(browser.get("/"), 200);
        QVERIFY(mapped("libzarvex-webdoor"));
        QVERIFY(mapped("libQt6Network"));
        QCOMPARE(browser.get("/sounds/tick.wav", "HEAD"), 200);
        RawVisitor another(webPort);
        QCOMPARE(another.get("/js/main.js"), 200);
    }

    void theProgramRunsOnlyOncePerUser_data()
    {
        QTest::addColumn<QString>("runtimeOfSecond");
        QTest::newRow("same runtime folder") << "same";
        QTest::newRow("no runtime folder") << "none";
        QTest::newRow("another runtime folder") << "other";
    }
    void theProgramRunsOnlyOncePerUser()
    {
        QFETCH(QString, runtimeOfSecond);
        QTemporaryDir runtime, otherRuntime, home, otherHome;
        const QProcessEnvironment env = programEnvironment(runtime.path(), home.path());

        QProcess first;
        first.setProcessEnvironment(env);
        first.start(ZARVEX_BINARY, {});
        QVERIFY(first.waitForStarted());
        QVERIFY(shown(first));

        QProcess second;
        second.setProcessEnvironment(programEnvironment(
            runtimeOfSecond == "same" ? runtime.path() : runtimeOfSecond == "other" ? otherRuntime.path() : QString(),
            home.path()));
        QElapsedTimer clock;
        clock.start();
        second.start(ZARVEX_BINARY, {});
        const bool left = second.waitForFinished(5000);
        if (!left) {
            second.kill();
            second.waitForFinished();
        }
        QVERIFY2(left, "a second copy runs beside the first");
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        QProcess ownFolder;
        ownFolder.setProcessEnvironment(programEnvironment(runtime.path(), otherHome.path()));
        ownFolder.start(ZARVEX_BINARY, {});
        QVERIFY(ownFolder.waitForStarted());
        QVERIFY(shown(ownFolder));
        ownFolder.terminate();
        ownFolder.waitForFinished();

        // Once the first copy has gone, even without tidying up, a new start
        // runs normally.
        first.kill();
        first.waitForFinished();
        QProcess third;
        third.setProcessEnvironment(programEnvironment(QString(), home.path()));
        third.start(ZARVEX_BINARY, {});
        QVERIFY(third.waitForStarted());
        QVERIFY(shown(third));
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
