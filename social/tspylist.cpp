#include "social/tspylist.h"

#include "shell/windowregistry.h"

Tspylist::Tspylist(WindowRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("Tspylist"));
    setWindowTitle(QStringLiteral("Zarvex - Spys"));
    setFixedSize(162, 168);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    move(579, 88);
}
