#pragma once

#include <QString>

// One item of the chat view: a text that starts a new paragraph, a text on
// the current line, a link or a smiley picture, each in a numbered style.
struct ChatItem
{
    enum Kind { Paragraph, Text, Link, Picture };

    Kind kind = Text;
    int style = 0;
    QString text;     // empty for a picture
    int picture = -1; // smiley picture 0 to 17, for a picture
    int link = -1;    // the view's number of a link, once it is in the view

    bool operator==(const ChatItem &other) const
    {
        return kind == other.kind && style == other.style && text == other.text
            && picture == other.picture && link == other.link;
    }
};
