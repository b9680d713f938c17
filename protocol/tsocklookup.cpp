#include "protocol/tsock.h"

#include <QHash>

#include <arpa/inet.h>
#include <cstring>
#include <netdb.h>

// Host and port lookups of TSock, and the host cache they share.

namespace {

// Host names resolved so far, shared by every socket of the process; keys are
// lower case so that names compare without regard to letter case. The port
// of a cached address is left 0.
QHash<QByteArray, sockaddr_storage> &hostCache()
{
    static QHash<QByteArray, sockaddr_storage> cache;
    return cache;
}

int resolverCount = 0;

// The first address of a lookup result, an IPv4 one where there is one.
sockaddr_storage preferred(const addrinfo *found)
{
    const addrinfo *chosen = found;
    for (const addrinfo *a = found; a; a = a->ai_next)
        if (a->ai_family == AF_INET) {
            chosen = a;
            break;
        }
    sockaddr_storage addr{};
    memcpy(&addr, chosen->ai_addr, qMin<size_t>(chosen->ai_addrlen, sizeof addr));
    return addr;
}

// A host name's address from the cache or the system resolver; false when
// the name has none.
bool resolveName(const QByteArray &name, sockaddr_storage &addr)
{
    const QByteArray key = name.toLower();
    const auto cached = hostCache().constFind(key);
    if (cached != hostCache().constEnd()) {
        addr = *cached;
        return true;
    }
    ++resolverCount;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (getaddrinfo(name.constData(), nullptr, &hints, &found) != 0 || !found)
        return false;
    addr = preferred(found);
    freeaddrinfo(found);
    hostCache().insert(key, addr);
    return true;
}

} // namespace

int TSock::resolverCalls()
{
    return resolverCount;
}

in_addr TSock::LookupHost(const QByteArray &name)
{
    in_addr addr{};
    if (name.isEmpty()) {
        addr.s_addr = htonl(INADDR_ANY);
        return addr;
    }
    report(siLookup, "Lookup Of Host " + name);
    if (name.at(0) >= '0' && name.at(0) <= '9') {
        addr.s_addr = inet_addr(name.constData());
        return addr;
    }
    sockaddr_storage found{};
    if (!resolveName(name, found) || found.ss_family != AF_INET)
        throw ESockException("Host Lookup - Could Not Find Host Entry");
    return reinterpret_cast<const sockaddr_in &>(found).sin_addr;
}

sockaddr_storage TSock::LookupAddress(const QByteArray &name)
{
    sockaddr_storage addr{};
    if (name.isEmpty()) {
        auto &v4 = reinterpret_cast<sockaddr_in &>(addr);
        v4.sin_family = AF_INET;
        v4.sin_addr.s_addr = htonl(INADDR_ANY);
        return addr;
    }
    report(siLookup, "Lookup Of Host " + name);
    // Numbers first: they never reach the resolver.
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST;
    addrinfo *found = nullptr;
    if (name.indexOf('\0') < 0 && getaddrinfo(name.constData(), nullptr, &hints, &found) == 0 && found) {
        addr = preferred(found);
        freeaddrinfo(found);
        return addr;
    }
    if (name.indexOf('\0') >= 0 || !resolveName(name, addr))
        throw ESockException("Host Lookup - Could Not Find Host Entry");
    return addr;
}

quint16 TSock::LookupPort(const QByteArray &name)
{
    report(siLookup, "Lookup Of Port " + name);
    if (!name.isEmpty() && name.at(0) >= '0' && name.at(0) <= '9') {
        quint32 port = 0;
        for (char c : name) {
            if (c < '0' || c > '9')
                break;
            port = port * 10 + quint32(c - '0');
            if (port > 0xFFFF)
                break;
        }
        return quint16(port);
    }
    const servent *service =
        getservbyname(name.constData(), m_socketType == stStream ? "tcp" : "udp");
    if (!service)
        throw ESockException("Port Lookup - Could Not Find Service Entry");
    return ntohs(quint16(service->s_port));
}
