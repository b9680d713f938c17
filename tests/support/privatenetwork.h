#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <unistd.h>

// A network of the test's own: the test process moves into a new network
// namespace, where only its own loopback interface exists, and a new mount
// namespace with an empty /run of its own. Nothing the test sends can reach
// a real network, a multicast DNS daemon started there sees only this
// loopback interface, and daemons that insist on fixed paths under /run
// never meet those of the machine or of another test.
//
// enter() must run first thing in main(), before any thread exists; where
// the system refuses (no root and no user namespaces), failure() says why
// and the tests that need it skip.
namespace PrivateNetwork {

inline QString &failureText()
{
    static QString text = QStringLiteral("the test did not ask for a network of its own");
    return text;
}

inline bool &enteredFlag()
{
    static bool entered = false;
    return entered;
}

inline bool entered() { return enteredFlag(); }
inline QString failure() { return failureText(); }

inline bool writeFile(const char *path, const QByteArray &text)
{
    const int fd = ::open(path, O_WRONLY);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.constData(), size_t(text.size())) == text.size();
    ::close(fd);
    return ok;
}

inline bool enter()
{
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    if (unshare(CLONE_NEWNET | CLONE_NEWNS) != 0) {
        const int first = errno;
        // Without root, a user namespace of our own lends the rights.
        if (unshare(CLONE_NEWUSER | CLONE_NEWNET | CLONE_NEWNS) != 0) {
            failureText() = QStringLiteral("no network namespace of its own: %1").arg(QString::fromLocal8Bit(strerror(first)));
            return false;
        }
        writeFile("/proc/self/setgroups", "deny");
        writeFile("/proc/self/uid_map", "0 " + QByteArray::number(uid) + " 1");
        writeFile("/proc/self/gid_map", "0 " + QByteArray::number(gid) + " 1");
    }
    // Mounts made here stay here.
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
        || mount("zarvex-test-run", "/run", "tmpfs", 0, "mode=0755") != 0) {
        failureText() = QStringLiteral("no /run of its own: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    const bool up = fd >= 0 && ioctl(fd, SIOCGIFFLAGS, &request) == 0
                    && (request.ifr_flags |= IFF_UP, ioctl(fd, SIOCSIFFLAGS, &request) == 0);
    if (fd >= 0)
        ::close(fd);
    if (!up) {
        failureText() = QStringLiteral("its loopback interface does not come up");
        return false;
    }
    enteredFlag() = true;
    failureText().clear();
    return true;
}

// Runs the ip tool; answers its complaint, empty when it did as told.
inline QString ip(const QStringList &arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("ip"), arguments);
    if (!tool.waitForStarted(5000))
        return QStringLiteral("the ip tool (iproute2) is not installed");
    tool.waitForFinished(10000);
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        return QStringLiteral("ip %1: %2").arg(arguments.join(QLatin1Char(' ')),
                                               QString::fromLocal8Bit(tool.readAllStandardError()).trimmed());
    return QString();
}

// Gives this network a second interface with the address (CIDR form, say
// "10.199.0.1/24"): one end of a veth pair whose other end stays unused.
// Answers why not, empty on success.
inline QString addAddress(const QString &name, const QString &cidr)
{
    if (!entered())
        return failure();
    for (const QStringList &step : {QStringList{"link", "add", name, "type", "veth", "peer", "name", name + "p"},
                                    QStringList{"addr", "add", cidr, "dev", name},
                                    QStringList{"link", "set", name, "up"},
                                    QStringList{"link", "set", name + "p", "up"}}) {
        const QString problem = ip(step);
        if (!problem.isEmpty())
            return problem;
    }
    return QString();
}

} // namespace PrivateNetwork

// A test program whose whole process lives in a network of its own.
#define ZARVEX_PRIVATE_NETWORK_TEST_MAIN(TestClass) ZARVEX_TEST_MAIN_AFTER(TestClass, PrivateNetwork::enter())
