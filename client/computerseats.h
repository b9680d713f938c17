#pragma once

#include "client/computerlevel.h"
#include "protocol/ticker.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>

class ComputerPlayer;

// The computer players a hosting window seats at its own table: each one
// runs inside the program and connects to the host's server on 127.0.0.1
// like any other player, and takes the next free seat.
class ComputerSeats : public QObject
{
    Q_OBJECT

public:
    explicit ComputerSeats(Ticker::Mode timers, QObject *parent = nullptr);
    ~ComputerSeats() override;

    // Where the server is: the host's own (127.0.0.1, the default), or the
    // dedicated server on which the window holds the host's seat.
    void setHost(const QByteArray &host) { m_host = host; }
    void setPort(const QByteArray &port) { m_port = port; }

    // Seats one more computer player under a friendly name that none of the
    // given names (the players at the table, the local player) equals.
    ComputerPlayer *add(ComputerLevel::Level level, const QList<QByteArray> &namesInUse);
    // All of them leave the game.
    void removeAll();

    QList<ComputerPlayer *> players() const;
    int count() const { return int(players().size()); }

    // The friendly names computer players are given, in the order they are
    // handed out.
    static const QList<QByteArray> &friendlyNames();
    // The names the seats fall back on, which a computer player never takes.
    static const QList<QByteArray> &builtInNames();
    // The first friendly name that no name taken equals, in any letter case;
    // when all are taken, the first with a number after it.
    static QByteArray friendlyName(const QList<QByteArray> &taken);

signals:
    void changed();

private:
    Ticker::Mode m_timers;
    QByteArray m_host = "127.0.0.1";
    QByteArray m_port = "7772";
    QList<QPointer<ComputerPlayer>> m_players;
};
