#include "tally/currentgame.h"

#include "client/gameclient.h"

namespace CurrentGame {

QStringList otherSeatedNames(const GameClient &client)
{
    QStringList names;
    for (int seat = 1; seat <= GameClient::seatcount; ++seat) {
        const QString &name = client.row(seat).name;
        if (seat != client.myseat() && name != QLatin1String("<Waiting>"))
            names << name;
    }
    return names;
}

} // namespace CurrentGame
