#pragma once

class Tchat;
class Ttallylist;
class Tabout;
class Tdownload;
class Tgamestart;
class Thelp;
class Tphrases;
class TServer;
class Tspylist;

// One pointer per window of a running game, filled as the windows are
// created. Every window gets the registry at construction and reaches the
// others through it; a test can build a second set beside the first.
struct WindowRegistry
{
    Tchat *chat = nullptr;
    Ttallylist *tallylist = nullptr;
    Tabout *about = nullptr;
    Tdownload *download = nullptr;
    Tgamestart *gamestart = nullptr;
    Thelp *help = nullptr;
    Tphrases *phrases = nullptr;
    TServer *server = nullptr;
    Tspylist *spylist = nullptr;
};
