#include "protocol/messageassembler.h"

#include "protocol/wire.h"

QList<QByteArray> MessageAssembler::feed(const QByteArray &bytes)
{
    QList<QByteArray> complete;
    int start = 0;
    int end = bytes.indexOf(Wire::Terminator);
    if (end < 0) {
        m_pending += bytes;
        return complete;
    }
    complete.append(m_pending + bytes.mid(0, end));
    m_pending.clear();
    start = end + 1;
    while ((end = bytes.indexOf(Wire::Terminator, start)) >= 0) {
        complete.append(bytes.mid(start, end - start));
        start = end + 1;
    }
    m_pending = bytes.mid(start);
    return complete;
}
