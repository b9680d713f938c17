#pragma once

#include <QString>

class ChatSender;

// The one-line input field below the chat, without the widget: its text,
// the placeholder that the first key removes, pasting, smiley codes, and
// what Enter sends. The text is kept here; the caret and the selection are
// the field's alone. Every change made here replaces the whole text, and
// the field then puts the caret at the end with nothing selected.
class ChatInput
{
public:
    // The field never holds more than this many characters.
    static constexpr int MaxLength = 2000;

    static QString placeholder() { return QStringLiteral("<Enter Chat Here>"); }

    const QString &text() const { return m_text; }

    // The field's own editing: the text as it now stands, cut at MaxLength.
    void setText(const QString &text);

    // Any key pressed down in the field, before the key takes effect: the
    // placeholder goes.
    void mychatKeyDown();

    // Enter. Before the login nothing happens and the text stays. A line not
    // starting with "/" goes as chat; one starting with "/me" goes as an
    // action without its first four characters; any other "/" line is
    // dropped. Then the field is emptied. Answers whether the line was taken.
    bool sendit(bool connected, ChatSender &sender);

    // "Paste": the clipboard's text appended (line breaks become blanks, as
    // the field holds one line), as much of it as fits.
    void Paste1Click(const QString &clipboard);

    // A smiley item: ":)#" and its number appended. A code that no longer
    // fits whole is left out.
    void N271Click(int smiley);

private:
    void dropPlaceholder();

    QString m_text = placeholder();
};
