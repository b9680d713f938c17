// A load run against the dedicated server: nine clients chat a line a
// second each while six of them play rounds. It measures how long a player
// waits from sending a word (CMD_myword) to seeing it accepted
// (CMD_hefoundit), beside the server's 10 ms dispatch tick as the floor.

#include "protocol/messageassembler.h"
#include "protocol/tsock.h"
#include "protocol/wire.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

constexpr int clientCount = 9;
constexpr int rounds = 6;
constexpr double dispatchTickMs = 10.0;

struct LoadClient
{
    TSock sock;
    MessageAssembler assembler;
    int seat = 0;
    QByteArray board;
    QByteArray word;
    QElapsedTimer sentAt;
    QTimer chat;
    std::function<void(LoadClient &, const QByteArray &)> onMessage;

    LoadClient(quint16 port, std::function<void(LoadClient &, const QByteArray &)> handler)
        : onMessage(std::move(handler))
    {
        sock.OnRead = [this](TSock *s, int) {
            for (const QByteArray &m : assembler.feed(s->Receive()))
                onMessage(*this, m);
        };
        sock.setHostName("127.0.0.1");
        sock.setPortName(QByteArray::number(port));
        sock.Open();
        chat.setInterval(1000);
        QObject::connect(&chat, &QTimer::timeout, [this] {
            if (seat > 0)
                sock.Send(Wire::message("CMD_chat", {Wire::num(seat), "a line of chat|clBlack"}));
        });
    }

    // The first tile of each letter spells the word as far as the server cares.
    QByteArray positions() const
    {
        const QList<QByteArray> cells = board.split('+');
        const QList<QByteArray> letters = word.split('+');
        QByteArray out;
        for (int k = 1; k + 1 < letters.size(); k += 2)
            for (int i = 1; i + 2 < cells.size(); i += 3)
                if (cells[i + 2] == letters[k + 1]) {
                    out += '+' + cells[i] + '+' + cells[i + 1];
                    break;
                }
        return out;
    }
};

quint16 freePort()
{
    TSock probe;
    probe.setPortName("0");
    probe.setListen(true);
    return probe.LocalPort();
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[size_t(p * double(v.size() - 1) + 0.5)];
}

void BM_WordAcceptedUnderLoad(benchmark::State &state)
{
    std::vector<double> latencies;
    for (auto _ : state) {
        const quint16 port = freePort();
        QProcess server;
        server.start(ZARVEX_SERVER, {"--port", QString::number(port), "--no-announce"});
        server.waitForStarted();
        server.waitForReadyRead(10000);

        int roundsSeen = 0;
        std::vector<std::unique_ptr<LoadClient>> clients;
        auto handle = [&](LoadClient &c, const QByteArray &m) {
            if (m.startsWith("CMD_sendlogininfo+")) {
                c.seat = m.mid(18).toInt();
                c.sock.Send("CMD_logininfo+" + Wire::num(c.seat) + "+1.0.5+Player" + Wire::num(c.seat)
                            + Wire::Terminator + Wire::Terminator);
                c.chat.start();
                if (c.seat == clientCount)
                    clients.front()->sock.Send(Wire::message("CMD_startgame", {"Player1", "100000", "20", "f", "f", ""}));
            } else if (m.startsWith("CMD_loadboard+")) {
                c.board = m.mid(14);
                if (c.seat == 1)
                    ++roundsSeen;
            } else if (m.startsWith("CMD_theword+")) {
                c.word = m.mid(11);
            } else if (m.startsWith("CMD_nextplayer+") && c.seat <= 6) {
                QTimer::singleShot(QRandomGenerator::global()->bounded(300, 2000), [&c] {
                    c.sentAt.start();
                    c.sock.Send("CMD_myword+" + Wire::num(c.seat) + c.positions() + Wire::Terminator);
                });
            } else if (m.startsWith("CMD_hefoundit+" + Wire::num(c.seat) + "+")) {
                latencies.push_back(double(c.sentAt.nsecsElapsed()) / 1e6);
            }
        };
        // One after another, so that the first takes seat 1.
        for (int i = 0; i < clientCount; ++i) {
            clients.push_back(std::make_unique<LoadClient>(port, handle));
            QElapsedTimer wait;
            wait.start();
            while (clients.back()->seat == 0 && wait.elapsed() < 5000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        // Wait in the event loop, not in a spin that would load the machine.
        QEventLoop loop;
        QTimer check;
        QElapsedTimer clock;
        clock.start();
        QObject::connect(&check, &QTimer::timeout, [&] {
            if (roundsSeen > rounds || clock.elapsed() > 120000)
                loop.quit();
        });
        check.start(50);
        loop.exec();
        clients.clear();
        server.terminate();
        server.waitForFinished();
    }
    const double median = percentile(latencies, 0.5);
    const double p99 = percentile(latencies, 0.99);
    state.counters["samples"] = double(latencies.size());
    state.counters["median_ms"] = median;
    state.counters["p99_ms"] = p99;
    state.counters["tick_floor_ms"] = dispatchTickMs;
    state.counters["median_per_tick"] = median / dispatchTickMs;
    state.counters["p99_per_tick"] = p99 / dispatchTickMs;
}

BENCHMARK(BM_WordAcceptedUnderLoad)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
