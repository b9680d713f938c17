#pragma once

#include "social/chatitem.h"

#include <QStringList>

// Chat items written compactly, so that a test can state a whole line at once:
// "P8|bob chats: " a paragraph in style 8, "T8|hi " a text, "L4|www.a.com "
// a link, "I8#2" picture 2.
inline QStringList describe(const QList<ChatItem> &items)
{
    QStringList out;
    for (const ChatItem &item : items) {
        const QChar kind = QLatin1String("PTLI").at(item.kind);
        if (item.kind == ChatItem::Picture)
            out << QStringLiteral("%1%2#%3").arg(kind).arg(item.style).arg(item.picture);
        else
            out << QStringLiteral("%1%2|%3").arg(kind).arg(item.style).arg(item.text);
    }
    return out;
}
