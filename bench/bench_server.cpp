// The server's word latency under load: how long a player waits from sending
// a word (CMD_myword) to seeing it accepted (CMD_hefoundit). A dedicated
// server plays rounds with nine clients, each a process of its own, six of
// them playing; each client times its own finds. It runs twice: with every
// client chatting a line a second, and with no chatter as the baseline.
// Figures are given in ticks of the server's 10 ms dispatch timer.
//
// bench_server [FINDS]   timed finds per run, 204 unless given

#include "protocol/tsock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int clientCount = 9;
constexpr double dispatchTickMs = 10.0;

quint16 freePort()
{
    TSock probe;
    probe.setPortName("0");
    probe.setListen(true);
    return probe.LocalPort();
}

double percentile(const std::vector<double> &sorted, double p)
{
    return sorted.empty() ? 0 : sorted[size_t(p * double(sorted.size() - 1) + 0.5)];
}

// One run: a server and nine client processes until `finds` finds are timed.
std::vector<double> run(int finds, bool chatter)
{
    const quint16 port = freePort();
    QProcess server;
    server.start(QStringLiteral(ZARVEX_SERVER), {"--port", QString::number(port), "--no-web", "--no-announce"});
    server.waitForStarted();
    server.waitForReadyRead(10000);

    std::vector<double> latencies;
    std::vector<std::unique_ptr<QProcess>> clients;
    QEventLoop loop;
    for (int i = 0; i < clientCount; ++i) {
        auto client = std::make_unique<QProcess>();
        QProcess *p = client.get();
        QObject::connect(p, &QProcess::readyReadStandardOutput, [p, &latencies, &loop, finds] {
            while (p->canReadLine()) {
                const QByteArray line = p->readLine().trimmed();
                if (line.startsWith("found ")) {
                    latencies.push_back(line.mid(6).toDouble() / 1000.0);
                    if (int(latencies.size()) >= finds)
                        loop.quit();
                }
            }
        });
        QStringList args{QString::number(port)};
        if (chatter)
            args << QStringLiteral("--chat");
        if (i == 0)
            args << QStringLiteral("--start-at") << QString::number(clientCount);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QStringLiteral(ZARVEX_LOAD_CLIENT), args);
        p->waitForStarted();
        // One after another, so that the first takes seat 1.
        p->waitForReadyRead(5000);
        clients.push_back(std::move(client));
    }
    // Rounds need about eight seconds each, the pause between them included.
    QTimer::singleShot(finds * 4000, &loop, &QEventLoop::quit);
    loop.exec();

    for (auto &client : clients) {
        client->terminate();
        client->waitForFinished();
    }
    server.terminate();
    server.waitForFinished();
    std::sort(latencies.begin(), latencies.end());
    return latencies;
}

void report(const char *name, const std::vector<double> &sorted)
{
    const auto ticks = [](double ms) { return ms / dispatchTickMs; };
    std::printf("%-22s %7zu %8.2f %8.2f %8.2f %8.2f\n", name, sorted.size(), ticks(percentile(sorted, 0.5)),
                ticks(percentile(sorted, 0.9)), ticks(percentile(sorted, 0.99)),
                ticks(sorted.empty() ? 0 : sorted.back()));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int finds = argc > 1 ? std::max(1, QByteArray(argv[1]).toInt()) : 204;
    std::printf("word latency, CMD_myword to CMD_hefoundit, in 10 ms ticks; nine clients in processes of their own\n");
    std::fflush(stdout);
    const std::vector<double> quiet = run(finds, false);
    const std::vector<double> busy = run(finds, true);
    std::printf("%-22s %7s %8s %8s %8s %8s\n", "run", "finds", "median", "p90", "p99", "worst");
    report("no chatter (baseline)", quiet);
    report("nine seats chatting", busy);
    if (!quiet.empty() && !busy.empty()) {
        std::printf("chatting / baseline: median %.2f, p99 %.2f\n", percentile(busy, 0.5) / percentile(quiet, 0.5),
                    percentile(busy, 0.99) / percentile(quiet, 0.99));
        // The line the benchmark script gathers.
        std::printf("figure | server word latency (CMD_myword to CMD_hefoundit), 9 seats chatting | "
                    "%zu finds, p99 %.2f ticks, median %.2f (no chatter: %zu finds, p99 %.2f, median %.2f)\n",
                    busy.size(), percentile(busy, 0.99) / dispatchTickMs, percentile(busy, 0.5) / dispatchTickMs,
                    quiet.size(), percentile(quiet, 0.99) / dispatchTickMs, percentile(quiet, 0.5) / dispatchTickMs);
    }
    return 0;
}
