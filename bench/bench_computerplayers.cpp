// Computer players of each level against each other: one Easy, one Normal
// and one Hard on a server of their own, with every timer of the game sped
// up, for 200 rounds (half STRAIGHT, half SCRAMBLED, 30 seconds a round).
// A seat-1 host starts the games and only watches. Prints each level's find
// rate, median time to the word and mean points per round, and each beside
// Hard's as the baseline of the same run.

#include "client/computerplayer.h"
#include "protocol/messageassembler.h"
#include "protocol/tsock.h"
#include "protocol/wire.h"
#include "server/random.h"
#include "server/tserver.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int rounds = 200;
constexpr int speedUp = 50;
constexpr int secondsPerRound = 30;

struct Figures
{
    int played = 0;
    int found = 0;
    long points = 0;
    QList<int> times;

    double findRate() const { return played ? double(found) / played : 0.0; }
    double meanPoints() const { return played ? double(points) / played : 0.0; }
    double medianSeconds() const
    {
        QList<int> t = times;
        std::sort(t.begin(), t.end());
        return t.isEmpty() ? 0.0 : t[t.size() / 2] / 1000.0;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Random::seed(17);
    TServer server(nullptr, Ticker::Manual);
    server.Sock1.setPortName("0");
    server.Sock1.setListen(true);
    const QByteArray port = QByteArray::number(server.Sock1.LocalPort());

    // The server's clocks, sped up: dispatch drains its queue every ms, the
    // round timer's second lasts 1000 / speedUp ms.
    QTimer dispatch;
    dispatch.setInterval(1);
    QObject::connect(&dispatch, &QTimer::timeout, [&] {
        while (server.queued() > 0)
            server.socktimerTimer();
    });
    QTimer second;
    second.setInterval(1000 / speedUp);
    QObject::connect(&second, &QTimer::timeout, [&] {
        if (server.timer1Enabled())
            server.timer1Timer();
    });
    dispatch.start();
    second.start();

    // The host: seat 1, starts the games and watches.
    TSock host;
    MessageAssembler hostMessages;
    const auto startGame = [&](bool scrambled) {
        host.Send(Wire::message("CMD_startgame", {"Host", "1000000", QByteArray::number(secondsPerRound),
                                                  scrambled ? "t" : "f", "f", ""}));
        host.Send(Wire::message("CMD_justwatch", {"1", "1"}));
    };
    int players = 0;
    host.OnRead = [&](TSock *s, int) {
        for (const QByteArray &m : hostMessages.feed(s->Receive())) {
            if (m == "CMD_sendlogininfo+1")
                host.Send("CMD_logininfo+1+1.0.5+Host" + QByteArray(2, Wire::Terminator));
            else if (m.startsWith("CMD_newplayerinfo+") && !m.startsWith("CMD_newplayerinfo+1+") && ++players == 3)
                startGame(false);
        }
    };
    host.setHostName("127.0.0.1");
    host.setPortName(port);
    host.Open();

    Figures figures[3];
    std::vector<std::unique_ptr<ComputerPlayer>> bots;
    const QByteArray names[] = {"Easy", "Normal", "Hard"};
    int hostConnected = 0;
    QObject::connect(&server, &TServer::playerJoined, [&](int seat, const QByteArray &) {
        if (seat != 1 || hostConnected++)
            return;
        for (ComputerLevel::Level level : {ComputerLevel::Easy, ComputerLevel::Normal, ComputerLevel::Hard}) {
            auto bot = std::make_unique<ComputerPlayer>(names[level], level, Ticker::Running, speedUp);
            bot->seed(quint32(100 + level));
            Figures &f = figures[level];
            QObject::connect(bot.get(), &ComputerPlayer::roundBegan, [&f](int) { ++f.played; });
            QObject::connect(bot.get(), &ComputerPlayer::wordFound, [&f](int bonus, int elapsedMs) {
                ++f.found;
                f.points += bonus;
                f.times << elapsedMs;
            });
            bot->connectTo("127.0.0.1", port);
            bots.push_back(std::move(bot));
        }
    });
    int ended = 0;
    QObject::connect(&server, &TServer::roundEnded, [&](int, bool) {
        if (++ended == rounds / 2)
            startGame(true);
        else if (ended == rounds)
            app.quit();
    });
    QCoreApplication::exec();

    std::printf("%d rounds (%d STRAIGHT, %d SCRAMBLED), %d s a round, timers %dx\n", rounds, rounds / 2, rounds / 2,
                secondsPerRound, speedUp);
    std::printf("%-7s %7s %10s %10s   %s\n", "level", "found", "median s", "points", "beside Hard (found, points)");
    const Figures &hard = figures[ComputerLevel::Hard];
    for (ComputerLevel::Level level : {ComputerLevel::Easy, ComputerLevel::Normal, ComputerLevel::Hard}) {
        const Figures &f = figures[level];
        std::printf("%-7s %6.1f%% %10.1f %10.1f   %.2f, %.2f\n", names[level].constData(), 100.0 * f.findRate(),
                    f.medianSeconds(), f.meanPoints(), hard.findRate() > 0 ? f.findRate() / hard.findRate() : 0.0,
                    hard.meanPoints() > 0 ? f.meanPoints() / hard.meanPoints() : 0.0);
    }
    return 0;
}
