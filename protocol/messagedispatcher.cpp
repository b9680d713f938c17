#include "protocol/messagedispatcher.h"

#include "protocol/wire.h"

void MessageDispatcher::on(const QByteArray &command, Handler handler)
{
    m_handlers.insert(command, std::move(handler));
}

void MessageDispatcher::enqueue(const QByteArray &text, int origin)
{
    m_queue.enqueue({text, origin});
    ++m_perOrigin[origin];
}

bool MessageDispatcher::dispatchOne()
{
    if (m_queue.isEmpty())
        return false;
    const Entry entry = m_queue.dequeue();
    if (--m_perOrigin[entry.origin] == 0)
        m_perOrigin.remove(entry.origin);

    const int plus = entry.text.indexOf(Wire::Separator);
    if (plus <= 0)
        return true;
    const auto found = m_handlers.constFind(entry.text.left(plus));
    if (found == m_handlers.constEnd())
        return true;
    const Handler handler = *found;   // the handler may change the table
    FieldReader fields(entry.text.mid(plus + 1));
    try {
        handler(fields, entry.origin);
    } catch (const FieldReader::Unreadable &) {
        // The message ends at the field that could not be read.
    }
    return true;
}

void MessageDispatcher::discardFrom(int origin)
{
    if (!m_perOrigin.remove(origin))
        return;
    QQueue<Entry> kept;
    for (Entry &entry : m_queue)
        if (entry.origin != origin)
            kept.enqueue(std::move(entry));
    m_queue.swap(kept);
}
