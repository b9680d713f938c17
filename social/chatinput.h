#pragma once

#include <QString>

class ChatSender;

// The one-line input field below the chat, without the widget: its text and
// caret, the placeholder that the first key removes, pasting, smiley codes,
// and what Enter sends. The field widget shows this state and forwards the
// player's keys to it.
class ChatInput
{
public:
    // The field never holds more than this many characters.
    static constexpr int MaxLength = 2000;

    static QString placeholder() { return QStringLiteral("<Enter Chat Here>"); }

    const QString &text() const { return m_text; }
    // The caret, as a character position.
    int cursor() const { return m_cursor; }

    // The field's own editing: the text as it now stands, cut at MaxLength.
    void setText(const QString &text, int cursor);

    // Any key pressed down in the field, before the key takes effect: the
    // placeholder goes.
    void mychatKeyDown();

    // Enter. Before the login nothing happens and the text stays. A line not
    // starting with "/" goes as chat; one starting with "/me" goes as an
    // action without its first four characters; any other "/" line is
    // dropped. Then the field is emptied. Answers whether the line was taken.
    bool sendit(bool connected, ChatSender &sender);

    // "Paste": the clipboard's text appended (line breaks become blanks, as
    // the field holds one line), as much of it as fits; the caret at the end.
    void Paste1Click(const QString &clipboard);

    // A smiley item: ":)#" and its number appended, the caret at the end. A
    // code that no longer fits whole is left out.
    void N271Click(int smiley);

private:
    void dropPlaceholder();
    void append(const QString &piece);

    QString m_text = placeholder();
    int m_cursor = 0;
};
