#pragma once

#include <QByteArrayList>

// The addresses by which other machines can reach this one: every address
// of every interface that is up, without the loopback ones and without IPv6
// link-local ones (which need an interface name to be of use); IPv4 first.
namespace HostAddresses {

QByteArrayList reachable();

// The browser page's address on a machine's address or name:
// "http://192.0.2.7:7773/", "http://[2001:db8::7]:7773/".
QByteArray pageLink(const QByteArray &address, quint16 port);
// The page's address on each reachable address.
QByteArrayList pageLinks(quint16 port);

} // namespace HostAddresses
