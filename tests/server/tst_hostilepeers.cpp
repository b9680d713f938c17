#include "support/loopback.h"
#include "support/serverharness.h"
#include "support/testmain.h"
#include "support/wordfinder.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>

#include <fcntl.h>
#include <poll.h>

#include <deque>

namespace {

constexpr int hostileSeconds = 30;
constexpr int maxHostile = 12;   // hostile connections open at once, besides those that stay
constexpr int staying = 2;       // slow readers, and silent connections, that stay

// A player who plays every round it is given: it looks for the word on each
// new board and sends it when its turn starts.
struct HonestPlayer
{
    ScriptedClient client;
    QByteArray board, word;
    int found = 0;        // words of its own that the server accepted
    int turns = 0;

    explicit HonestPlayer(quint16 port) : client(port) {}

    void play()
    {
        for (const QByteArray &m : client.take()) {
            if (m.startsWith("CMD_sendlogininfo+"))
                client.seat = m.mid(18).toInt();
            else if (m.startsWith("CMD_loadboard+"))
                board = m.mid(14);
            else if (m.startsWith("CMD_theword"))
                word = m.mid(11);
            else if (m.startsWith("CMD_nextplayer+")) {
                ++turns;
                client.sendRaw("CMD_myword+" + QByteArray::number(client.seat) + findWord(board, word)
                               + Wire::Terminator);
            } else if (m.startsWith("CMD_hefoundit+" + QByteArray::number(client.seat) + "+"))
                ++found;
        }
    }
};

// One hostile connection: a plain socket that the script writes to, and
// reads from only when it is not playing a slow reader.
struct Hostile
{
    int fd = -1;
    bool reads = true;
    bool stays = false;   // open from its start to the end of the attack
    int seat = 0;
};

int connectTo(quint16 port, int receiveBuffer = 0)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (receiveBuffer > 0)
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL, 0) | O_NONBLOCK);
    return fd;
}

