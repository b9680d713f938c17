// bench_rejoin: silent outages of a real line during rounds. A dedicated
// server and a computer player sit on one side of a line made of network
// namespaces (see NetLab), a player's window on the other; the line fails
// without a word for 15 seconds at a random moment of a running round, ten
// times over. For each outage: when the server and the window noticed, and
// how long after the line came back the seat was played again (the server
// has the player back in the seat; the window has handled everything the
// server sent it on the way back in).
//
// Needs root and iproute2. About four minutes. Arguments: [OUTAGES [SECONDS]].

#include "support/outagegame.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

struct Figures
{
    QList<qint64> serverNoticed, windowNoticed, backIn, windowReady;
};

QByteArray shown(qint64 ms)
{
    return ms < 0 ? QByteArray("-") : QByteArray::number(ms / 1000.0, 'f', 2);
}

void summary(const char *what, QList<qint64> values, int outages)
{
    if (values.isEmpty()) {
        std::printf("%-34s none of %d\n", what, outages);
        return;
    }
    std::sort(values.begin(), values.end());
    const qint64 median = values.size() % 2 ? values[values.size() / 2]
                                            : (values[values.size() / 2 - 1] + values[values.size() / 2]) / 2;
    std::printf("%-34s median %6s s   worst %6s s   (%lld of %d)\n", what, shown(median).constData(),
                shown(values.last()).constData(), qlonglong(values.size()), outages);
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home, runtime;
    qputenv("ZARVEX_HOME", home.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const int outages = args.value(0, "10").toInt();
    const int seconds = args.value(1, "15").toInt();
    if (outages < 1 || seconds < 1) {
        std::fprintf(stderr, "usage: bench_rejoin [OUTAGES [SECONDS]]\n");
        return 2;
    }

    NetLab lab;
    if (!lab.whyNot().isEmpty()) {
        std::printf("bench_rejoin: skipped: %s\n", qPrintable(lab.whyNot()));
        return 0;
    }
    if (!lab.enterPlayerSide()) {
        std::fprintf(stderr, "bench_rejoin: cannot enter the player's side of the line\n");
        return 1;
    }
    OutageGame g(lab, ZARVEX_SERVER, ZARVEX_BOT, "easy");
    if (!g.why.isEmpty()) {
        std::fprintf(stderr, "bench_rejoin: %s\n", qPrintable(g.why));
        return 1;
    }
    g.startGame(60);

    std::printf("%d silent outages of %d s during rounds; the line gives up after %d s of silence\n", outages,
                seconds, Wire::KeepAliveIdle + Wire::KeepAliveInterval * Wire::KeepAliveCount);
    std::printf("%3s %8s %10s %10s %12s %12s\n", "", "into", "server", "window", "back in", "window");
    std::printf("%3s %8s %10s %10s %12s %12s\n", "", "round", "noticed", "noticed", "after line", "ready");
    Figures f;
    QRandomGenerator random = QRandomGenerator::securelySeeded();
    for (int n = 1; n <= outages; ++n) {
        // A moment of a running round in which the window may play.
        if (!waitFor([&] { return g.inRound(); }, 120000)) {
            std::fprintf(stderr, "bench_rejoin: no round to play\n");
            return 1;
        }
        const qint64 roundSeen = g.clock.elapsed();
        const int delay = int(random.bounded(8000));
        waitFor([] { return false; }, delay);
        if (!g.inRound()) {
            --n;   // the round ended first: take the next one
            continue;
        }
        if (!lab.cut())
            return 1;
        const qint64 cut = g.clock.elapsed();
        waitFor([] { return false; }, seconds * 1000);
        if (!lab.restore())
            return 1;
        const qint64 restored = g.clock.elapsed();

        // Back in: the server has the player in the seat again, and the
        // window has handled what the server sent it then (all in one go).
        // Or never out: neither end noticed, and the line carries on.
        const QByteArray back = "Pat is back in seat 1";
        qint64 ready = -1;
        waitFor([&] {
            if (g.windowBack > cut && g.window.row(1).name == "Pat" && g.window.queued() == 0
                && g.when(back, cut) >= 0) {
                ready = g.clock.elapsed();
                return true;
            }
            const bool noticed = g.windowLost > cut || g.when("Pat lost the connection", cut) >= 0;
            return !noticed && g.clock.elapsed() > restored + 30000;
        }, 120000);
        const qint64 serverNoticed = g.when("Pat lost the connection", cut);
        const qint64 backIn = g.when(back, cut);
        const qint64 windowNoticed = g.windowLost > cut ? g.windowLost : -1;
        auto since = [](qint64 at, qint64 from) { return at >= 0 ? at - from : -1; };
        f.serverNoticed << since(serverNoticed, cut);
        f.windowNoticed << since(windowNoticed, cut);
        f.backIn << since(backIn, restored);
        f.windowReady << since(ready, restored);
        std::printf("%3d %8s %10s %10s %12s %12s\n", n, shown(cut - roundSeen).constData(),
                    shown(since(serverNoticed, cut)).constData(), shown(since(windowNoticed, cut)).constData(),
                    shown(since(backIn, restored)).constData(), shown(since(ready, restored)).constData());
        std::fflush(stdout);
    }
    for (QList<qint64> *list : {&f.serverNoticed, &f.windowNoticed, &f.backIn, &f.windowReady})
        list->removeAll(-1);
    std::printf("\n");
    summary("noticed by the server, after cut", f.serverNoticed, outages);
    summary("noticed by the window, after cut", f.windowNoticed, outages);
    summary("back in the seat, after the line", f.backIn, outages);
    summary("window ready, after the line", f.windowReady, outages);
    return 0;
}
