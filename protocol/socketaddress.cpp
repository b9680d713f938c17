#include "protocol/socketaddress.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

void SocketAddress::setPort(sockaddr_storage &addr, quint16 port)
{
    if (addr.ss_family == AF_INET6)
        reinterpret_cast<sockaddr_in6 &>(addr).sin6_port = htons(port);
    else
        reinterpret_cast<sockaddr_in &>(addr).sin_port = htons(port);
}

socklen_t SocketAddress::lengthOf(const sockaddr_storage &addr)
{
    return addr.ss_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
}

namespace {

// Makes the socket in fd, binds and listens; false with the step that failed.
bool listenAt(const sockaddr_storage &local, bool dualStack, int backlog, int &fd, SocketAddress::Failure &failure)
{
    fd = ::socket(local.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        failure = SocketAddress::Failure::Socket;
        return false;
    }
    // Lets a host start again at once after a game; a port that another
    // listener holds still refuses the bind.
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (dualStack) {
        const int off = 0;
        ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &off, sizeof off);
    }
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&local), SocketAddress::lengthOf(local)) != 0) {
        failure = SocketAddress::Failure::Bind;
        return false;
    }
    if (::listen(fd, backlog) != 0) {
        failure = SocketAddress::Failure::Listen;
        return false;
    }
    return true;
}

} // namespace

bool SocketAddress::listen(const QByteArray &bind, quint16 port, int backlog, int &fd, Failure &failure)
{
    fd = -1;
    sockaddr_storage local{};
    if (bind.isEmpty()) {
        auto &v6 = reinterpret_cast<sockaddr_in6 &>(local);
        v6.sin6_family = AF_INET6;
        v6.sin6_addr = in6addr_any;
        v6.sin6_port = htons(port);
        if (listenAt(local, true, backlog, fd, failure))
            return true;
        // A machine without IPv6, or with it switched off, listens on IPv4.
        if (errno != EAFNOSUPPORT && errno != EADDRNOTAVAIL)
            return false;
        if (fd >= 0)
            ::close(fd);
        local = sockaddr_storage{};
        auto &v4 = reinterpret_cast<sockaddr_in &>(local);
        v4.sin_family = AF_INET;
        v4.sin_addr.s_addr = htonl(INADDR_ANY);
        v4.sin_port = htons(port);
        return listenAt(local, false, backlog, fd, failure);
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_PASSIVE;
    addrinfo *found = nullptr;
    if (getaddrinfo(bind.constData(), nullptr, &hints, &found) != 0 || !found) {
        failure = Failure::Address;
        errno = EADDRNOTAVAIL;
        return false;
    }
    std::memcpy(&local, found->ai_addr, found->ai_addrlen);
    freeaddrinfo(found);
    setPort(local, port);
    return listenAt(local, false, backlog, fd, failure);
}
