#include "lobby/lazypagedoor.h"

#include "protocol/socketaddress.h"

#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <unistd.h>

LazyPageDoor::LazyPageDoor(Maker maker, QObject *parent) : QObject(parent), m_maker(std::move(maker)) {}

LazyPageDoor::~LazyPageDoor()
{
    closeSocket();
}

bool LazyPageDoor::openDoor(quint16 port, QString &error)
{
    if (m_door)
        return m_door->openDoor(port, error);
    closeSocket();
    SocketAddress::Failure failure{};
    if (!SocketAddress::listen(QByteArray(), port, 50, m_socket, failure)) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        closeSocket();
        return false;
    }
    m_knock = new QSocketNotifier(qintptr(m_socket), QSocketNotifier::Read, this);
    connect(m_knock, &QSocketNotifier::activated, this, &LazyPageDoor::knocked);
    return true;
}

void LazyPageDoor::knocked()
{
    // The browser stays queued on the socket until the real door accepts it.
    m_knock->setEnabled(false);
    QString why;
    if (PageDoor *door = m_maker(m_socket, why, this)) {
        m_door = door;
        delete m_knock;
        m_knock = nullptr;
        m_socket = -1;   // the real door's now
        return;
    }
    closeSocket();
    emit failed(QStringLiteral("Browsers cannot join: %1.").arg(why));
}

void LazyPageDoor::shutDoor()
{
    if (m_door)
        m_door->shutDoor();
    closeSocket();
}

bool LazyPageDoor::doorOpen() const
{
    return m_door ? m_door->doorOpen() : m_socket >= 0;
}

quint16 LazyPageDoor::doorPort() const
{
    if (m_door)
        return m_door->doorPort();
    sockaddr_storage local{};
    socklen_t length = sizeof local;
    if (m_socket < 0 || ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&local), &length) != 0)
        return 0;
    return ntohs(local.ss_family == AF_INET6 ? reinterpret_cast<const sockaddr_in6 &>(local).sin6_port
                                             : reinterpret_cast<const sockaddr_in &>(local).sin_port);
}

void LazyPageDoor::closeSocket()
{
    delete m_knock;
    m_knock = nullptr;
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = -1;
}
