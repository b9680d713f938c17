#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <unistd.h>

// A small network of the test's own, made with iproute2 in three network
// namespaces: a server side and a player side, each with one address, joined
// by a bridge in a namespace between them. Taking the bridge down is a line
// that fails silently: both ends keep their links and addresses, and their
// packets go nowhere, as over a Wi-Fi that drops. Nothing here is connected
// to the machine's own network.
//
// Needs root and the ip program; whyNot() says what is missing. The
// namespaces are named after the process, and ones left by a process that
// is gone are removed first.
class NetLab
{
public:
    static constexpr const char *serverAddress = "10.213.28.1";
    static constexpr const char *playerAddress = "10.213.28.2";

    NetLab()
    {
        const QString pid = QString::number(::getpid());
        m_server = QStringLiteral("zvx-s-") + pid;
        m_bridge = QStringLiteral("zvx-b-") + pid;
        m_player = QStringLiteral("zvx-p-") + pid;
        if (::geteuid() != 0) {
            m_why = QStringLiteral("network namespaces need root");
            return;
        }
        if (QStandardPaths::findExecutable(QStringLiteral("ip")).isEmpty()) {
            m_why = QStringLiteral("the ip program (iproute2) is not installed");
            return;
        }
        removeLeftovers();
        const QString s = m_server, b = m_bridge, p = m_player;
        const QList<QStringList> steps = {
            {"netns", "add", s},
            {"netns", "add", b},
            {"netns", "add", p},
            {"-n", b, "link", "add", "br0", "type", "bridge"},
            {"-n", b, "link", "add", "s0", "type", "veth", "peer", "name", "eth0", "netns", s},
            {"-n", b, "link", "add", "p0", "type", "veth", "peer", "name", "eth0", "netns", p},
            {"-n", b, "link", "set", "s0", "master", "br0", "up"},
            {"-n", b, "link", "set", "p0", "master", "br0", "up"},
            {"-n", b, "link", "set", "br0", "up"},
            {"-n", s, "address", "add", QString(serverAddress) + "/30", "dev", "eth0"},
            {"-n", p, "address", "add", QString(playerAddress) + "/30", "dev", "eth0"},
            {"-n", s, "link", "set", "eth0", "up"},
            {"-n", p, "link", "set", "eth0", "up"},
            {"-n", s, "link", "set", "lo", "up"},
            {"-n", p, "link", "set", "lo", "up"},
        };
        for (const QStringList &step : steps) {
            if (!ip(step)) {
                m_why = QStringLiteral("cannot make the test network: ip ") + step.join(' ') + ": " + m_error;
                return;
            }
        }
        m_home = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    }
    ~NetLab()
    {
        leave();
        if (m_home >= 0)
            ::close(m_home);
        for (const QString &ns : {m_player, m_bridge, m_server})
            if (QFile::exists("/var/run/netns/" + ns))
                ip({"netns", "del", ns});
    }
    NetLab(const NetLab &) = delete;
    NetLab &operator=(const NetLab &) = delete;

    // Empty when the network is up; else why it could not be made.
    QString whyNot() const { return m_why; }

    // The calling thread makes its sockets on the player's side from now on.
    bool enterPlayerSide() { return enter(m_player); }
    void leave()
    {
        if (m_home >= 0)
            ::setns(m_home, CLONE_NEWNET);
    }
    // Runs f with sockets made on the server's side.
    template<typename F>
    void onServerSide(F f)
    {
        enter(m_server);
        f();
        enter(m_player);
    }

    // A program and its arguments run on the server's side.
    QStringList serverSide(const QString &program, const QStringList &arguments) const
    {
        return QStringList{"netns", "exec", m_server, program} + arguments;
    }

    // The line fails without a word, and comes back.
    bool cut() { return ip({"-n", m_bridge, "link", "set", "br0", "down"}); }
    bool restore() { return ip({"-n", m_bridge, "link", "set", "br0", "up"}); }

private:
    bool ip(const QStringList &arguments)
    {
        QProcess p;
        p.start(QStringLiteral("ip"), arguments);
        const bool ok = p.waitForFinished(10000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        m_error = QString::fromLocal8Bit(p.readAllStandardError()).trimmed();
        return ok;
    }
    bool enter(const QString &ns)
    {
        const int fd = ::open(qPrintable("/var/run/netns/" + ns), O_RDONLY | O_CLOEXEC);
        const bool ok = fd >= 0 && ::setns(fd, CLONE_NEWNET) == 0;
        if (fd >= 0)
            ::close(fd);
        return ok;
    }
    // Namespaces of an earlier run whose process has gone.
    void removeLeftovers()
    {
        const QStringList names = QDir(QStringLiteral("/var/run/netns")).entryList({"zvx-?-*"}, QDir::Files);
        for (const QString &name : names) {
            const pid_t owner = pid_t(name.section('-', 2).toInt());
            if (owner > 0 && ::kill(owner, 0) != 0)
                ip({"netns", "del", name});
        }
    }

    QString m_server, m_bridge, m_player;
    QString m_why;
    QString m_error;
    int m_home = -1;
};
