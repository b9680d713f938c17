#pragma once

#include <QByteArray>
#include <QHostAddress>

// A peer's address as the server keeps it for its rules and logs, whatever
// socket reported it: an IPv4 peer reached through an IPv6 socket reads as
// plain IPv4 ("192.0.2.7"), as TSock reads it.
inline QByteArray peerAddressText(const QHostAddress &address)
{
    bool v4 = false;
    const quint32 plain = address.toIPv4Address(&v4);
    return (v4 ? QHostAddress(plain) : address).toString().toLatin1();
}
