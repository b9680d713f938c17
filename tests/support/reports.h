#pragma once

#include "shell/errorreport.h"

#include <QStringList>

// Catches what the program-wide error report shows while it lives, and
// puts the report's sink back as it ends.
struct Reports
{
    QStringList texts;
    ErrorReport::Sink previous;
    Reports() { previous = ErrorReport::setSink([this](const QString &t) { texts << t; }); }
    ~Reports() { ErrorReport::setSink(previous); }
};
