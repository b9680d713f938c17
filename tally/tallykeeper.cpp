#include "tally/tallykeeper.h"

#include "client/gameclient.h"
#include "shell/errorreport.h"
#include "tally/currentgame.h"

TallyKeeper::TallyKeeper(GameClient *client, const QString &fileName, QObject *parent)
    : QObject(parent), m_client(client), m_store(fileName)
{
    setObjectName(QStringLiteral("TallyKeeper"));
    connect(&m_store, &TallyStore::saveFailed, this, [](const QString &text) { ErrorReport::show(text); });
    if (client)
        connect(client, &GameClient::gameRecorded, this, &TallyKeeper::addgame);
    const QString error = m_store.load();
    if (!error.isEmpty())
        ErrorReport::show(error);
}

QStringList TallyKeeper::seatedNames() const
{
    return m_client ? CurrentGame::otherSeatedNames(*m_client) : QStringList();
}

void TallyKeeper::loadchecklist()
{
    m_store.loadchecklist(seatedNames());
}

void TallyKeeper::addgame(const QByteArray &winner)
{
    m_store.addgame(QString::fromUtf8(winner), seatedNames());
}
