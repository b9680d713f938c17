#pragma once

#include "protocol/ticker.h"

#include <QByteArray>
#include <QDate>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

class Tchat;
class Ttallylist;
class Tabout;
class Tdownload;
class Tgamestart;
class Thelp;
class Tphrases;
class TServer;
class Tspylist;

// How one set of windows runs. The program takes the defaults; a test picks
// its own ports, drives the timers by hand and hands in a command line.
struct WindowOptions
{
    Ticker::Mode timers = Ticker::Running;
    QByteArray gamePort = "7772";
    // Where a hosting copy serves the browser page; 0 for any free port
    // (the program takes 7773 or what ZARVEX_WEB_PORT says).
    quint16 webPort = 0;
    quint16 lobbyPort = 9001;
    // The command line's arguments; the program's own when not given.
    std::optional<QStringList> arguments;
    // Shows a message box; a modal QMessageBox when not given.
    std::function<void(QWidget *parent, const QString &text)> messageBox;
    // Asks a question with Yes and No and answers true for Yes; a modal
    // QMessageBox when not given.
    std::function<bool(QWidget *parent, const QString &text)> confirmBox;
    // Today's date, read once as the windows are created; the system clock's
    // when not given.
    std::function<QDate()> today;

    QDate date() const { return today ? today() : QDate::currentDate(); }
};

// One pointer per window of a running game, filled as the windows are
// created. Every window gets the registry at construction and reaches the
// others through it; a test can build a second set beside the first.
struct WindowRegistry
{
    WindowOptions options;

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
