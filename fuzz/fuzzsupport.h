#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What the fuzz targets share: one application object for the whole run, a
// scratch folder, and the plain loopback sockets that play a peer.
namespace FuzzSupport {

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// The target's inputs break a rule the code promises to keep.
[[noreturn]] inline void broken(const char *what)
{
    std::fprintf(stderr, "fuzz: %s\n", what);
    std::abort();
}

// The application object the sockets and timers need, made on first use.
// The program's folder (settings, tally) is a scratch folder of this run.
inline void application()
{
    if (QCoreApplication::instance())
        return;
    static QTemporaryDir home;
    qputenv("ZARVEX_HOME", QFile::encodeName(home.path()));
    static int argc = 1;
    static char name[] = "zarvex-fuzz";
    static char *argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

// A file of a scratch folder, in memory where the system offers a folder
// there: the settings file is synced to disk with every write.
inline QString scratch(const QString &name)
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/zarvex-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/zarvex-fuzz-XXXXXX"));
    return dir.filePath(name);
}

// A blocking connect to a loopback port; the listener's backlog completes it.
inline int connectTo(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0)
        broken("loopback connect failed");
    return fd;
}

// Sends everything, letting the process's events run while the peer's
// buffer is full (the peer reads on this thread).
template <typename Pump>
void sendAll(int fd, const QByteArray &data, Pump pump)
{
    qsizetype at = 0;
    while (at < data.size()) {
        const ssize_t n = ::send(fd, data.constData() + at, size_t(data.size() - at),
                                 MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n > 0)
            at += n;
        else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            return;   // the peer has gone
        pump();
    }
}

} // namespace FuzzSupport
