#pragma once

#include "protocol/fieldreader.h"

#include <QByteArray>
#include <QHash>
#include <QQueue>
#include <functional>
#include <optional>

// The inbound queue of one end of the game and the table of its handlers.
// Received messages wait here in arrival order, each with the origin the
// receiver gave it (the server's connection, say), and are handed out on
// dispatch ticks to the handler named by their command: one per tick, or
// one of each origin per tick, whichever the receiver asks for.
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

    // Takes the first queued message of every origin that has one, oldest
    // first, and runs their handlers. An origin's own messages keep their
    // order and are handed out one a tick, however many others wait; a
    // message queued while the round runs waits for the next one. Answers how
    // many were taken.
    int dispatchRound();

    // Forgets every queued message of that origin.
    void discardFrom(int origin);

    int queued() const { return m_queued; }
    int queuedFrom(int origin) const
    {
        const auto found = m_byOrigin.constFind(origin);
        return found == m_byOrigin.constEnd() ? 0 : int(found->size());
    }

private:
    struct Entry
    {
        QByteArray text;
        quint64 arrival;   // the position in the order of arrival
    };

    // Removes the first message of the origin and runs its handler.
    void takeFirst(int origin);
    // The origin whose first message came earliest, or none.
    std::optional<int> oldestOrigin() const;

    QHash<int, QQueue<Entry>> m_byOrigin;   // only origins with messages
    int m_queued = 0;
    quint64 m_arrivals = 0;
    QHash<QByteArray, Handler> m_handlers;
};
