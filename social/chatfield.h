#pragma once

#include <QLineEdit>
#include <functional>

class ChatInput;
class ChatSender;
class QMenu;

// The input field `mychat`: a line edit whose text is the ChatInput's.
// Selecting, typing over a selection, cutting, copying and moving the caret
// work as in any line edit, and every edit is handed to the input at once;
// the caret and the selection stay the line edit's own. Enter sends, the
// first key removes the placeholder, and the context menu `popup_mychat`
// offers "Paste" (Ctrl+V), which appends.
class ChatField : public QLineEdit
{
    Q_OBJECT

public:
    // connected answers whether the login has completed.
    ChatField(ChatInput &input, ChatSender &sender, std::function<bool()> connected, QWidget *parent = nullptr);

    QMenu *popup_mychat() const { return m_popup; }

    // Shows the input's text, when it is not shown already, in the chat
    // colour. The caret and the selection stay where they are unless the
    // text changed.
    void render();

    void sendit();
    void Paste1Click();
    // A smiley's code appended.
    void N271Click(int smiley);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    // Replaces the shown text with the input's when they differ, which puts
    // the caret at the end with nothing selected.
    void showInput();
    // After an append: the caret at the end, nothing selected, also when
    // nothing was appended.
    void caretToEnd();

    ChatInput &m_input;
    ChatSender &m_sender;
    std::function<bool()> m_connected;
    QMenu *m_popup;
};
