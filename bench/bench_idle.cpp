// What an idle game costs. It starts the real programs (QT_QPA_PLATFORM
// should be offscreen) and a bare Qt window as the floor, each with its own
// program and runtime folders, and reads /proc:
//  - start-up: from starting a program to its first shown window, the median
//    of several starts, the game's window against the bare window's;
//  - resident memory of both after five idle seconds;
//  - for both, a bare window showing a line of text beside them, as a
//    second reference: what Qt's fonts add to any window with words;
//  - wake-ups (voluntary context switches of every thread) per second and
//    processor time over 20 seconds, from twelve seconds after the start
//    (when the text cursor has stopped blinking): a hosting window and zarvex-server,
//    each with two seated players and no game; then zarvex-server with a
//    window joined, idle and with a game running; all beside the bare window.
// The window always plays on port 7772, which must be free.

#include "procstats.h"

#include "protocol/messageassembler.h"
#include "protocol/tsock.h"
#include "protocol/wire.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

constexpr int idleSeconds = 20;
constexpr int settleSeconds = 5;
constexpr int restSeconds = 7;
constexpr int startups = 5;
constexpr quint16 windowPort = 7772;

void wait(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitFor(const std::function<bool()> &done, int timeoutMs = 15000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        wait(5);
    }
    return true;
}

// Binds the port on the loopback address; 0 picks a free one. Answers the
// port bound, 0 when it is taken.
quint16 probePort(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    quint16 bound = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0) {
        socklen_t len = sizeof addr;
        getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len);
        bound = ntohs(addr.sin_port);
    }
    ::close(fd);
    return bound;
}

// A player reduced to its wire: it logs in under its name when the server
// offers a seat and keeps everything it hears.
struct WirePlayer
{
    TSock sock;
    MessageAssembler assembler;
    QList<QByteArray> heard;
    QByteArray name;
    int seat = 0;

    WirePlayer(quint16 port, const QByteArray &playerName) : name(playerName)
    {
        sock.OnRead = [this](TSock *s, int) {
            for (const QByteArray &m : assembler.feed(s->Receive())) {
                heard << m;
                if (m.startsWith("CMD_sendlogininfo+")) {
                    seat = m.mid(int(qstrlen("CMD_sendlogininfo+"))).toInt();
                    sock.Send(Wire::message("CMD_logininfo", {Wire::num(seat), Wire::Version, name + Wire::Terminator}));
                }
            }
        };
        sock.setHostName("127.0.0.1");
        sock.setPortName(QByteArray::number(port));
        sock.Open();
    }

    bool hasHeard(const QByteArray &prefix) const
    {
        return std::any_of(heard.begin(), heard.end(), [&](const QByteArray &m) { return m.startsWith(prefix); });
    }
    void send(const QByteArray &command, std::initializer_list<QByteArray> fields)
    {
        sock.Send(Wire::message(command, fields));
    }
};

// One copy of a program with folders of its own, ended when dropped.
class Program
{
public:
    Program(const QString &path, const QStringList &arguments)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ZARVEX_HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        env.insert(QStringLiteral("ZARVEX_SHOWN_MARKER"), QStringLiteral("1"));
        env.insert(QStringLiteral("ZARVEX_WEB_PORT"), QStringLiteral("7791"));
        m_process.setProcessEnvironment(env);
        m_process.setStandardErrorFile(QProcess::nullDevice());
        // Each line is timed as it arrives, not as somebody looks for it.
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
            m_output += m_process.readAllStandardOutput();
            for (int end; (end = int(m_output.indexOf('\n'))) >= 0; m_output.remove(0, end + 1))
                m_lines.append({m_output.left(end), m_clock.elapsed()});
        });
        m_clock.start();
        m_process.start(path, arguments);
        m_process.waitForStarted(5000);
    }
    ~Program()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    qint64 pid() const { return m_process.processId(); }

    // Waits for a line that starts with the text; answers the ms from the
    // start to its arrival, -1 when it did not come.
    qint64 waitForLine(const QByteArray &text, int timeoutMs = 15000)
    {
        qint64 at = -1;
        waitFor([&] {
            for (const auto &[line, ms] : m_lines)
                if (at < 0 && line.startsWith(text))
                    at = ms;
            return at >= 0 || m_process.state() == QProcess::NotRunning;
        }, timeoutMs);
        return at;
    }

