// How soon a game shows in another copy's list. In a network of its own
// (only a loopback interface) with a multicast DNS daemon of its own on it,
// it browses for games as the lobby window does and starts a host again and
// again: the dedicated server, and a window hosting from the command line
// (QT_QPA_PLATFORM should be offscreen). For each it prints the median and
// the worst time from starting the program to the game in the list, and the
// time from ending it to the game leaving the list. At the end it prints what
// `avahi-browse -rpt _zarvex._tcp` sees of one of each. Needs root (or user
// namespaces), avahi-daemon, dbus-daemon and avahi-utils.

#include "lobby/gameannouncer.h"
#include "lobby/gamebrowser.h"
#include "support/mdnsdaemon.h"
#include "support/privatenetwork.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int runs = 10;

[[noreturn]] void fail(const QString &why)
{
    std::fprintf(stderr, "bench_discovery: %s\n", qPrintable(why));
    std::exit(1);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A program with folders of its own.
struct Host
{
    QTemporaryDir home;
    QTemporaryDir runtime;
    QProcess process;

    void start(const QString &program, const QStringList &arguments)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ZARVEX_HOME", home.path());
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("ZARVEX_WEB_PORT", "7791");
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(program, arguments);
    }
    void stop()
    {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(2000);
    }
};

struct Timing
{
    std::vector<double> appear;
    std::vector<double> leave;
};

Timing measure(GameBrowser &browser, const QString &name, const QString &program, const QStringList &arguments)
{
    Timing timing;
    for (int i = 0; i < runs; ++i) {
        Host host;
        QElapsedTimer clock;
        clock.start();
        host.start(program, arguments);
        if (!MdnsDaemon::waitFor([&] { return browser.games()->indexOf(name) >= 0; }, 20000))
            fail(name + " never appeared in the list");
        timing.appear.push_back(double(clock.elapsed()));
        clock.restart();
        host.stop();
        if (!MdnsDaemon::waitFor([&] { return browser.games()->indexOf(name) < 0; }, 20000))
            fail(name + " never left the list");
        timing.leave.push_back(double(clock.elapsed()));
    }
    return timing;
}

void report(const char *what, const Timing &t)
{
    std::printf("%s, %d starts:\n", what, runs);
    std::printf("  start to listed: median %.0f ms, worst %.0f ms\n", median(t.appear),
                *std::max_element(t.appear.begin(), t.appear.end()));
    std::printf("  end to gone from the list: median %.0f ms, worst %.0f ms\n", median(t.leave),
                *std::max_element(t.leave.begin(), t.leave.end()));
}

} // namespace

int main(int argc, char *argv[])
{
    PrivateNetwork::enter();
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    MdnsDaemon mdns;
    if (!mdns.start())
        fail(mdns.problem());

    GameBrowser browser;
    browser.start();
    if (!MdnsDaemon::waitFor([&] { return browser.daemonRunning(); }, 10000))
        fail("the browser found no daemon");

    const QString server = QStringLiteral(ZARVEX_SERVER);
    const QString window = QStringLiteral(ZARVEX_WINDOW);
    report("zarvex-server", measure(browser, "Bench server", server, {"--port", "7790", "--no-web", "--name", "Bench server"}));
    // The window names its game after the player and this machine.
    report("hosting window (zarvex Ann 127.0.0.1 true)",
           measure(browser, GameAnnouncer::serviceName("Ann", QSysInfo::machineHostName()), window,
                   {"Ann", "127.0.0.1", "true"}));

    // One of each, as any service browser sees them.
    Host serverHost;
    Host windowHost;
    serverHost.start(server, {"--port", "7790", "--no-web", "--name", "Bench server"});
    windowHost.start(window, {"Ann", "127.0.0.1", "true"});
    if (!MdnsDaemon::waitFor([&] { return browser.games()->count() == 2; }, 20000))
        fail("the two hosts were not both listed");
    QProcess avahiBrowse;
    avahiBrowse.start(QStringLiteral("avahi-browse"), {"-rpt", "_zarvex._tcp"});
    if (!avahiBrowse.waitForFinished(20000))
        fail("avahi-browse (avahi-utils) did not run");
    std::printf("avahi-browse -rpt _zarvex._tcp:\n%s", avahiBrowse.readAllStandardOutput().constData());
    serverHost.stop();
    windowHost.stop();
    return 0;
}
