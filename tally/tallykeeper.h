#pragma once

#include "tally/tallystore.h"

#include <QObject>
#include <QPointer>

class GameClient;

// The tally of one run from start-up to exit, whether or not the player ever
// opens its window: it loads the table as the program comes up, records
// every game the player's client finishes against the other seated players,
// and saves after every change and once more as it goes. Problems with the
// file are reported through ErrorReport.
class TallyKeeper : public QObject
{
    Q_OBJECT

public:
    // client: whose finished games are recorded and whose seats the tally
    // offers; none for a tally that records only what it is handed.
    TallyKeeper(GameClient *client, const QString &fileName, QObject *parent = nullptr);

    TallyStore &store() { return m_store; }

    // The current game's check list, from the client's seats.
    void loadchecklist();
    // A finished game: "addtomine" when the player won, else the winner.
    void addgame(const QByteArray &winner);

private:
    QStringList seatedNames() const;

    QPointer<GameClient> m_client;
    TallyStore m_store;
};