private:
    QTemporaryDir m_home;
    QTemporaryDir m_runtime;
    QProcess m_process;
    QElapsedTimer m_clock;
    QByteArray m_output;
    QList<QPair<QByteArray, qint64>> m_lines;   // each line and its ms from the start
};

struct Cost
{
    double wakeupsPerSecond = 0;
    double cpuMs = 0;
    int threads = 0;
};

// The cost of each process over the same stretch of time.
std::vector<Cost> measure(const std::vector<qint64> &pids, int seconds)
{
    std::vector<ProcStats::Sample> before;
    for (qint64 pid : pids)
        before.push_back(ProcStats::sample(pid));
    QElapsedTimer clock;
    clock.start();
    wait(seconds * 1000);
    const double elapsed = double(clock.elapsed()) / 1000.0;
    std::vector<Cost> costs;
    for (size_t i = 0; i < pids.size(); ++i) {
        const ProcStats::ThreadCounts done = ProcStats::since(before[i], ProcStats::sample(pids[i]));
        costs.push_back({double(done.voluntarySwitches) / elapsed, double(done.cpuNs) / 1e6,
                         ProcStats::threadCount(pids[i])});
    }
    return costs;
}

double ratio(double value, double floor)
{
    return floor > 0 ? value / floor : 0;
}

