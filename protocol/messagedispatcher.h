#pragma once

#include "protocol/fieldreader.h"

#include <QByteArray>
#include <QHash>
#include <QQueue>
#include <functional>

// The inbound queue of one end of the game and the table of its handlers.
// Received messages wait here in arrival order, each with the origin the
// receiver gave it (the server's connection, say), and are handed out one
// per dispatch tick to the handler named by their command.
class MessageDispatcher
{
public:
    using Handler = std::function<void(FieldReader &fields, int origin)>;

    // Commands are compared exactly, letter case included.
    void on(const QByteArray &command, Handler handler);

    void enqueue(const QByteArray &text, int origin = 0);

    // Takes the first queued message, if any, and runs its handler. A message
    // without "+" or with a command nobody handles is dropped silently.
    // Answers whether a message was taken.
    bool dispatchOne();

    // Forgets every queued message of that origin.
    void discardFrom(int origin);

    int queued() const { return int(m_queue.size()); }
    int queuedFrom(int origin) const { return m_perOrigin.value(origin); }

private:
    struct Entry
    {
        QByteArray text;
        int origin;
    };

    QQueue<Entry> m_queue;
    QHash<int, int> m_perOrigin;
    QHash<QByteArray, Handler> m_handlers;
};
