#include "protocol/messagedispatcher.h"

#include "protocol/wire.h"

#include <algorithm>
#include <vector>

void MessageDispatcher::on(const QByteArray &command, Handler handler)
{
    m_handlers.insert(command, std::move(handler));
}

void MessageDispatcher::enqueue(const QByteArray &text, int origin)
{
    m_byOrigin[origin].enqueue({text, m_arrivals++});
    ++m_queued;
}

std::optional<int> MessageDispatcher::oldestOrigin() const
{
    std::optional<int> oldest;
    quint64 first = 0;
    for (auto it = m_byOrigin.constBegin(); it != m_byOrigin.constEnd(); ++it)
        if (!oldest || it->head().arrival < first) {
            oldest = it.key();
            first = it->head().arrival;
        }
    return oldest;
}

bool MessageDispatcher::dispatchOne()
{
    const std::optional<int> origin = oldestOrigin();
    if (!origin)
        return false;
    takeFirst(*origin);
    return true;
}

int MessageDispatcher::dispatchRound()
{
    // The round is fixed before any handler runs: a handler may queue, drop
    // an origin's messages or end a connection.
    std::vector<std::pair<quint64, int>> round;
    round.reserve(size_t(m_byOrigin.size()));
    for (auto it = m_byOrigin.constBegin(); it != m_byOrigin.constEnd(); ++it)
        round.emplace_back(it->head().arrival, it.key());
    std::sort(round.begin(), round.end());
    int taken = 0;
    for (const auto &[arrival, origin] : round) {
        const auto queue = m_byOrigin.constFind(origin);
        if (queue == m_byOrigin.constEnd() || queue->head().arrival != arrival)
            continue;   // dropped meanwhile
        takeFirst(origin);
        ++taken;
    }
    return taken;
}

void MessageDispatcher::takeFirst(int origin)
{
    const auto queue = m_byOrigin.find(origin);
    const QByteArray text = queue->dequeue().text;
    if (queue->isEmpty())
        m_byOrigin.erase(queue);
    --m_queued;

    const int plus = text.indexOf(Wire::Separator);
    if (plus <= 0)
        return;
    const auto found = m_handlers.constFind(text.left(plus));
    if (found == m_handlers.constEnd())
        return;
    const Handler handler = *found;   // the handler may change the table
    FieldReader fields(text.mid(plus + 1));
    try {
        handler(fields, origin);
    } catch (const FieldReader::Unreadable &) {
        // The message ends at the field that could not be read.
    }
}

void MessageDispatcher::discardFrom(int origin)
{
    const auto queue = m_byOrigin.find(origin);
    if (queue == m_byOrigin.end())
        return;
    m_queued -= int(queue->size());
    m_byOrigin.erase(queue);
}