void write(const Hostile &h, const QByteArray &bytes)
{
    ::send(h.fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
}

// The seat the server gave, from its first message; 0 when refused or slow.
int seatOf(Hostile &h)
{
    pollfd p{h.fd, POLLIN, 0};
    if (::poll(&p, 1, 300) <= 0)
        return 0;
    char buffer[256];
    const ssize_t got = ::recv(h.fd, buffer, sizeof buffer, MSG_DONTWAIT);
    const QByteArray text = got > 0 ? QByteArray(buffer, int(got)) : QByteArray();
    return text.startsWith("CMD_sendlogininfo+") ? text.mid(18, text.indexOf('\xff') - 18).toInt() : 0;
}

void drain(const Hostile &h)
{
    char buffer[32768];
    while (::recv(h.fd, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
    }
}

void reset(Hostile &h)
{
    const linger abort{1, 0};
    setsockopt(h.fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    ::close(h.fd);
    h.fd = -1;
}

qint64 residentKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

QByteArray login(int seat, const QByteArray &name)
{
    return "CMD_logininfo+" + QByteArray::number(seat) + "+1.0.5+" + name + Wire::Terminator + Wire::Terminator;
}

} // namespace

// The dedicated server under attack by a script of hostile peers while two
// honest players play their rounds.
class TestHostilePeers : public QObject
{
    Q_OBJECT

private slots:
    void honestPlayersPlayOnThroughAnAttack()
    {
        const quint16 port = Loopback::freePort();
        QProcess server;
        // The address sanitizer keeps up to 256 MiB of freed memory aside to
        // catch late uses; the bound here is on what the server itself holds.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":quarantine_size_mb=4");
        server.setProcessEnvironment(env);
        server.start(ZARVEX_SERVER, {"--port", QString::number(port), "--no-web"});
        QVERIFY(server.waitForStarted());
        QByteArray log, errors;
        auto readOutput = [&] {
            log += server.readAllStandardOutput();
            errors += server.readAllStandardError();
        };
        QTRY_VERIFY_WITH_TIMEOUT((readOutput(), log.contains("listening")), 10000);

        HonestPlayer ann(port);
        QTRY_VERIFY((ann.play(), ann.client.seat == 1));
        ann.client.sendRaw(login(1, "Ann"));
        HonestPlayer bob(port);
        QTRY_VERIFY((bob.play(), bob.client.seat == 2));
        bob.client.sendRaw(login(2, "Bob"));
        ann.client.send("CMD_startgame", {"Ann", "100000", "5", "f", "f", ""});
        QTRY_VERIFY_WITH_TIMEOUT((ann.play(), bob.play(), ann.found >= 1 && bob.found >= 1), 15000);

        QRandomGenerator random(7772);
        std::deque<Hostile> hostile;
        std::vector<Hostile> stay;
        int slowStaying = 0, silentStaying = 0;
        qint64 largestKiB = 0;
        int actions = 0;
        QElapsedTimer clock, sampled;
        clock.start();
        sampled.start();
        auto retire = [&](Hostile &h) {
            if (h.fd >= 0)
                random.bounded(3) == 0 ? reset(h) : (void)::close(h.fd);
            h.fd = -1;
        };
        while (clock.elapsed() < hostileSeconds * 1000 && server.state() == QProcess::Running) {
            if (hostile.size() >= maxHostile) {
                retire(hostile.front());
                hostile.pop_front();
            }
            Hostile h;
            switch (actions++ % 8) {
            case 0: {   // garbage bytes, terminators and separators among them
                h.fd = connectTo(port);
                QByteArray junk(int(random.bounded(100, 8000)), '\0');
                for (char &c : junk)
                    c = char(random.bounded(256));
                write(h, junk);
                break;
            }
            case 1:   // a message that never ends, and one too long to keep
                h.fd = connectTo(port);
                write(h, "CMD_chat+3+hello the");
                write(h, "CMD_chat+" + QByteArray(int(random.bounded(1000, 100000)), 'p'));
                break;
            case 2:   // a reset in the middle of a message
                h.fd = connectTo(port);
                write(h, "CMD_logininfo+4+1.0");
                reset(h);
                break;
            case 3: {   // a flood of short messages, then of long lines
                h.fd = connectTo(port);
                h.seat = seatOf(h);
                write(h, login(h.seat, "Flood"));
                QByteArray burst;
                for (int i = 0; i < 150; ++i)
                    burst += Wire::message("CMD_chat", {QByteArray::number(h.seat), "spam|clRed"});
                write(h, burst);
                for (int i = 0; i < 6; ++i)
                    write(h, Wire::message("CMD_chat", {QByteArray::number(h.seat), QByteArray(30000, 'f') + "|clRed"}));
                break;
            }
            case 4: {   // another seat's name on every request
                h.fd = connectTo(port);
                h.seat = seatOf(h);
                write(h, login(h.seat, "Mallory"));
                write(h, login(1, "NotAnn"));
                write(h, Wire::message("CMD_kickhim", {"1", "2", ""}));
                write(h, Wire::message("CMD_startgame", {"Ann", "1", "2147483647", "t", "t", ""}));
                write(h, "CMD_myword+1+1+1+2+2+3+3" + QByteArray(1, Wire::Terminator));
                write(h, Wire::message("CMD_chat", {"2", "I am Bob|clRed"}));
                write(h, Wire::message("CMD_justwatch", {"2", "1"}));
                write(h, Wire::message("CMD_playasound", {"-2147483648", "wave1", ""}));
                write(h, Wire::message("CMD_myword", {QByteArray::number(h.seat), "99999", "-5", "2147483647"}));
                break;
            }
            case 5:   // a slow reader: logs in and never reads what is relayed
                h.fd = connectTo(port, 4096);
                h.reads = false;
                h.stays = slowStaying++ < staying;
                h.seat = seatOf(h);
                write(h, login(h.seat, "Sloth"));
                break;
            case 6:   // a silent connection that holds its seat
                h.fd = connectTo(port);
                h.reads = false;
                h.stays = silentStaying++ < staying;
                break;
            case 7:   // long lines for the slow readers to choke on
                h.fd = connectTo(port);
                h.seat = seatOf(h);
                write(h, login(h.seat, "Talker"));
                for (int i = 0; i < 8; ++i)
                    write(h, Wire::message("CMD_chat", {QByteArray::number(h.seat), QByteArray(60000, 't') + "|clRed"}));
                break;
            }
            if (h.fd >= 0 && h.stays)
                stay.push_back(h);
            else if (h.fd >= 0)
                hostile.push_back(h);
            for (const Hostile &other : hostile)
                if (other.fd >= 0 && other.reads)
                    drain(other);
            QTest::qWait(40);
            ann.play();
            bob.play();
            if (sampled.elapsed() > 500) {
                largestKiB = qMax(largestKiB, residentKiB(server.processId()));
                sampled.restart();
            }
            readOutput();
        }
        QCOMPARE(server.state(), QProcess::Running);
        for (Hostile &h : hostile)
            retire(h);
        for (Hostile &h : stay)
            retire(h);
        hostile.clear();

        // The honest players still play: each finds another word, and a chat
        // line goes round.
        const int annBefore = ann.found, bobBefore = bob.found;
        QTRY_VERIFY_WITH_TIMEOUT((ann.play(), bob.play(), ann.found > annBefore && bob.found > bobBefore), 30000);
        ann.client.send("CMD_chat", {"1", "still here|clBlack"});
        QTRY_VERIFY(!bob.client.with("CMD_chat+1+Ann chats: still here|clBlack").isEmpty());
        largestKiB = qMax(largestKiB, residentKiB(server.processId()));
        QVERIFY2(largestKiB > 0 && largestKiB < 64 * 1024, QByteArray::number(largestKiB).constData());
        qInfo("%d hostile actions, largest resident memory %lld KiB, Ann found %d words, Bob %d", actions,
              largestKiB, ann.found, bob.found);

        server.terminate();
        QVERIFY(server.waitForFinished(10000));
        readOutput();
        QCOMPARE(server.exitStatus(), QProcess::NormalExit);
        QCOMPARE(server.exitCode(), 0);
        for (const char *report : {"runtime error", "AddressSanitizer", "LeakSanitizer", "ERROR:"})
            QVERIFY2(!errors.contains(report), errors.constData());
    }
};

ZARVEX_TEST_MAIN(TestHostilePeers)
#include "tst_hostilepeers.moc"
