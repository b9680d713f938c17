#pragma once

#include <QRect>
#include <QWidget>

class ChatInputView;
class ChatPane;

// The main window's central area: the game panel at its own place and size,
// and the chat pane beside it with the controls around it. Whatever room the
// window gives beyond the area's smallest size goes to the chat view; the
// input field below it stays anchored to the left, right and bottom, the
// phrase buttons stay above it. Around the panel the area shows the same
// background as the panel, carried on from the panel's own as one picture,
// so that a larger window looks as finished as the smallest.
class MainArea : public QWidget
{
    Q_OBJECT

public:
    explicit MainArea(QWidget *parent = nullptr);

    // The parts, children of this area; chatPlace is where the chat pane's
    // top-left corner lies, which never moves.
    void arrange(QWidget *panel, ChatPane *chat, ChatInputView *controls, const QPoint &chatPlace);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void place();

    QWidget *m_panel = nullptr;
    ChatPane *m_chat = nullptr;
    ChatInputView *m_controls = nullptr;
    QPoint m_chatPlace;
};
