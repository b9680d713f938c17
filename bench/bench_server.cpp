// The server's word latency under load: how long a player waits from sending
// a word (CMD_myword) to seeing it accepted (CMD_hefoundit). A dedicated
// server plays rounds with nine clients, each a process of its own, six of
// them playing; each client times its own finds. It runs three times: with
// no chatter as the baseline; with every client chatting a line a second, the
// nine lines close together (the clients start within a few milliseconds of
// each other, so each second brings a burst of nine); and with the same
// chatter spread over the second, as players who do not type in step.
// Each 10 ms tick the server handles the oldest message of every connection,
// so a word waits behind its own connection's messages, not the others'.
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

enum class Chatter { None, InStep, Spread };

// One run: a server and nine client processes until `finds` finds are timed.
std::vector<double> run(int finds, Chatter chatter)
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
        if (chatter != Chatter::None)
            args << QStringLiteral("--chat");
        if (chatter == Chatter::Spread)
            args << QStringLiteral("--chat-after") << QString::number(i * 1000 / clientCount);
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
    std::printf("%-34s %7zu %8.2f %8.2f %8.2f %8.2f\n", name, sorted.size(), ticks(percentile(sorted, 0.5)),
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
    const std::vector<double> quiet = run(finds, Chatter::None);
    const std::vector<double> inStep = run(finds, Chatter::InStep);
    const std::vector<double> spread = run(finds, Chatter::Spread);
    std::printf("%-34s %7s %8s %8s %8s %8s\n", "run", "finds", "median", "p90", "p99", "worst");
    report("no chatter (baseline)", quiet);
    report("nine seats chatting, lines together", inStep);
    report("nine seats chatting, lines spread", spread);
    const auto ticks = [](const std::vector<double> &sorted, double p) { return percentile(sorted, p) / dispatchTickMs; };
    if (!quiet.empty() && !inStep.empty() && !spread.empty()) {
        std::printf("chatting / baseline, p99: lines together %.2f, lines spread %.2f\n",
                    percentile(inStep, 0.99) / percentile(quiet, 0.99), percentile(spread, 0.99) / percentile(quiet, 0.99));
        // The line the benchmark script gathers.
        std::printf("figure | server word latency (CMD_myword to CMD_hefoundit), 9 seats chatting | "
                    "p99 %.2f ticks with the lines spread, %.2f with them together; median %.2f, %.2f "
                    "(no chatter: p99 %.2f, median %.2f; %zu finds each)\n",
                    ticks(spread, 0.99), ticks(inStep, 0.99), ticks(spread, 0.5), ticks(inStep, 0.5), ticks(quiet, 0.99),
                    ticks(quiet, 0.5), std::min({quiet.size(), inStep.size(), spread.size()}));
    }
    return 0;
}
