#include "settings/thelp.h"

#include "shell/windowregistry.h"

Thelp::Thelp(WindowRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("Thelp"));
    setWindowTitle(QStringLiteral("Zarvex - Help File"));
    resize(521, 422);   // the help window is sizeable
}
