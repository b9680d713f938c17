#pragma once

#include "protocol/seatlink.h"

class QWebSocket;

// A seat's connection from the browser page: a WebSocket carrying one
// message per binary frame, the same bytes as the TCP wire. The far end
// learns why this end closes by the close code (4001 removed by the host,
// 4002 every seat taken, 1008 a bound broken); a frame over the message
// bound is refused by the socket itself with 1009.
class WebSocketLink : public SeatLink
{
    Q_OBJECT

public:
    static constexpr int CloseRemoved = 4001;
    static constexpr int CloseFull = 4002;
    // How long a closed socket may take to say goodbye before it is cut.
    static constexpr int LingerMs = 3000;

    // Takes over the socket; fd is the system's handle of the TCP
    // connection underneath, already watched for silence.
    WebSocketLink(QWebSocket *socket, int fd, QObject *parent = nullptr);
    ~WebSocketLink() override;

    // The close code for a reason of this end.
    static int closeCode(Reason why);

    QByteArray peerAddress() const override { return m_address; }
    bool isOpen() const override;
    void send(const QByteArray &messages) override;
    qint64 outboundBytes() const override;
    QByteArray receive() override;
    int handle() const override;
    void close(Reason why = Ended) override;

private:
    void take(const QByteArray &bytes);
    void ended();
    // Lets go of the socket: it finishes closing on its own, or is cut.
    QWebSocket *release();

    QWebSocket *m_socket;
    int m_fd;
    QByteArray m_address;
    QByteArray m_inbound;
    bool m_closed = false;
};
