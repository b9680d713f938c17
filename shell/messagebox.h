#pragma once

#include <QString>

class QWidget;
class WindowRegistry;

// Every box shows its text as it is, never as markup: many texts carry a
// player's name or a file's path.

// Shows a message box for one set of windows: a modal box titled "Zarvex",
// or whatever the set's options put in its place.
void showMessageBox(const WindowRegistry &registry, QWidget *parent, const QString &text);

// Asks a question with the buttons Yes and No for one set of windows, in a
// modal box titled "Zarvex" or whatever the set's options put in its place;
// answers true for Yes.
bool askConfirmation(const WindowRegistry &registry, QWidget *parent, const QString &text);

// A modal box with the given title and text.
void showPlainBox(QWidget *parent, const QString &title, const QString &text);

// The program-wide error report's box: modal, titled "Zarvex", with the
// error's sign.
void showErrorBox(const QString &text);
