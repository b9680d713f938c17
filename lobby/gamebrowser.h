#pragma once

#include "lobby/foundgames.h"
#include "lobby/mdnsclient.h"

#include <QHash>
#include <QObject>
#include <QString>

struct AvahiServiceBrowser;
struct AvahiServiceResolver;

// Finds the games announced on the local network (services of type
// _zarvex._tcp), resolves each to an address, a port and its TXT values,
// and keeps them in a list that follows every change: a game that appears,
// one whose players come and go, one that ends. The list is empty and
// daemonRunning() false while no Avahi daemon answers.
class GameBrowser : public QObject
{
    Q_OBJECT

public:
    // Announcements resolved at once; a network that announces more is
    // not followed further.
    static constexpr int MaxInstances = 128;

    explicit GameBrowser(QObject *parent = nullptr);
    ~GameBrowser() override;

    void start();
    void stop();
    bool isBrowsing() const { return m_wanted; }

    FoundGames *games() { return &m_games; }
    bool daemonRunning() const { return m_link.isRunning(); }
    // One line on the state of the search: empty while it runs, the Avahi
    // line while no daemon answers.
    QString statusText() const;

signals:
    void daemonChanged();

private:
    struct Instance
    {
        AvahiServiceResolver *resolver = nullptr;
        bool resolved = false;
        FoundGame game;
    };
    // One announcement as seen on one interface and protocol.
    struct Key
    {
        int interface;
        int protocol;
        QString name;
        QString domain;
        bool operator==(const Key &o) const
        {
            return interface == o.interface && protocol == o.protocol && name == o.name && domain == o.domain;
        }
    };
    friend size_t qHash(const Key &k, size_t seed) { return qHashMulti(seed, k.interface, k.protocol, k.name, k.domain); }

    static void onBrowse(AvahiServiceBrowser *b, int interface, int protocol, int event, const char *name,
                         const char *type, const char *domain, int flags, void *self);
    static void onResolve(AvahiServiceResolver *r, int interface, int protocol, int event, const char *name,
                          const char *type, const char *domain, const char *hostName, const void *address,
                          quint16 port, void *txt, int flags, void *self);
    void browse();
    void dropAll();
    void added(const Key &key, const char *type);
    void removed(const Key &key);
    // The list's row for a name and domain from whatever instances of it
    // are resolved; IPv4 preferred.
    void refresh(const QString &name, const QString &domain);

    MdnsClient m_link;
    AvahiServiceBrowser *m_browser = nullptr;
    QHash<Key, Instance> m_instances;
    FoundGames m_games;
    bool m_wanted = false;
};
