#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The ports a copy of the player's program uses: the game's own, the
// browser page's (while hosting) and the lobby's, unless the environment
// names others (ZARVEX_GAME_PORT, ZARVEX_WEB_PORT, ZARVEX_LOBBY_PORT), so
// that a test, or a second game on the same computer, keeps off the ports a
// real game plays on.
namespace PortChoice {

constexpr quint16 GamePort = 7772;
constexpr quint16 WebPort = 7773;
constexpr quint16 LobbyPort = 9001;

// A port number from 1 to 65535 written in plain decimal digits; anything
// else is none.
std::optional<quint16> fromText(const QString &text);

// The variable's port when it names one, else the fallback.
quint16 fromEnvironment(const char *variable, quint16 fallback);

QByteArray gamePort();
quint16 webPort();
quint16 lobbyPort();

} // namespace PortChoice
