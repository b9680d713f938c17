#pragma once

class PageDoor;
class QObject;
class QString;
class TServer;

// The entry point of the web door's library (zarvex-webdoor): makes a door
// for the server that serves on the listening socket, owned by the parent,
// or answers null with the reason in error (the socket then stays the
// caller's). timers is a Ticker::Mode.
namespace WebDoorEntry {
constexpr const char *LibraryName = "libzarvex-webdoor.so";
constexpr const char *Name = "zarvexWebDoor";
using Function = PageDoor *(*)(TServer *server, int timers, int listeningSocket, QString *error, QObject *parent);
} // namespace WebDoorEntry
