#pragma once

#include "protocol/version.h"

#include <QByteArray>
#include <initializer_list>

// The text messages of the game: a command, then fields each preceded by "+",
// then the terminator byte 0xFF. Nothing is escaped.
namespace Wire {

constexpr char Terminator = '\xFF';
constexpr char Separator = '+';

// The protocol's version text, exchanged at login and compared exactly.
inline const QByteArray Version = QByteArrayLiteral(ZARVEX_VERSION);

// command + "+field" for each field + terminator. A command that carries no
// data is still sent with one empty field ("CMD_full+").
inline QByteArray message(const QByteArray &command, std::initializer_list<QByteArray> fields)
{
    QByteArray text = command;
    for (const QByteArray &field : fields) {
        text += Separator;
        text += field;
    }
    text += Terminator;
    return text;
}

// The longest round either end works with, in seconds. A request for more,
// or for less than one second, is brought into range before any arithmetic;
// the fields are relayed as they came.
constexpr int MaxSecondsPerRound = 3600;

// How both ends watch their connection (TSock::setKeepAlive): a connection
// quiet for 5 seconds is probed every 2 seconds, and once it has been silent
// for 5 + 2 × 3 = 11 seconds (three probes unanswered, or data unacknowledged
// that long) it is given up. A line that fails is noticed within a quarter of
// a minute, so that a player is back soon after it returns; one lost probe
// on a lossy line is not enough.
constexpr int KeepAliveIdle = 5;
constexpr int KeepAliveInterval = 2;
constexpr int KeepAliveCount = 3;

inline QByteArray num(int value)
{
    return QByteArray::number(value);
}

} // namespace Wire
