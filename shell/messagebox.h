#pragma once

#include <QString>

class QWidget;
struct WindowRegistry;

// Shows a message box for one set of windows: a modal box titled "Zarvex",
// or whatever the set's options put in its place.
void showMessageBox(const WindowRegistry &registry, QWidget *parent, const QString &text);

// Asks a question with the buttons Yes and No for one set of windows, in a
// modal box titled "Zarvex" or whatever the set's options put in its place;
// answers true for Yes.
bool askConfirmation(const WindowRegistry &registry, QWidget *parent, const QString &text);
