#pragma once

#include "lobby/lazypagedoor.h"
#include "protocol/ticker.h"

#include <QStringList>

class TServer;

// Where the window gets its web door: from the web door's library
// (zarvex-webdoor), loaded with the first browser that comes.
namespace WebDoorLibrary {

// The program's own folder, then the folder the library is installed in.
QStringList defaultFolders();

// Makes doors for the server from the library, looked for in the folders in
// order; it is loaded once and stays loaded.
LazyPageDoor::Maker maker(TServer &server, Ticker::Mode timers, QStringList folders = defaultFolders());

} // namespace WebDoorLibrary
