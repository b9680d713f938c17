#pragma once

#include "social/chatinput.h"

#include <QObject>
#include <array>
#include <functional>

class ChatField;
class ChatSender;
class ImageButton;
class PhraseButtons;
class QMenu;
class QRect;
class QWidget;

// The controls around the chat view: the row of phrase buttons `b_phrase1`
// to `b_phrase10` above it, and below it the input field `mychat` with the
// smilies button `button_smilies` and its menu `popup_smilies`. It shows
// the chat input and the phrase buttons and hands clicks to them; button 10
// only asks for the shout menu, which the window owns.
class ChatInputView : public QObject
{
    Q_OBJECT

public:
    // connected answers whether the login has completed.
    ChatInputView(ChatSender &sender, PhraseButtons &phrases, std::function<bool()> connected, QWidget *panel);

    // Lays the controls out around the chat pane's geometry, in the
    // coordinates of their common parent.
    void placeAround(const QRect &chatPane);

    ChatInput &input() { return m_input; }
    ChatField *mychat() const { return m_field; }
    ImageButton *phraseButton(int button) const { return b_phrase[size_t(button)]; }
    ImageButton *smiliesButton() const { return button_smilies; }
    QMenu *popup_smilies() const { return m_smilies; }

    // The field's text and colour, the buttons' tooltips.
    void render();

    void b_phrase1Click(int button);
    void button_smiliesClick();
    void N271Click(int smiley);

signals:
    // Button 10: the shout menu, its top-left corner at this screen point.
    void shoutMenuRequested(const QPoint &globalPos);

private:
    // The screen position of a button's bottom-right corner, where its menu opens.
    static QPoint belowRight(const QWidget *button);

    ChatSender &m_sender;
    PhraseButtons &m_phrases;
    ChatInput m_input;
    ChatField *m_field;
    std::array<ImageButton *, 11> b_phrase{};
    ImageButton *button_smilies;
    QMenu *m_smilies;
};
