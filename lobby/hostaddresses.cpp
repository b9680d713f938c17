#include "lobby/hostaddresses.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

namespace HostAddresses {

QByteArrayList reachable()
{
    QByteArrayList v4;
    QByteArrayList v6;
    ifaddrs *all = nullptr;
    if (getifaddrs(&all) != 0)
        return {};
    for (const ifaddrs *i = all; i; i = i->ifa_next) {
        if (!i->ifa_addr || !(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK))
            continue;
        char text[INET6_ADDRSTRLEN] = {};
        if (i->ifa_addr->sa_family == AF_INET) {
            const in_addr &a = reinterpret_cast<const sockaddr_in *>(i->ifa_addr)->sin_addr;
            if ((ntohl(a.s_addr) >> 24) == 127)
                continue;
            inet_ntop(AF_INET, &a, text, sizeof text);
            if (!v4.contains(text))
                v4.append(text);
        } else if (i->ifa_addr->sa_family == AF_INET6) {
            const in6_addr &a = reinterpret_cast<const sockaddr_in6 *>(i->ifa_addr)->sin6_addr;
            if (IN6_IS_ADDR_LOOPBACK(&a) || IN6_IS_ADDR_LINKLOCAL(&a))
                continue;
            inet_ntop(AF_INET6, &a, text, sizeof text);
            if (!v6.contains(text))
                v6.append(text);
        }
    }
    freeifaddrs(all);
    return v4 + v6;
}

QByteArray pageLink(const QByteArray &address, quint16 port)
{
    const QByteArray host = address.contains(':') ? '[' + address + ']' : address;
    return "http://" + host + ':' + QByteArray::number(port) + '/';
}

QByteArrayList pageLinks(quint16 port)
{
    QByteArrayList links;
    for (const QByteArray &address : reachable())
        links << pageLink(address, port);
    return links;
}

} // namespace HostAddresses
