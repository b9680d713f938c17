#pragma once

#include <QString>

class QWidget;
struct WindowRegistry;

// Shows a message box for one set of windows: a modal box titled "Zarvex",
// or whatever the set's options put in its place.
void showMessageBox(const WindowRegistry &registry, QWidget *parent, const QString &text);
