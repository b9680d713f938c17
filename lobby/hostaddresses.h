#pragma once

#include <QByteArrayList>

// The addresses by which other machines can reach this one: every address
// of every interface that is up, without the loopback ones and without IPv6
// link-local ones (which need an interface name to be of use); IPv4 first.
namespace HostAddresses {

QByteArrayList reachable();

} // namespace HostAddresses
