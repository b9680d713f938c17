#pragma once

#include "lobby/lazypagedoor.h"
#include "protocol/ticker.h"
#include "shell/privatelibraries.h"

#include <QStringList>

class TServer;

// Where the window gets its web door: from the web door's library
// (zarvex-webdoor), loaded with the first browser that comes.
namespace WebDoorLibrary {

// Makes doors for the server from the library, looked for in the folders in
// order; it is loaded once and stays loaded.
LazyPageDoor::Maker maker(TServer &server, Ticker::Mode timers, QStringList folders = PrivateLibraries::folders());

} // namespace WebDoorLibrary
