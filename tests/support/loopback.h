#pragma once

#include "protocol/socketaddress.h"
#include "protocol/tsock.h"

#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <memory>

// Loopback helpers for tests that need real sockets on ports nobody else uses.
namespace Loopback {

// The port a socket is bound to.
inline quint16 portOf(int fd)
{
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len);
    return ntohs(addr.sin_port);
}

// Whether the game's listener could take this port right now.
inline bool canListenOn(quint16 port)
{
    int fd = -1;
    SocketAddress::Failure failure;
    const bool ok = SocketAddress::listen({}, port, 1, fd, failure);
    if (fd >= 0)
        ::close(fd);
    return ok;
}

// A port on which nothing listens right now, taken from below the range the
// kernel hands out to outgoing connections: an ephemeral port that is free
// now may be the local end of another test's connection a moment later, and
// the host that wanted it then cannot listen.
inline quint16 freePort()
{
    int low = 32768;
    if (FILE *range = std::fopen("/proc/sys/net/ipv4/ip_local_port_range", "r")) {
        if (std::fscanf(range, "%d", &low) != 1)
            low = 32768;
        std::fclose(range);
    }
    const int first = low > 11024 ? low - 10000 : 1024;
    const int span = low > 11024 ? 10000 : low - 1024;
    static quint32 seed = quint32(::getpid()) * 2654435761u ^ quint32(std::time(nullptr));
    for (int attempt = 0; span > 0 && attempt < 200; ++attempt) {
        seed = seed * 1664525u + 1013904223u;
        const quint16 port = quint16(first + int((seed >> 8) % quint32(span)));
        if (canListenOn(port))
            return port;
    }
    // Nothing free below the range: let the kernel pick one.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
    const quint16 port = portOf(fd);
    ::close(fd);
    return port;
}

// A plain listening socket on an ephemeral loopback port.
inline int rawListener(int receiveBuffer = 0)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (receiveBuffer > 0)
        setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
    ::listen(fd, 5);
    return fd;
}

// A TSock listener on an ephemeral port that accepts every connection and
// keeps the last one accepted.
struct Listener
{
    TSock sock;
    TSock *accepted = nullptr;

    Listener()
    {
        sock.setPortName("0");
        sock.OnAccept = [this](TSock *s) { s->Accept(accepted); };
        sock.setListen(true);
    }
    QByteArray port() const { return QByteArray::number(portOf(sock.Handle())); }
};

// A client TSock connected to a Listener; both ends ready when constructed.
struct Pair
{
    Listener listener;
    TSock client;

    Pair()
    {
        client.setHostName("127.0.0.1");
        client.setPortName(listener.port());
        client.Open();
        QTRY_VERIFY(client.Connected() && listener.accepted);
    }
    TSock &server() { return *listener.accepted; }
};

} // namespace Loopback
