#pragma once

#include "shell/windowregistry.h"

#include <QList>
#include <QObject>
#include <functional>

// The windows of one running game. Start-up builds the main window first,
// then the tally and the server; the other windows are built the first time
// they are asked for (see WindowRegistry). At the end the windows that exist are destroyed in one
// fixed order, the reverse of Tchat, Ttallylist, Tabout, Tdownload,
// Tgamestart, Thelp, Tphrases, TServer, Tspylist, whenever each was built:
// the tally is saved while the main window still exists. A window whose
// building fails is reported and left out; the others still come up, and
// a late window is tried again the next time it is asked for.
class WindowSet
{
public:
    // beforeEach, when given, runs before each window is built with the
    // window's class name; whatever it throws counts as that window's
    // building error.
    explicit WindowSet(WindowOptions options = {},
                       std::function<void(const QString &)> beforeEach = {});
    ~WindowSet();

    WindowSet(const WindowSet &) = delete;
    WindowSet &operator=(const WindowSet &) = delete;

    WindowRegistry &registry() { return m_registry; }

    // The windows built so far, by object name, in the order they were built.
    QStringList built() const;

    // Restores the main window when minimised, otherwise raises it.
    void activateMain();

private:
    template <class Window>
    void create(Window *&slot, int rank);
    void build(LateWindow window);

    struct Created
    {
        int rank;                      // its place in the order of destruction
        QObject *window;
        std::function<void()> forget;  // empties its place in the registry
    };

    std::function<void(const QString &)> m_beforeEach;
    WindowRegistry m_registry;
    QList<Created> m_created;
};
