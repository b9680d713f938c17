#pragma once

#include "shell/windowregistry.h"

#include <QList>
#include <QObject>
#include <functional>

// The nine windows of one running game, created in their fixed order with
// the main window first and destroyed in the reverse order. A window whose
// creation fails is reported and left out; the others still come up.
class WindowSet
{
public:
    // beforeEach, when given, runs before each window is created with the
    // window's class name; whatever it throws counts as that window's
    // creation error.
    explicit WindowSet(WindowOptions options = {},
                       std::function<void(const QString &)> beforeEach = {});
    ~WindowSet();

    WindowSet(const WindowSet &) = delete;
    WindowSet &operator=(const WindowSet &) = delete;

    WindowRegistry &registry() { return m_registry; }

    // The order in which the windows were created, by object name.
    QStringList creationOrder() const;

    // Restores the main window when minimised, otherwise raises it.
    void activateMain();

private:
    template <class Window>
    void create(Window *&slot);

    std::function<void(const QString &)> m_beforeEach;
    WindowRegistry m_registry;
    QList<QObject *> m_created;
};
