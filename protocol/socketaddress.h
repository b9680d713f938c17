#pragma once

#include <QByteArray>

#include <sys/socket.h>

// Addresses of this machine's sockets, and listening on them: shared by the
// game's own sockets and by the host's web port before its door is loaded.
namespace SocketAddress {

void setPort(sockaddr_storage &addr, quint16 port);
socklen_t lengthOf(const sockaddr_storage &addr);

// Where a listening socket opens its listening attempt failed.
enum class Failure { Address, Socket, Bind, Listen };

// Makes a non-blocking, close-on-exec TCP socket in fd and has it listen on
// the port at the numeric bind address, or on every address of the machine
// when it is empty: IPv6 taking IPv4 too where the machine has IPv6, IPv4
// alone where it has not. Another listener's port is refused; one left by
// an earlier game is taken at once. False when it cannot, with the step
// that failed and errno telling why; fd is then the socket that could not
// bind or listen, for the caller to keep or close, or -1 when none was made.
bool listen(const QByteArray &bind, quint16 port, int backlog, int &fd, Failure &failure);

} // namespace SocketAddress
