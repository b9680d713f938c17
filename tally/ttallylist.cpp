#include "tally/ttallylist.h"

#include "shell/windowregistry.h"

Ttallylist::Ttallylist(WindowRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("Ttallylist"));
    setWindowTitle(QStringLiteral("Zarvex - Tally List"));
    setFixedSize(475, 347);
}
