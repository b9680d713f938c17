#include "protocol/tsocklink.h"

#include "protocol/tsock.h"
#include "protocol/wire.h"

TSockLink::TSockLink(TSock *sock, QObject *parent) : SeatLink(parent), m_sock(sock)
{
    m_sock->setParent(this);
    m_address = m_sock->HostName();
    m_sock->setKeepAlive(Wire::KeepAliveIdle, Wire::KeepAliveInterval, Wire::KeepAliveCount);
    m_sock->OnRead = [this](TSock *, int) { emit received(); };
    // An orderly close by the peer is answered by closing this end, which
    // reports "Socket Closed" like any other close.
    m_sock->OnDisconnect = [this](TSock *) { close(); };
    m_sock->OnInfo = [this](TSock *, TSock::TSocketInfo info, const QByteArray &msg) {
        if (info == TSock::siClose && msg == "Socket Closed")
            ended();
        else if (info == TSock::siError && !m_closed)
            close();   // reset, aborted or given up as silent
    };
}

TSockLink::~TSockLink()
{
    // The socket goes with the link and tells nobody.
    m_sock->OnInfo = nullptr;
    m_sock->OnDisconnect = nullptr;
    m_sock->OnRead = nullptr;
}

bool TSockLink::isOpen() const
{
    return !m_closed && m_sock->HandleValid();
}

void TSockLink::send(const QByteArray &messages)
{
    if (isOpen())
        m_sock->Send(messages);
}

qint64 TSockLink::outboundBytes() const
{
    return m_sock->OutboundCount();
}

QByteArray TSockLink::receive()
{
    return m_sock->InboundCount() > 0 || m_sock->HandleValid() ? m_sock->Receive() : QByteArray();
}

int TSockLink::handle() const
{
    return m_closed ? -1 : m_sock->Handle();
}

void TSockLink::close(Reason)
{
    if (m_closed)
        return;
    if (m_sock->HandleValid())
        m_sock->Close();   // reports "Socket Closed": ended()
    ended();
}

void TSockLink::ended()
{
    if (m_closed)
        return;
    m_closed = true;
    emit closed();
}
