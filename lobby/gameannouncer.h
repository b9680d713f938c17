#pragma once

#include "lobby/gametxt.h"
#include "lobby/mdnsclient.h"

#include <QObject>
#include <QString>

struct AvahiEntryGroup;

// Announces one game on the local network as a DNS-SD service of type
// _zarvex._tcp on the game's port, with its TXT records kept current. A
// name another machine already uses gets a number added ("... #2"). Without
// an Avahi daemon nothing is announced; the announcement appears when a
// daemon comes up and again after it restarts.
class GameAnnouncer : public QObject
{
    Q_OBJECT

public:
    static const char *const ServiceType;   // "_zarvex._tcp"
    // A service name is one DNS label: at most 63 bytes of UTF-8.
    static constexpr int MaxNameBytes = 63;

    explicit GameAnnouncer(QObject *parent = nullptr);
    ~GameAnnouncer() override;

    // "Ann's game on box", the player's name shortened to fit the label.
    static QString serviceName(const QString &player, const QString &machine);
    // A name cut to MaxNameBytes at a character boundary.
    static QString fitName(const QString &name);

    void announce(const QString &name, quint16 port, const GameTxt &txt);
    // New TXT values; sent only when they differ from the last ones.
    void setTxt(const GameTxt &txt);
    void withdraw();

    // The name on the network (after any renaming), and whether the daemon
    // has confirmed the announcement.
    QString name() const { return m_name; }
    bool isEstablished() const { return m_established; }
    bool isAnnouncing() const { return m_wanted; }
    const GameTxt &txt() const { return m_txt; }
    bool daemonRunning() const { return m_link.isRunning(); }
    quint16 port() const { return m_port; }

signals:
    // The daemon confirmed the announcement under this name.
    void established(const QString &name);
    // Anything about the announcement changed.
    void changed();

private:
    static void onGroup(AvahiEntryGroup *group, int state, void *self);
    void groupState(AvahiEntryGroup *group, int state);
    void publish();
    void dropGroup();
    void rename();
    void sendTxt();

    MdnsClient m_link;
    AvahiEntryGroup *m_group = nullptr;
    QString m_name;
    quint16 m_port = 0;
    GameTxt m_txt;
    GameTxt m_sentTxt;   // the values the daemon has
    bool m_wanted = false;
    bool m_established = false;
};
