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
#include "tally/ttallylist.h"

namespace {

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

} // namespace

template <class Window>
void WindowSet::create(Window *&slot)
{
    ErrorReport::guarded([&] {
        if (m_beforeEach)
            m_beforeEach(QString::fromLatin1(Window::staticMetaObject.className()));
        slot = construct<Window>(m_registry);
        m_created.append(slot);
    });
}

WindowSet::WindowSet(WindowOptions options, std::function<void(const QString &)> beforeEach)
    : m_beforeEach(std::move(beforeEach))
{
    m_registry.options = std::move(options);
    create(m_registry.chat);
    create(m_registry.tallylist);
    create(m_registry.about);
    create(m_registry.download);
    create(m_registry.gamestart);
    create(m_registry.help);
    create(m_registry.phrases);
    create(m_registry.server);
    create(m_registry.spylist);
}

WindowSet::~WindowSet()
{
    while (!m_created.isEmpty())
        delete m_created.takeLast();
    m_registry = WindowRegistry{m_registry.options};
}

QStringList WindowSet::creationOrder() const
{
    QStringList names;
    for (const QObject *window : m_created)
        names.append(window->objectName());
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
