#include "settings/tabout.h"

#include "shell/windowregistry.h"

Tabout::Tabout(WindowRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("Tabout"));
    setWindowTitle(QStringLiteral("Zarvex - About"));
    setFixedSize(304, 174);
}
