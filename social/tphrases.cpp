#include "social/tphrases.h"

#include "shell/windowregistry.h"

Tphrases::Tphrases(WindowRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("Tphrases"));
    setWindowTitle(QStringLiteral("Zarvex - Phrase Buttons "));
    setFixedSize(368, 282);
}
