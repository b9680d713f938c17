#include "lobby/lazypagedoor.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

QString lastError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// A listening socket on the port at every address: one for IPv6 and IPv4
// where the machine has IPv6, an IPv4 one where it has not. -1 with the
// reason when the port cannot be had.
int listenEverywhere(quint16 port, QString &error)
{
    const int on = 1, off = 0;
    int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd >= 0) {
        sockaddr_in6 any{};
        any.sin6_family = AF_INET6;
        any.sin6_addr = in6addr_any;
        any.sin6_port = htons(port);
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
        if (::bind(fd, reinterpret_cast<const sockaddr *>(&any), sizeof any) == 0 && ::listen(fd, 50) == 0)
            return fd;
        if (errno != EAFNOSUPPORT && errno != EADDRNOTAVAIL) {
            error = lastError();
            ::close(fd);
            return -1;
        }
        ::close(fd);
    }
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = lastError();
        return -1;
    }
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    any.sin_port = htons(port);
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&any), sizeof any) != 0 || ::listen(fd, 50) != 0) {
        error = lastError();
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

LazyPageDoor::LazyPageDoor(Maker maker, QObject *parent) : QObject(parent), m_maker(std::move(maker)) {}

LazyPageDoor::~LazyPageDoor()
{
    closeSocket();
}

bool LazyPageDoor::openDoor(quint16 port, QString &error)
{
    if (m_door)
        return m_door->openDoor(port, error);
    closeSocket();
    m_socket = listenEverywhere(port, error);
    if (m_socket < 0)
        return false;
    m_knock = new QSocketNotifier(qintptr(m_socket), QSocketNotifier::Read, this);
    connect(m_knock, &QSocketNotifier::activated, this, &LazyPageDoor::knocked);
    return true;
}

void LazyPageDoor::knocked()
{
    // The browser stays queued on the socket until the real door accepts it.
    m_knock->setEnabled(false);
    QString why;
    if (PageDoor *door = m_maker(m_socket, why, this)) {
        m_door = door;
        delete m_knock;
        m_knock = nullptr;
        m_socket = -1;   // the real door's now
        return;
    }
    closeSocket();
    emit failed(QStringLiteral("Browsers cannot join: %1.").arg(why));
}

void LazyPageDoor::shutDoor()
{
    if (m_door)
        m_door->shutDoor();
    closeSocket();
}

bool LazyPageDoor::doorOpen() const
{
    return m_door ? m_door->doorOpen() : m_socket >= 0;
}

quint16 LazyPageDoor::doorPort() const
{
    if (m_door)
        return m_door->doorPort();
    sockaddr_storage local{};
    socklen_t length = sizeof local;
    if (m_socket < 0 || ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&local), &length) != 0)
        return 0;
    return ntohs(local.ss_family == AF_INET6 ? reinterpret_cast<const sockaddr_in6 &>(local).sin6_port
                                             : reinterpret_cast<const sockaddr_in &>(local).sin_port);
}

void LazyPageDoor::closeSocket()
{
    delete m_knock;
    m_knock = nullptr;
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
}
