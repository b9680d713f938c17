#pragma once

#include "server/wordlistchoice.h"

#include <QDialog>
#include <functional>

class WindowRegistry;
class QLabel;
class QPushButton;
class TServer;

// The host's word list window, opened by "Word List..." in the File menu:
// what the games draw from (the list's name and counts), a button that opens
// a file dialog to choose a list of one's own and "Built-in list" to go back.
// A list that is refused is explained in a message box and the list in use
// stays. The choice and its rules are held by WordListChoice.
class Twordlist : public QDialog
{
    Q_OBJECT

public:
    Twordlist(WindowRegistry &registry, QWidget *parent = nullptr);

    WordListChoice &choice() { return m_choice; }

    // Reads the stored choice and hands the list to the server; a stored
    // list that can no longer be used is told as a status line.
    void attach(TServer *server);

    // Asks for a file; a file dialog when not set. An empty answer is a
    // cancel.
    void setFileAsker(std::function<QString(QWidget *parent, const QString &folder)> asker)
    {
        m_askFile = std::move(asker);
    }

    // "Choose File..." and "Built-in list".
    void button_chooseClick();
    void button_builtinClick();

signals:
    // A status line for the chat.
    void statusLine(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void report(const QString &problem);
    void showChoice();

    WindowRegistry &m_registry;
    WordListChoice m_choice;
    std::function<QString(QWidget *, const QString &)> m_askFile;

    QLabel *label_current;
    QPushButton *button_choose;
    QPushButton *button_builtin;
    QPushButton *button_close;
};
