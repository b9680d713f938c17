#include "protocol/messageassembler.h"

#include "protocol/wire.h"

QList<QByteArray> MessageAssembler::feed(const QByteArray &bytes)
{
    QList<QByteArray> complete;
    int start = 0;
    int end = 0;
    while ((end = bytes.indexOf(Wire::Terminator, start)) >= 0) {
        take(bytes.mid(start, end - start), true, complete);
        start = end + 1;
    }
    if (start < bytes.size())
        take(bytes.mid(start), false, complete);
    return complete;
}

void MessageAssembler::take(QByteArray &&piece, bool ended, QList<QByteArray> &complete)
{
    if (m_skipping) {
        if (ended) {
            m_skipping = false;
            ++m_discarded;
        }
        return;
    }
    if (m_limit > 0 && m_pending.size() + piece.size() > m_limit) {
        m_pending.clear();
        if (ended)
            ++m_discarded;
        else
            m_skipping = true;
        return;
    }
    if (!ended) {
        m_pending += piece;
        return;
    }
    if (m_pending.isEmpty()) {
        complete.append(std::move(piece));
    } else {
        complete.append(m_pending + piece);
        m_pending.clear();
    }
}
