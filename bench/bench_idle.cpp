// What an idle game costs. It starts the real programs (QT_QPA_PLATFORM
// should be offscreen) and a bare Qt window as the floor, each with its own
// program and runtime folders and on ports nobody uses, and reads /proc:
//  - start-up: from starting a program to its first shown window, the median
//    of several starts, the game's window against a bare window showing a
//    line of text (what Qt's fonts add to any window with words), and
//    against the bare window alone;
//  - resident memory of both after five idle seconds;
//  - wake-ups (voluntary context switches of every thread) per second,
//    processor time, threads and resident memory over 20 seconds, from
//    twelve seconds after the start (when the text cursor has stopped
//    blinking), each beside the bare window measured over the same seconds:
//    a hosting window and zarvex-server, each with two seated players and no
//    game; zarvex-server with a window joined, idle and with a round being
//    played; a solo game with its lobby window open, browsing for games; a
//    hosting window announcing its game on the network; a hosting window
//    serving two idle browser seats (connected WebSockets) on its web port.
// It runs in a network of its own (only a loopback interface, see
// tests/support/privatenetwork.h), with a multicast DNS daemon of its own for
// the lobby and the announcing host; where that cannot be had (no root, no
// user namespaces, no avahi-daemon) those two run without a daemon and say so.
// Lines that start with "figure |" are the figures scripts/bench.sh sums up.

#include "procstats.h"

#include "protocol/messageassembler.h"
#include "protocol/tsock.h"
#include "protocol/wire.h"
#include "support/mdnsdaemon.h"
#include "support/privatenetwork.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebSocket>

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
constexpr int startups = 7;
const char noBus[] = "unix:path=/nonexistent/zarvex-bench-uses-no-system-bus";

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

// A free port on the loopback address.
quint16 freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
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

// How a program is started: its game port (a free one unless given) and
// the system bus it may reach (none unless given).
struct Setting
{
    quint16 gamePort = 0;
    QString bus;
};

// One copy of a program with folders and ports of its own, ended when dropped.
class Program
{
public:
    Program(const QString &path, const QStringList &arguments, const Setting &setting = {})
        : m_gamePort(setting.gamePort ? setting.gamePort : freePort()), m_webPort(freePort())
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("ZARVEX_HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        env.insert(QStringLiteral("ZARVEX_SHOWN_MARKER"), QStringLiteral("1"));
        env.insert(QStringLiteral("ZARVEX_GAME_PORT"), QString::number(m_gamePort));
        env.insert(QStringLiteral("ZARVEX_LOBBY_PORT"), QString::number(freePort()));
        env.insert(QStringLiteral("ZARVEX_WEB_PORT"), QString::number(m_webPort));
        // The programs measured announce nothing on a real network: no bus
        // for them but a daemon of the benchmark's own.
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"),
                   setting.bus.isEmpty() ? QString::fromLatin1(noBus) : setting.bus);
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
    quint16 gamePort() const { return m_gamePort; }
    quint16 webPort() const { return m_webPort; }

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
    quint16 m_gamePort;
    quint16 m_webPort;   // where a hosting window serves the browser page
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
    double residentMB = 0;
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
                         ProcStats::threadCount(pids[i]), ProcStats::residentMB(pids[i])});
    }
    return costs;
}

double ratio(double value, double floor)
{
    return floor > 0 ? value / floor : 0;
}

// The processor time beside the floor's: as a ratio, or, when the floor
// used too little to divide by (under a millisecond), as the difference.
QByteArray versusFloor(const Cost &cost, const Cost &floor)
{
    char versus[64];
    if (floor.cpuMs >= 1.0)
        std::snprintf(versus, sizeof versus, "%.2fx the floor", ratio(cost.cpuMs, floor.cpuMs));
    else
        std::snprintf(versus, sizeof versus, "floor %+.1f ms", cost.cpuMs - floor.cpuMs);
    return versus;
}

