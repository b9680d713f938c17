#pragma once

#include <QByteArray>

// The socket layer reports system errors under the classic Windows Sockets
// numbers and names, so that every message the players see stays the same on
// every platform ("Error #10061 (WSAECONNREFUSED)").
namespace SockErrors {

// Winsock number for a POSIX errno value. Numbers without a Winsock
// counterpart map above 20000, where they are named "UNKNOWN ERROR".
int fromErrno(int err);

// The Winsock constant name of a number, or "UNKNOWN ERROR".
QByteArray name(int number);

constexpr int WouldBlock = 10035;
constexpr int InProgress = 10036;

} // namespace SockErrors
