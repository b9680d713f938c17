#include "server/tgamestart.h"

#include "shell/windowregistry.h"

Tgamestart::Tgamestart(WindowRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("Tgamestart"));
    setWindowTitle(QStringLiteral("Zarvex - Game Start"));
    setFixedSize(257, 237);
}
