#include "lobby/foundgames.h"

#include "protocol/wire.h"

QString FoundGame::summary(const QByteArray &ourVersion) const
{
    QString text = machine.isEmpty() ? QString() : machine + QStringLiteral(": ");
    // Who sits in seat 1, where the announced name does not say it already.
    if (!txt.host.isEmpty() && !name.startsWith(txt.host + QLatin1Char('\'')))
        text += txt.host + QStringLiteral(" hosts, ");
    return text + txt.summary(ourVersion);
}

FoundGames::FoundGames(QObject *parent) : QAbstractListModel(parent), m_ourVersion(Wire::Version) {}

int FoundGames::find(const QString &name, const QString &domain) const
{
    for (int row = 0; row < m_games.size(); ++row)
        if (m_games[row].name == name && m_games[row].domain == domain)
            return row;
    return -1;
}

int FoundGames::indexOf(const QString &name) const
{
    for (int row = 0; row < m_games.size(); ++row)
        if (m_games[row].name == name)
            return row;
    return -1;
}

bool FoundGames::upsert(const FoundGame &game)
{
    const int row = find(game.name, game.domain);
    if (row >= 0) {
        m_games[row] = game;
        emit dataChanged(index(row), index(row));
        return true;
    }
    if (m_games.size() >= MaxGames)
        return false;
    beginInsertRows(QModelIndex(), int(m_games.size()), int(m_games.size()));
    m_games.append(game);
    endInsertRows();
    return true;
}

void FoundGames::remove(const QString &name, const QString &domain)
{
    const int row = find(name, domain);
    if (row < 0)
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_games.removeAt(row);
    endRemoveRows();
}

void FoundGames::clear()
{
    if (m_games.isEmpty())
        return;
    beginResetModel();
    m_games.clear();
    endResetModel();
}

int FoundGames::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_games.size());
}

QVariant FoundGames::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_games.size())
        return QVariant();
    const FoundGame &g = m_games.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return g.name + QLatin1Char('\n') + g.summary(m_ourVersion);
    case Qt::ToolTipRole:
        return QStringLiteral("%1 port %2").arg(QString::fromLatin1(g.address)).arg(g.port);
    case NameRole:
        return g.name;
    case MachineRole:
        return g.machine;
    case AddressRole:
        return g.address;
    case PortRole:
        return g.port;
    case HostRole:
        return g.txt.host;
    case PlayersRole:
        return g.txt.players;
    case SpectatorsRole:
        return g.txt.spectators;
    case RunningRole:
        return g.txt.running;
    case VersionRole:
        return g.txt.version;
    case SummaryRole:
        return g.summary(m_ourVersion);
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> FoundGames::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(NameRole, "name");
    names.insert(MachineRole, "machine");
    names.insert(AddressRole, "address");
    names.insert(PortRole, "port");
    names.insert(HostRole, "host");
    names.insert(PlayersRole, "players");
    names.insert(SpectatorsRole, "spectators");
    names.insert(RunningRole, "running");
    names.insert(VersionRole, "version");
    names.insert(SummaryRole, "summary");
    return names;
}
