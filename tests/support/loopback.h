#pragma once

#include "protocol/tsock.h"

#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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

// A port on which nothing listens right now.
inline quint16 freePort()
{
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