void printCost(const char *what, const Cost &cost, const Cost &floor)
{
    std::printf("  %-34s %7.2f wake-ups/s %8.1f ms CPU (%s) %2d threads %6.1f MB\n", what, cost.wakeupsPerSecond,
                cost.cpuMs, versusFloor(cost, floor).constData(), cost.threads, cost.residentMB);
}

// One of the figures the benchmark script sums up: the program's cost beside
// the floor's over the same seconds.
void printFigure(const char *what, const Cost &cost, const Cost &floor)
{
    std::printf("figure | %s | %.2f wake-ups/s, %.1f ms CPU in %d s (bare window: %.2f wake-ups/s, %.1f ms CPU)\n",
                what, cost.wakeupsPerSecond, cost.cpuMs, idleSeconds, floor.wakeupsPerSecond, floor.cpuMs);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

[[noreturn]] void fail(const char *why)
{
    std::fprintf(stderr, "bench_idle: %s\n", why);
    std::exit(1);
}

// Starts zarvex-server and seats its first player there, who takes seat 1
// and with it the host's rights.
std::unique_ptr<WirePlayer> seatFirstPlayer(Program &dedicated, const QByteArray &name)
{
    if (dedicated.waitForLine("Zarvex server listening") < 0)
        fail("zarvex-server did not start");
    auto first = std::make_unique<WirePlayer>(dedicated.gamePort(), name);
    if (!waitFor([&] { return first->hasHeard("CMD_newplayerinfo+1+"); }))
        fail("nobody took seat 1 of zarvex-server");
    return first;
}

struct Programs
{
    QString window = QStringLiteral(ZARVEX_WINDOW);
    QString server = QStringLiteral(ZARVEX_SERVER);
    QString floor = QStringLiteral(ZARVEX_FLOOR);
};

// A solo game: its lobby window opens with it and looks for games on the
// network.
void lobbyWindowOpen(const Programs &programs, Program &floor, const QString &bus, const QString &daemon)
{
    Program solo(programs.window, {}, {0, bus});
    if (solo.waitForLine("shown") < 0)
        fail("the solo game showed no window");
    wait((settleSeconds + restSeconds) * 1000);
    const std::vector<Cost> costs = measure({floor.pid(), solo.pid()}, idleSeconds);
    std::printf("a solo game with its lobby window open, looking for games (%s), idle for %d s:\n",
                daemon.toUtf8().constData(), idleSeconds);
    printCost("bare Qt window (the floor)", costs[0], costs[0]);
    printCost("solo window with the lobby open", costs[1], costs[0]);
    printFigure("lobby window open, idle", costs[1], costs[0]);
}

// A hosting window announces its game on the network.
void hostAnnouncing(const Programs &programs, Program &floor, const QString &bus, const QString &daemon)
{
    Program host(programs.window, {"Ann", "127.0.0.1", "true"}, {0, bus});
    if (host.waitForLine("shown") < 0)
        fail("the hosting window showed no window");
    wait((settleSeconds + restSeconds) * 1000);
    const std::vector<Cost> costs = measure({floor.pid(), host.pid()}, idleSeconds);
    std::printf("a hosting window announcing its game (%s), idle for %d s:\n", daemon.toUtf8().constData(),
                idleSeconds);
    printCost("bare Qt window (the floor)", costs[0], costs[0]);
    printCost("hosting window, announcing", costs[1], costs[0]);
    printFigure("host announcing on the network, idle", costs[1], costs[0]);
}

// A browser's seat reduced to its WebSocket, from the page's own origin: it
// logs in when offered a seat, as the page does, and keeps what it hears.
struct BrowserSeat
{
    QWebSocket socket;
    MessageAssembler assembler;
    QList<QByteArray> heard;

    BrowserSeat(quint16 webPort, const QByteArray &name)
        : socket(QStringLiteral("http://127.0.0.1:%1").arg(webPort))
    {
        QObject::connect(&socket, &QWebSocket::binaryMessageReceived, [this, name](const QByteArray &frame) {
            for (const QByteArray &m : assembler.feed(frame)) {
                heard << m;
                if (m.startsWith("CMD_sendlogininfo+")) {
                    const int seat = m.mid(int(qstrlen("CMD_sendlogininfo+"))).toInt();
                    socket.sendBinaryMessage(
                        Wire::message("CMD_logininfo", {Wire::num(seat), Wire::Version, name + Wire::Terminator}));
                }
            }
        });
        socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(webPort)));
    }

    bool hasHeard(const QByteArray &prefix) const
    {
        return std::any_of(heard.begin(), heard.end(), [&](const QByteArray &m) { return m.startsWith(prefix); });
    }
};

