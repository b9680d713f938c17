#pragma once

#include "protocol/seatlink.h"

class TSock;

// A seat's connection over the game's own TCP wire: an accepted TSock, which
// the link owns from then on.
class TSockLink : public SeatLink
{
    Q_OBJECT

public:
    // Takes over the socket and its handlers; the socket is probed when it
    // falls silent (Wire::KeepAlive*).
    explicit TSockLink(TSock *sock, QObject *parent = nullptr);
    ~TSockLink() override;

    TSock *sock() const { return m_sock; }

    QByteArray peerAddress() const override { return m_address; }
    bool isOpen() const override;
    void send(const QByteArray &messages) override;
    qint64 outboundBytes() const override;
    QByteArray receive() override;
    int handle() const override;
    void close(Reason why = Ended) override;

private:
    void ended();

    TSock *m_sock;
    QByteArray m_address;
    bool m_closed = false;
};
