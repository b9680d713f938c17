#pragma once

#include <QList>
#include <QString>

// One numbered text style of the chat view.
struct ChatStyle
{
    quint32 colour = 0; // colour value, as in colour text
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int size = 10; // points
    QString family = QStringLiteral("Arial");

    bool operator==(const ChatStyle &other) const
    {
        return colour == other.colour && bold == other.bold && italic == other.italic
            && underline == other.underline && size == other.size && family == other.family;
    }
    bool operator!=(const ChatStyle &other) const { return !(*this == other); }
};

// The chat's fifteen text styles. Every line of one kind shares its style:
// status lines use style 0, the lines of seat c use style c + 5, links
// style 4. Giving a style a new colour therefore recolours every earlier
// line that uses it.
class ChatStyles
{
public:
    static constexpr int Count = 15;
    static constexpr int StatusStyle = 0;
    static constexpr int LinkStyle = 4;
    static constexpr int HighestLineCode = 9;

    // The styles with their design colours and font styles.
    ChatStyles();

    const ChatStyle &at(int style) const { return m_styles.at(style); }

    // The style of a line with the given code: 0 for a status line, the
    // seat plus 5 for a seat's line.
    static int forLineCode(int code) { return code > 0 ? code + 5 : code; }

    // Gives the style a line's colour and the bold font style; answers
    // whether that changed anything.
    bool takeLineColour(int style, quint32 colour);

    // The text size setting: the size of all fifteen styles.
    void setSize(int points);

private:
    QList<ChatStyle> m_styles;
};
