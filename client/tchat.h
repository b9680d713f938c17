#pragma once

#include <QMainWindow>

class ChatPane;
struct WindowRegistry;

// The player's main window: the board, the seats, the chat and the menus.
class Tchat : public QMainWindow
{
    Q_OBJECT

public:
    explicit Tchat(WindowRegistry &registry);

    // A relayed CMD_chat or CMD_action payload, shown in the chat.
    void chatrecieved(const QByteArray &payload);
    // A status line ("0+text") shown in the chat in the status colour.
    void addlinetochat(const QByteArray &line);

signals:
    // The window has closed; the program ends with it.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    WindowRegistry &m_registry;
    ChatPane *m_chatpane;
};
