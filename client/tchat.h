#pragma once

#include <QMainWindow>

struct WindowRegistry;

// The player's main window: the board, the seats, the chat and the menus.
class Tchat : public QMainWindow
{
    Q_OBJECT

public:
    explicit Tchat(WindowRegistry &registry);

signals:
    // The window has closed; the program ends with it.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    WindowRegistry &m_registry;
};
