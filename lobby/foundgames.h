#pragma once

#include "lobby/gametxt.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QList>
#include <QString>

// One game found on the network, ready to join.
struct FoundGame
{
    QString name;          // the announced name, "Ann's game on box"
    QString domain;        // "local"
    QString machine;       // the host machine's name, without ".local"
    QByteArray address;    // its address as the socket takes it
    quint16 port = 0;
    GameTxt txt;

    // "box: 3 of 6 seated, game running"; "box: Bob hosts, 1 of 6 seated"
    // where the name does not tell who sits in seat 1.
    QString summary(const QByteArray &ourVersion) const;
};

// The games found on the network, as a list a window shows: one row per
// announced name, in the order they were found. A network may announce any
// number of services; past MaxGames the rest are not listed.
class FoundGames : public QAbstractListModel
{
    Q_OBJECT

public:
    static constexpr int MaxGames = 64;

    enum Roles {
        NameRole = Qt::UserRole + 1,
        MachineRole,
        AddressRole,
        PortRole,
        HostRole,
        PlayersRole,
        SpectatorsRole,
        RunningRole,
        VersionRole,
        SummaryRole,
    };

    explicit FoundGames(QObject *parent = nullptr);

    // The version of this program; other versions are named in the summary.
    void setOurVersion(const QByteArray &version) { m_ourVersion = version; }

    // Adds the game, or updates the row of a game of that name and domain.
    // Answers false when the list is full and the game is new.
    bool upsert(const FoundGame &game);
    void remove(const QString &name, const QString &domain);
    void clear();

    int count() const { return int(m_games.size()); }
    const FoundGame &at(int row) const { return m_games.at(row); }
    // The row of a game by name, -1 when it is not listed.
    int indexOf(const QString &name) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    int find(const QString &name, const QString &domain) const;

    QList<FoundGame> m_games;
    QByteArray m_ourVersion;
};
