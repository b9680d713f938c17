#include "client/computerseats.h"

#include "client/computerplayer.h"

namespace {

bool takenIn(const QList<QByteArray> &names, const QByteArray &name)
{
    for (const QByteArray &n : names)
        if (n.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

ComputerSeats::ComputerSeats(Ticker::Mode timers, QObject *parent) : QObject(parent), m_timers(timers) {}

ComputerSeats::~ComputerSeats()
{
    for (const QPointer<ComputerPlayer> &p : m_players)
        delete p.data();
}

const QList<QByteArray> &ComputerSeats::friendlyNames()
{
    static const QList<QByteArray> names = {"Pippa", "Rufus", "Mabel", "Otis", "Clover",
                                            "Basil", "Tilly", "Juniper", "Ziggy", "Wren"};
    return names;
}

const QList<QByteArray> &ComputerSeats::builtInNames()
{
    static const QList<QByteArray> names = {"Klot", "Klock", "Kling", "Klick", "Krazy"};
    return names;
}

QByteArray ComputerSeats::friendlyName(const QList<QByteArray> &taken)
{
    const auto free = [&](const QByteArray &name) { return !takenIn(taken, name) && !takenIn(builtInNames(), name); };
    for (const QByteArray &name : friendlyNames())
        if (free(name))
            return name;
    for (int n = 2;; ++n)
        for (const QByteArray &name : friendlyNames())
            if (free(name + QByteArray::number(n)))
                return name + QByteArray::number(n);
}

ComputerPlayer *ComputerSeats::add(ComputerLevel::Level level, const QList<QByteArray> &namesInUse)
{
    QList<QByteArray> taken = namesInUse;
    for (ComputerPlayer *p : players())
        taken.append(p->name());
    auto *player = new ComputerPlayer(friendlyName(taken), level, m_timers, 1, this);
    m_players.append(player);
    // One that is removed from the game, or whose server goes, is gone.
    connect(player, &ComputerPlayer::finished, this, [this, player] {
        m_players.removeAll(player);
        player->deleteLater();
        emit changed();
    });
    player->connectTo(m_host, m_port);
    emit changed();
    return player;
}

void ComputerSeats::removeAll()
{
    for (ComputerPlayer *p : players())
        p->leave();
}

QList<ComputerPlayer *> ComputerSeats::players() const
{
    QList<ComputerPlayer *> out;
    for (const QPointer<ComputerPlayer> &p : m_players)
        if (p)
            out.append(p.data());
    return out;
}
