#pragma once

#include "shell/windowregistry.h"

// The options of a main window that stays at its loading line and connects
// nowhere (two arguments), with hand-driven timers and no message boxes.
inline WindowOptions quietWindow()
{
    WindowOptions options;
    options.timers = Ticker::Manual;
    options.arguments = QStringList{"Ann", "127.0.0.1"};
    options.messageBox = [](QWidget *, const QString &) {};
    return options;
}
