#pragma once

#include <QByteArray>
#include <QList>

// Cuts the bytes of one connection into messages at the terminator byte.
// Bytes after the last terminator wait as the pending fragment for the rest
// of their message.
class MessageAssembler
{
public:
    // Appends received bytes and answers the messages they completed, in
    // order, without their terminators; an entry may be empty.
    QList<QByteArray> feed(const QByteArray &bytes);

    int pendingSize() const { return int(m_pending.size()); }
    void clear() { m_pending.clear(); }

private:
    QByteArray m_pending;
};
