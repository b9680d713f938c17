#pragma once

#include <QLineEdit>
#include <functional>

class ChatInput;
class ChatSender;
class QMenu;

// The input field `mychat`: a line edit that shows a ChatInput and hands it
// every key. Enter sends, the first key removes the placeholder, and the
// context menu `popup_mychat` offers "Paste" (Ctrl+V).
class ChatField : public QLineEdit
{
    Q_OBJECT

public:
    // connected answers whether the login has completed.
    ChatField(ChatInput &input, ChatSender &sender, std::function<bool()> connected, QWidget *parent = nullptr);

    QMenu *popup_mychat() const { return m_popup; }

    // Shows the input's text and caret, in the chat colour.
    void render();

    void sendit();
    void Paste1Click();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    ChatInput &m_input;
    ChatSender &m_sender;
    std::function<bool()> m_connected;
    QMenu *m_popup;
};
