#include "protocol/tsock.h"

#include <QHash>

#include <arpa/inet.h>
#include <netdb.h>

// Host and port lookups of TSock, and the host cache they share.

namespace {

// Host names resolved so far, shared by every socket of the process; keys are
// lower case so that names compare without regard to letter case.
QHash<QByteArray, in_addr_t> &hostCache()
{
    static QHash<QByteArray, in_addr_t> cache;
    return cache;
}

int resolverCount = 0;

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
    const QByteArray key = name.toLower();
    const auto cached = hostCache().constFind(key);
    if (cached != hostCache().constEnd()) {
        addr.s_addr = *cached;
        return addr;
    }
    ++resolverCount;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo *found = nullptr;
    if (getaddrinfo(name.constData(), nullptr, &hints, &found) != 0 || !found)
        throw ESockException("Host Lookup - Could Not Find Host Entry");
    addr = reinterpret_cast<sockaddr_in *>(found->ai_addr)->sin_addr;
    freeaddrinfo(found);
    hostCache().insert(key, addr.s_addr);
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
