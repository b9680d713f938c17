#pragma once

#include <QTestEventList>

// Keys as the player presses them, to be replayed on a widget.
struct Keys
{
    QTestEventList events;

    Keys &type(const QString &text)
    {
        events.addKeyClicks(text);
        return *this;
    }
    Keys &press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int times = 1)
    {
        for (int k = 0; k < times; ++k)
            events.addKeyClick(key, modifiers);
        return *this;
    }
    operator QTestEventList() const { return events; }
};
