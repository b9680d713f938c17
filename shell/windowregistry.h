#pragma once

#include "protocol/ticker.h"

#include <QByteArray>
#include <QDate>
#include <QStringList>
#include <functional>
#include <optional>

class QObject;
class QWidget;

class PageDoor;
class Tchat;
class Ttallylist;
class Tabout;
class Tdownload;
class Tgamestart;
class Thelp;
class Tphrases;
class TServer;
class Tspylist;
class TallyKeeper;

// How one set of windows runs. The program takes the defaults; a test picks
// its own ports, drives the timers by hand and hands in a command line.
struct WindowOptions
{
    Ticker::Mode timers = Ticker::Running;
    QByteArray gamePort = "7772";
    // Where a hosting copy serves the browser page; 0 for any free port
    // (the program takes 7773 or what ZARVEX_WEB_PORT says).
    quint16 webPort = 0;
    // Makes the door by which browsers reach a game the copy hosts, owned by
    // the parent; when not given, the web door's library is loaded with the
    // first browser that comes.
    std::function<PageDoor *(TServer &server, QObject *parent)> pageDoor;
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

// The windows built the first time they are asked for: those a player
// opens now and then, and the lobby window, which a solo game opens with.
enum class LateWindow { Tallylist, About, Download, Gamestart, Help, Phrases, Spylist };

// One pointer per window of a running game. Every window gets the registry
// at construction and reaches the others through it; a test can build a
// second set beside the first.
//
// The main window and the server exist from the start. The others are built
// the first time somebody asks for them, which is the first time they are
// shown: a window the player never opens costs nothing.
class WindowRegistry
{
public:
    explicit WindowRegistry(WindowOptions windowOptions = {}) : options(std::move(windowOptions)) {}

    WindowOptions options;

    Tchat *chat = nullptr;
    TServer *server = nullptr;
    // The run's tally, loaded at start-up and recording every game whether
    // or not its window is ever shown.
    TallyKeeper *tally = nullptr;

    // Each builds its window when it does not exist yet; null when there is
    // nobody to build it (a registry of a test's own) or building failed.
    Ttallylist *tallylist() { return late(m_tallylist, LateWindow::Tallylist); }
    Tabout *about() { return late(m_about, LateWindow::About); }
    Tdownload *download() { return late(m_download, LateWindow::Download); }
    Tgamestart *gamestart() { return late(m_gamestart, LateWindow::Gamestart); }
    Thelp *help() { return late(m_help, LateWindow::Help); }
    Tphrases *phrases() { return late(m_phrases, LateWindow::Phrases); }
    Tspylist *spylist() { return late(m_spylist, LateWindow::Spylist); }

    // Whether the window exists, without building it.
    bool built(LateWindow window) const;

private:
    friend class WindowSet;

    template <class Window>
    Window *late(Window *&slot, LateWindow which)
    {
        if (!slot && m_build)
            m_build(which);
        return slot;
    }

    std::function<void(LateWindow)> m_build;
    Ttallylist *m_tallylist = nullptr;
    Tabout *m_about = nullptr;
    Tdownload *m_download = nullptr;
    Tgamestart *m_gamestart = nullptr;
    Thelp *m_help = nullptr;
    Tphrases *m_phrases = nullptr;
    Tspylist *m_spylist = nullptr;
};

inline bool WindowRegistry::built(LateWindow window) const
{
    switch (window) {
    case LateWindow::Tallylist:
        return m_tallylist;
    case LateWindow::About:
        return m_about;
    case LateWindow::Download:
        return m_download;
    case LateWindow::Gamestart:
        return m_gamestart;
    case LateWindow::Help:
        return m_help;
    case LateWindow::Phrases:
        return m_phrases;
    case LateWindow::Spylist:
        return m_spylist;
    }
    return false;
}
