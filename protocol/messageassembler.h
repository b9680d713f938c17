#pragma once

#include <QByteArray>
#include <QList>

// Cuts the bytes of one connection into messages at the terminator byte.
// Bytes after the last terminator wait as the pending fragment for the rest
// of their message.
//
// With a limit set, a message longer than the limit is thrown away whole:
// its bytes are dropped as they come, up to and including its terminator,
// and the messages after it are cut as usual. The pending fragment never
// holds more than the limit, whatever a peer sends.
class MessageAssembler
{
public:
    // Appends received bytes and answers the messages they completed, in
    // order, without their terminators; an entry may be empty.
    QList<QByteArray> feed(const QByteArray &bytes);

    // The longest message kept, in bytes; 0 keeps every message.
    void setLimit(int bytes) { m_limit = bytes; }
    int limit() const { return m_limit; }

    int pendingSize() const { return int(m_pending.size()); }
    // How many messages were thrown away for their length.
    int discarded() const { return m_discarded; }
    void clear()
    {
        m_pending.clear();
        m_skipping = false;
    }

private:
    // Takes one piece of text that a terminator ends (ended) or that waits
    // for more.
    void take(QByteArray &&piece, bool ended, QList<QByteArray> &complete);

    QByteArray m_pending;
    int m_limit = 0;
    bool m_skipping = false;   // inside a message that is too long
    int m_discarded = 0;
};
