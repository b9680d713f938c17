#pragma once

#include <QStringList>

class GameClient;

namespace CurrentGame {

// The players the tally offers from the current game: the names of the
// playing seats 1 to 6 in seat order, leaving out the local player's own
// seat and the empty seats ("<Waiting>"). Spectators have no playing seat.
QStringList otherSeatedNames(const GameClient &client);

} // namespace CurrentGame
