#include "server/seatholds.h"

#include <QString>

#include <algorithm>

void SeatHolds::hold(int seat, const QByteArray &name, const QByteArray &address)
{
    release(seat);
    Hold h;
    h.seat = seat;
    h.name = name;
    h.address = address;
    h.secondsLeft = holdSeconds;
    const auto at = std::find_if(m_holds.begin(), m_holds.end(), [seat](const Hold &o) { return o.seat > seat; });
    m_holds.insert(at, h);
}

const SeatHolds::Hold *SeatHolds::find(int seat) const
{
    for (const Hold &h : m_holds)
        if (h.seat == seat)
            return &h;
    return nullptr;
}

int SeatHolds::unclaimedFor(const QByteArray &address) const
{
    for (const Hold &h : m_holds)
        if (!h.claimed && h.address == address)
            return h.seat;
    return 0;
}

int SeatHolds::unclaimedFor(const QByteArray &address, const QByteArray &name) const
{
    for (const Hold &h : m_holds)
        if (!h.claimed && h.address == address && sameName(h.name, name))
            return h.seat;
    return 0;
}

void SeatHolds::claim(int seat, bool on)
{
    for (Hold &h : m_holds)
        if (h.seat == seat)
            h.claimed = on;
}

bool SeatHolds::belongsTo(int seat, const QByteArray &name) const
{
    const Hold *h = find(seat);
    return h && sameName(h->name, name);
}

SeatHolds::Hold SeatHolds::release(int seat)
{
    for (int i = 0; i < m_holds.size(); ++i) {
        if (m_holds[i].seat == seat)
            return m_holds.takeAt(i);
    }
    return Hold();
}

QList<SeatHolds::Hold> SeatHolds::tick()
{
    QList<Hold> ended;
    for (int i = 0; i < m_holds.size();) {
        if (--m_holds[i].secondsLeft <= 0)
            ended << m_holds.takeAt(i);
        else
            ++i;
    }
    return ended;
}

bool SeatHolds::sameName(const QByteArray &a, const QByteArray &b)
{
    return QString::fromUtf8(a).compare(QString::fromUtf8(b), Qt::CaseInsensitive) == 0;
}
