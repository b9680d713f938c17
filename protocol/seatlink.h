#pragma once

#include <QByteArray>
#include <QObject>

// One player's connection as the server's seat table holds it, whatever
// carries it: a TCP socket of the game's own wire, or a WebSocket from the
// browser page. Either way it delivers the same bytes (messages, each with
// its terminator) both ways, reports the peer's own address, and ends
// exactly once with `closed`, whoever ended it; the server applies its
// bounds and its rules for seats to both alike.
class SeatLink : public QObject
{
    Q_OBJECT

public:
    // Why this end lets a connection go; a WebSocket tells the far end by
    // its close code.
    enum Reason {
        Ended,        // no reason the far end needs: a timeout, a line given up
        Removed,      // the host removed this player
        BrokeBound,   // it sent too much, or read too little
        Full,         // every seat is taken
    };

    using QObject::QObject;

    // The peer's address as text ("192.0.2.7", "2001:db8::7"); an IPv4 peer
    // reached through an IPv6 socket reads as plain IPv4.
    virtual QByteArray peerAddress() const = 0;
    virtual bool isOpen() const = 0;
    // Sends text as it stands: whole messages, each with its terminator.
    virtual void send(const QByteArray &messages) = 0;
    // Sent bytes that the peer has not taken yet.
    virtual qint64 outboundBytes() const = 0;
    // The bytes received since the last call.
    virtual QByteArray receive() = 0;
    // The system's handle of the TCP connection underneath; -1 once closed.
    virtual int handle() const = 0;
    // Ends the connection from this end; `closed` is emitted before it
    // returns. Closing a closed link does nothing.
    virtual void close(Reason why = Ended) = 0;

    // How long the far end has left our data or probes unanswered, in
    // milliseconds (see TcpSilence).
    int unansweredMs() const;

    // A small number the owner keeps on the link (the server's seat).
    int Tag = 0;

signals:
    // New bytes wait for receive().
    void received();
    // The connection has ended: closed by the peer, reset, given up as
    // silent, or closed by this end.
    void closed();
};