// The processor time beside the floor's: as a ratio, or, when the floor
// used too little to divide by (under a millisecond), as the difference.
void printCost(const char *what, const Cost &cost, const Cost &floor)
{
    char versus[64];
    if (floor.cpuMs >= 1.0)
        std::snprintf(versus, sizeof versus, "%5.2fx the floor", ratio(cost.cpuMs, floor.cpuMs));
    else
        std::snprintf(versus, sizeof versus, "floor %+.1f ms", cost.cpuMs - floor.cpuMs);
    std::printf("  %-30s %7.2f wake-ups/s %8.1f ms CPU (%s) %2d threads\n", what, cost.wakeupsPerSecond,
                cost.cpuMs, versus, cost.threads);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

void fail(const char *why)
{
    std::fprintf(stderr, "bench_idle: %s\n", why);
    std::exit(1);
}

// Starts zarvex-server on a port and seats its first player there, who
// takes seat 1 and with it the host's rights.
std::unique_ptr<WirePlayer> seatFirstPlayer(Program &dedicated, quint16 port, const QByteArray &name)
{
    if (dedicated.waitForLine("Zarvex server listening") < 0)
        fail("zarvex-server did not start");
    auto first = std::make_unique<WirePlayer>(port, name);
    if (!waitFor([&] { return first->hasHeard("CMD_newplayerinfo+1+"); }))
        fail("nobody took seat 1 of zarvex-server");
    return first;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);   // each figure as it comes
    // The programs measured announce nothing on a real network: no bus for them.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/zarvex-bench-uses-no-system-bus");
    const QString window = QStringLiteral(ZARVEX_WINDOW);
    const QString server = QStringLiteral(ZARVEX_SERVER);
    const QString floorProgram = QStringLiteral(ZARVEX_FLOOR);
    const QStringList hosting{"Ann", "127.0.0.1", "true"};
    if (probePort(windowPort) != windowPort)
        fail("port 7772 is in use; the window plays on no other");

    // Start-up, alternating the two programs.
    // The bare window with a line of text is a second reference: what
    // Qt's fonts alone add to any window with words in it.
    std::vector<double> floorStart, textStart, windowStart;
    for (int i = 0; i < startups; ++i) {
        floorStart.push_back(double(Program(floorProgram, {}).waitForLine("shown")));
        textStart.push_back(double(Program(floorProgram, {"text"}).waitForLine("shown")));
        windowStart.push_back(double(Program(window, hosting).waitForLine("shown")));
    }
    const double floorMs = median(floorStart), textMs = median(textStart), windowMs = median(windowStart);
    if (floorMs < 0 || textMs < 0 || windowMs < 0)
        fail("a program showed no window");
    std::printf("start-up to the first shown window, median of %d:\n", startups);
    std::printf("  bare Qt window %.1f ms, zarvex %.1f ms: %.2fx\n", floorMs, windowMs, ratio(windowMs, floorMs));
    std::printf("  (bare window with a line of text %.1f ms: zarvex %.2fx that)\n", textMs, ratio(windowMs, textMs));

    // A hosting window and a dedicated server, each with two seated players
    // and no game, beside the bare window.
    std::vector<Cost> idle;
    {
        Program floor(floorProgram, {});
        Program textFloor(floorProgram, {"text"});
        Program host(window, hosting);
        if (floor.waitForLine("shown") < 0 || textFloor.waitForLine("shown") < 0 || host.waitForLine("shown") < 0)
            fail("a program showed no window");
        WirePlayer bob(windowPort, "Bob");
        const quint16 serverPort = probePort(0);
        Program dedicated(server, {"--port", QString::number(serverPort), "--no-web"});
        const std::unique_ptr<WirePlayer> cleo = seatFirstPlayer(dedicated, serverPort, "Cleo");
        WirePlayer dan(serverPort, "Dan");
        if (!waitFor([&] { return bob.hasHeard("CMD_existingplayers+1+") && dan.hasHeard("CMD_existingplayers+1+"); }))
            fail("the second players found no seats");

        wait(settleSeconds * 1000);
        const double floorMB = ProcStats::residentMB(floor.pid()), windowMB = ProcStats::residentMB(host.pid());
        std::printf("resident memory after %d idle seconds:\n", settleSeconds);
        std::printf("  bare Qt window %.1f MB, zarvex %.1f MB: %.2fx\n", floorMB, windowMB, ratio(windowMB, floorMB));
        const double textMB = ProcStats::residentMB(textFloor.pid());
        std::printf("  (bare window with a line of text %.1f MB: zarvex %.2fx that)\n", textMB, ratio(windowMB, textMB));

        // The game's text cursor stops blinking after ten seconds alone.
        wait(restSeconds * 1000);
        idle = measure({floor.pid(), host.pid(), dedicated.pid()}, idleSeconds);
        std::printf("idle for %d s, two seated players, no game:\n", idleSeconds);
        printCost("bare Qt window (the floor)", idle[0], idle[0]);
        printCost("hosting zarvex window", idle[1], idle[0]);
        printCost("zarvex-server", idle[2], idle[0]);
    }

    // A window joined to the dedicated server on the game's port: idle, then
    // with a round being played.
    {
        Program dedicated(server, {"--port", QString::number(windowPort), "--no-web"});
        const std::unique_ptr<WirePlayer> seatOne = seatFirstPlayer(dedicated, windowPort, "Ann");
        WirePlayer &ann = *seatOne;
        Program joined(window, {"Bob", "127.0.0.1", "false"});
        if (joined.waitForLine("shown") < 0 || !waitFor([&] { return ann.hasHeard("CMD_newplayerinfo+2+Bob"); }))
            fail("the window did not join");
        wait((settleSeconds + restSeconds) * 1000);

        std::vector<Cost> costs = measure({dedicated.pid(), joined.pid()}, idleSeconds);
        std::printf("zarvex-server with a joined window, idle for %d s, no game:\n", idleSeconds);
        printCost("zarvex-server", costs[0], idle[0]);
        printCost("joined zarvex window", costs[1], idle[0]);

        ann.send("CMD_startgame", {"Ann", "250", "60", "f", "f", ""});
        if (!waitFor([&] { return ann.hasHeard("CMD_nextplayer+"); }))
            fail("the game did not start");
        costs = measure({dedicated.pid(), joined.pid()}, idleSeconds);
        std::printf("the same for %d s of a round being played:\n", idleSeconds);
        printCost("zarvex-server", costs[0], idle[0]);
        printCost("joined zarvex window", costs[1], idle[0]);
    }
    return 0;
}
