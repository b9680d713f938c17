#pragma once

#include "social/chatitem.h"

#include <QList>
#include <QString>
#include <optional>

// A display line ("code+rest") cut into the items the chat view shows.
//
// The rest is a head, up to and including its first ":", and a body. The
// head becomes one paragraph item with a blank appended; the body's smiley
// codes ":)#NN" become pictures and its words become text or link items,
// each carrying its trailing blank.
class ChatLine
{
public:
    // The first smiley number; smiley n shows picture n - FirstSmiley.
    static constexpr int FirstSmiley = 10;
    static constexpr int SmileyCount = 18;

    // The line's items, or nothing when its code is not a decimal integer
    // from 0 to 9: such a line shows nothing at all.
    static std::optional<ChatLine> read(const QString &displayLine);

    // A relayed chat or action payload, "seat+text|colour", split into its
    // display line and colour. A missing or unreadable colour gives red, and
    // whatever follows the first "|" is not shown.
    struct Received
    {
        QString line;
        quint32 colour;
    };
    static Received received(const QString &payload);

    // Whether a word is to become a link: it holds "http://" or "www." in
    // any letter case.
    static bool islink(const QString &word);

    int code() const { return m_code; }
    int style() const { return m_style; }
    const QList<ChatItem> &items() const { return m_items; }

private:
    ChatLine(int code);

    void addWords(QString piece);
    void addSmiley(const QString &number);

    int m_code;
    int m_style;
    QList<ChatItem> m_items;
};
