#include "shell/tdownload.h"

#include "shell/windowregistry.h"

Tdownload::Tdownload(WindowRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("Tdownload"));
    setWindowTitle(QStringLiteral("Zarvex - Lobby"));
    setFixedSize(360, 160);
}
