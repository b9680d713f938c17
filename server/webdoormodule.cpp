// The web door's library. The game's window loads it when the first browser
// comes to a game it hosts, makes the door and hands it the socket that has
// been listening for it; the window itself never loads Qt's network modules
// otherwise. What the door needs of the core, the window provides.

#include "server/webdoor.h"
#include "server/webdoorentry.h"

extern "C" Q_DECL_EXPORT PageDoor *zarvexWebDoor(TServer *server, int timers, int listeningSocket,
                                                 QString *error, QObject *parent)
{
    return WebDoor::onSocket(*server, Ticker::Mode(timers), listeningSocket, *error, parent);
}
