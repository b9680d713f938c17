#include "shell/portchoice.h"

#include <cstdio>

namespace PortChoice {

std::optional<quint16> fromText(const QString &text)
{
    if (text.isEmpty() || text.size() > 5)
        return std::nullopt;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    const int port = text.toInt();
    if (port < 1 || port > 65535)
        return std::nullopt;
    return quint16(port);
}

quint16 fromEnvironment(const char *variable, quint16 fallback)
{
    if (!qEnvironmentVariableIsSet(variable))
        return fallback;
    if (const std::optional<quint16> port = fromText(qEnvironmentVariable(variable)))
        return *port;
    std::fprintf(stderr, "%s is no port number from 1 to 65535; using %u\n", variable, unsigned(fallback));
    return fallback;
}

QByteArray gamePort()
{
    return QByteArray::number(fromEnvironment("ZARVEX_GAME_PORT", GamePort));
}

quint16 webPort()
{
    return fromEnvironment("ZARVEX_WEB_PORT", WebPort);
}

quint16 lobbyPort()
{
    return fromEnvironment("ZARVEX_LOBBY_PORT", LobbyPort);
}

} // namespace PortChoice
