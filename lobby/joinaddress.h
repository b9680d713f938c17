#pragma once

#include <QByteArray>
#include <QString>

// The address of a game as a player types it: a machine's name or number,
// with ":port" where the game does not use the usual one. An IPv6 number
// with a port stands in brackets ("[::1]:7790"); without a port the brackets
// may be left off. Anything else is refused with a line the player
// understands, and nothing of it reaches the network.
class JoinAddress
{
public:
    // Longest text read at all, and the bounds of a machine's name: the
    // whole name and each dot-separated part.
    static constexpr int MaxTypedLength = 300;
    static constexpr int MaxNameLength = 253;
    static constexpr int MaxLabelLength = 63;

    static JoinAddress parse(const QString &typed, quint16 defaultPort);

    bool isValid() const { return m_error.isEmpty(); }
    // Why the text was refused, for the player; empty when it was not.
    QString error() const { return m_error; }
    // The machine's name or number without brackets, as the socket takes it.
    QByteArray host() const { return m_host; }
    quint16 port() const { return m_port; }
    // The address as the player is shown it: the host, ":port" when it is
    // not the usual one, an IPv6 number in brackets before a port.
    QString text() const;

private:
    QByteArray m_host;
    quint16 m_port = 0;
    quint16 m_defaultPort = 0;
    QString m_error;
};