// A hosting window serving the browser page on its web port, with two
// browser seats connected and idle.
void webPortWithTwoBrowserSeats(const Programs &programs, Program &floor)
{
    Program host(programs.window, {"Ann", "127.0.0.1", "true"});
    if (host.waitForLine("shown") < 0)
        fail("the hosting window showed no window");
    BrowserSeat bea(host.webPort(), "Bea");
    BrowserSeat cal(host.webPort(), "Cal");
    if (!waitFor([&] { return bea.hasHeard("CMD_existingplayers+") && cal.hasHeard("CMD_existingplayers+"); }))
        fail("the browser seats found no seats at the hosting window");
    wait((settleSeconds + restSeconds) * 1000);
    const std::vector<Cost> costs = measure({floor.pid(), host.pid()}, idleSeconds);
    std::printf("a hosting window serving two idle browser seats on its web port, idle for %d s:\n", idleSeconds);
    printCost("bare Qt window (the floor)", costs[0], costs[0]);
    printCost("hosting window, two browser seats", costs[1], costs[0]);
    printFigure("web port with two idle browser seats", costs[1], costs[0]);
}

} // namespace

int main(int argc, char *argv[])
{
    // Before any thread exists: a network of the benchmark's own.
    const bool privateNetwork = PrivateNetwork::enter();
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);   // each figure as it comes
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", noBus);
    const Programs programs;
    const QStringList hosting{"Ann", "127.0.0.1", "true"};

    // Start-up, alternating the programs.
    std::vector<double> floorStart, textStart, windowStart;
    for (int i = 0; i < startups; ++i) {
        floorStart.push_back(double(Program(programs.floor, {}).waitForLine("shown")));
        textStart.push_back(double(Program(programs.floor, {"text"}).waitForLine("shown")));
        windowStart.push_back(double(Program(programs.window, hosting).waitForLine("shown")));
    }
    const double floorMs = median(floorStart), textMs = median(textStart), windowMs = median(windowStart);
    if (floorMs < 0 || textMs < 0 || windowMs < 0)
        fail("a program showed no window");
    std::printf("start-up to the first shown window, median of %d:\n", startups);
    std::printf("  bare window with a line of text %.1f ms, zarvex %.1f ms: %.2fx\n", textMs, windowMs,
                ratio(windowMs, textMs));
    std::printf("  (bare window without text %.1f ms: zarvex %.2fx that)\n", floorMs, ratio(windowMs, floorMs));
    std::printf("figure | start-up to the first painted window / bare window with a line of text | "
                "%.1f ms / %.1f ms = %.2fx\n", windowMs, textMs, ratio(windowMs, textMs));

    // The bare window stays for every stretch measured below.
    Program floor(programs.floor, {});
    if (floor.waitForLine("shown") < 0)
        fail("the bare window showed no window");

    // A hosting window and a dedicated server, each with two seated players
    // and no game.
    {
        Program textFloor(programs.floor, {"text"});
        Program host(programs.window, hosting);
        if (textFloor.waitForLine("shown") < 0 || host.waitForLine("shown") < 0)
            fail("a program showed no window");
        WirePlayer bob(host.gamePort(), "Bob");
        const quint16 serverPort = freePort();
        Program dedicated(programs.server, {"--port", QString::number(serverPort), "--no-announce", "--no-web"},
                          {serverPort, {}});
        const std::unique_ptr<WirePlayer> cleo = seatFirstPlayer(dedicated, "Cleo");
        WirePlayer dan(serverPort, "Dan");
        if (!waitFor([&] { return bob.hasHeard("CMD_existingplayers+1+") && dan.hasHeard("CMD_existingplayers+1+"); }))
            fail("the second players found no seats");

        wait(settleSeconds * 1000);
        const double textMB = ProcStats::residentMB(textFloor.pid()), windowMB = ProcStats::residentMB(host.pid());
        const double floorMB = ProcStats::residentMB(floor.pid());
        std::printf("resident memory after %d idle seconds:\n", settleSeconds);
        std::printf("  bare window with a line of text %.1f MB, zarvex %.1f MB: %.2fx\n", textMB, windowMB,
                    ratio(windowMB, textMB));
        std::printf("  (bare window without text %.1f MB: zarvex %.2fx that)\n", floorMB, ratio(windowMB, floorMB));
        std::printf("figure | resident memory 5 s after start / the same bare window | %.1f MB / %.1f MB = %.2fx\n",
                    windowMB, textMB, ratio(windowMB, textMB));

        // The game's text cursor stops blinking after ten seconds alone.
        wait(restSeconds * 1000);
        const std::vector<Cost> idle = measure({floor.pid(), host.pid(), dedicated.pid()}, idleSeconds);
        std::printf("idle for %d s, two seated players, no game:\n", idleSeconds);
        printCost("bare Qt window (the floor)", idle[0], idle[0]);
        printCost("hosting zarvex window", idle[1], idle[0]);
        printCost("zarvex-server", idle[2], idle[0]);
        printFigure("hosting window, two seated players, idle", idle[1], idle[0]);
    }

    // A window joined to the dedicated server: idle, then with a round
    // being played.
    {
        const quint16 port = freePort();
        Program dedicated(programs.server, {"--port", QString::number(port), "--no-announce", "--no-web"}, {port, {}});
        const std::unique_ptr<WirePlayer> seatOne = seatFirstPlayer(dedicated, "Ann");
        WirePlayer &ann = *seatOne;
        // The window joins on the server's port.
        Program joined(programs.window, {"Bob", "127.0.0.1", "false"}, {port, {}});
        if (joined.waitForLine("shown") < 0 || !waitFor([&] { return ann.hasHeard("CMD_newplayerinfo+2+Bob"); }))
            fail("the window did not join");
        wait((settleSeconds + restSeconds) * 1000);

        std::vector<Cost> costs = measure({floor.pid(), dedicated.pid(), joined.pid()}, idleSeconds);
        std::printf("zarvex-server with a joined window, idle for %d s, no game:\n", idleSeconds);
        printCost("bare Qt window (the floor)", costs[0], costs[0]);
        printCost("zarvex-server", costs[1], costs[0]);
        printCost("joined zarvex window", costs[2], costs[0]);
        printFigure("idle joined window", costs[2], costs[0]);

        ann.send("CMD_startgame", {"Ann", "250", "60", "f", "f", ""});
        if (!waitFor([&] { return ann.hasHeard("CMD_nextplayer+"); }))
            fail("the game did not start");
        costs = measure({floor.pid(), dedicated.pid(), joined.pid()}, idleSeconds);
        std::printf("the same for %d s of a round being played:\n", idleSeconds);
        printCost("bare Qt window (the floor)", costs[0], costs[0]);
        printCost("zarvex-server", costs[1], costs[0]);
        printCost("joined zarvex window", costs[2], costs[0]);
        printFigure("joined window during 20 s of a round", costs[2], costs[0]);
    }

    // The lobby and an announcing host, with a multicast DNS daemon of the
    // benchmark's own where one can be had.
    MdnsDaemon mdns;
    const bool daemon = privateNetwork && mdns.start();
    const QString bus = daemon ? mdns.busAddress() : QString();
    const QString daemonText = daemon          ? QStringLiteral("a multicast DNS daemon of the benchmark's own")
                               : privateNetwork ? QStringLiteral("no daemon: ") + mdns.problem()
                                                : QStringLiteral("no daemon: ") + PrivateNetwork::failure();
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", noBus);
    lobbyWindowOpen(programs, floor, bus, daemonText);
    hostAnnouncing(programs, floor, bus, daemonText);
    webPortWithTwoBrowserSeats(programs, floor);
    return 0;
}
