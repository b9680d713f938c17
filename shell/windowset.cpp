#include "shell/windowset.h"

#include "client/tchat.h"
#include "server/tgamestart.h"
#include "server/tserver.h"
#include "settings/tabout.h"
#include "settings/thelp.h"
#include "shell/errorreport.h"
#include "lobby/tdownload.h"
#include "social/tphrases.h"
#include "social/tspylist.h"
#include "tally/tallyfile.h"
#include "tally/tallykeeper.h"
#include "tally/ttallylist.h"

#include <algorithm>

namespace {

// The order in which windows are destroyed is the reverse of this one.
enum Rank { ChatRank, TallyRank, AboutRank, DownloadRank, GamestartRank, HelpRank, PhrasesRank, ServerRank,
            SpylistRank };

// TServer is no window: it needs nothing from the others.
template <class Window>
Window *construct(WindowRegistry &registry)
{
    return new Window(registry);
}

template <>
TServer *construct<TServer>(WindowRegistry &registry)
{
    return new TServer(nullptr, registry.options.timers);
}

template <>
TallyKeeper *construct<TallyKeeper>(WindowRegistry &registry)
{
    return new TallyKeeper(registry.chat ? &registry.chat->client() : nullptr, TallyFile::path());
}

} // namespace

template <class Window>
void WindowSet::create(Window *&slot, int rank)
{
    ErrorReport::guarded([&] {
        if (m_beforeEach)
            m_beforeEach(QString::fromLatin1(Window::staticMetaObject.className()));
        slot = construct<Window>(m_registry);
        m_created.append({rank, slot, [&slot] { slot = nullptr; }});
    });
}

WindowSet::WindowSet(WindowOptions options, std::function<void(const QString &)> beforeEach)
    : m_beforeEach(std::move(beforeEach))
{
    m_registry.options = std::move(options);
    create(m_registry.chat, ChatRank);
    // The table is loaded now, after the main window and whether or not its
    // window is ever shown; it goes after that window at the end.
    create(m_registry.tally, TallyRank);
    create(m_registry.server, ServerRank);
    m_registry.m_build = [this](LateWindow window) { build(window); };
}

void WindowSet::build(LateWindow window)
{
    switch (window) {
    case LateWindow::Tallylist:
        create(m_registry.m_tallylist, TallyRank);
        break;
    case LateWindow::About:
        create(m_registry.m_about, AboutRank);
        break;
    case LateWindow::Download:
        create(m_registry.m_download, DownloadRank);
        break;
    case LateWindow::Gamestart:
        create(m_registry.m_gamestart, GamestartRank);
        break;
    case LateWindow::Help:
        create(m_registry.m_help, HelpRank);
        break;
    case LateWindow::Phrases:
        create(m_registry.m_phrases, PhrasesRank);
        break;
    case LateWindow::Spylist:
        create(m_registry.m_spylist, SpylistRank);
        break;
    }
}

WindowSet::~WindowSet()
{
    // Nothing is built any more while the windows go.
    m_registry.m_build = nullptr;
    // Highest rank first; of one rank the later built first (the tally
    // window before the tally it shows).
    std::stable_sort(m_created.begin(), m_created.end(),
                     [](const Created &a, const Created &b) { return a.rank < b.rank; });
    while (!m_created.isEmpty()) {
        const Created last = m_created.takeLast();
        delete last.window;
        last.forget();
    }
}

QStringList WindowSet::built() const
{
    QStringList names;
    for (const Created &created : m_created)
        names.append(created.window->objectName());
    return names;
}

void WindowSet::activateMain()
{
    Tchat *main = m_registry.chat;
    if (!main)
        return;
    if (main->isMinimized())
        main->showNormal();
    main->raise();
    main->activateWindow();
}
