#include "lobby/gamebrowser.h"

#include "lobby/gameannouncer.h"

#include <avahi-client/lookup.h>
#include <avahi-common/address.h>
#include <avahi-common/strlst.h>

GameBrowser::GameBrowser(QObject *parent) : QObject(parent)
{
    connect(&m_link, &MdnsClient::running, this, [this] {
        browse();
        emit daemonChanged();
    });
    connect(&m_link, &MdnsClient::lost, this, [this] {
        // The daemon took the browser and resolvers with it.
        m_browser = nullptr;
        for (Instance &i : m_instances)
            i.resolver = nullptr;
        m_instances.clear();
        m_games.clear();
        emit daemonChanged();
    });
}

GameBrowser::~GameBrowser()
{
    dropAll();
}

QString GameBrowser::statusText() const
{
    return m_link.isRunning() ? QString() : MdnsClient::unavailableText();
}

void GameBrowser::start()
{
    if (m_wanted)
        return;
    m_wanted = true;
    if (m_link.isRunning())
        browse();
    else
        m_link.start();
}

void GameBrowser::stop()
{
    m_wanted = false;
    dropAll();
    m_games.clear();
    m_link.stop();
}

void GameBrowser::dropAll()
{
    for (Instance &i : m_instances)
        if (i.resolver)
            avahi_service_resolver_free(i.resolver);
    m_instances.clear();
    if (m_browser) {
        AvahiServiceBrowser *browser = m_browser;
        m_browser = nullptr;
        avahi_service_browser_free(browser);
    }
}

void GameBrowser::browse()
{
    if (!m_wanted || m_browser || !m_link.isRunning())
        return;
    m_browser = avahi_service_browser_new(
        m_link.client(), AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, GameAnnouncer::ServiceType, nullptr,
        AvahiLookupFlags(0),
        [](AvahiServiceBrowser *b, AvahiIfIndex i, AvahiProtocol p, AvahiBrowserEvent e, const char *n,
           const char *t, const char *d, AvahiLookupResultFlags f, void *self) {
            onBrowse(b, i, p, e, n, t, d, f, self);
        },
        this);
}

void GameBrowser::onBrowse(AvahiServiceBrowser *, int interface, int protocol, int event, const char *name,
                           const char *type, const char *domain, int, void *self)
{
    auto *browser = static_cast<GameBrowser *>(self);
    if (!name || !type || !domain)
        return;
    const Key key{interface, protocol, QString::fromUtf8(name), QString::fromUtf8(domain)};
    if (event == AVAHI_BROWSER_NEW)
        browser->added(key, type);
    else if (event == AVAHI_BROWSER_REMOVE)
        browser->removed(key);
}

void GameBrowser::added(const Key &key, const char *type)
{
    if (m_instances.contains(key) || m_instances.size() >= MaxInstances)
        return;
    Instance &instance = m_instances[key];
    // The resolver stays: it reports the TXT values again whenever they change.
    instance.resolver = avahi_service_resolver_new(
        m_link.client(), key.interface, key.protocol, key.name.toUtf8().constData(), type,
        key.domain.toUtf8().constData(), AvahiProtocol(key.protocol), AvahiLookupFlags(0),
        [](AvahiServiceResolver *r, AvahiIfIndex i, AvahiProtocol p, AvahiResolverEvent e, const char *n,
           const char *t, const char *d, const char *h, const AvahiAddress *a, uint16_t port,
           AvahiStringList *txt, AvahiLookupResultFlags f, void *self) {
            onResolve(r, i, p, e, n, t, d, h, a, port, txt, f, self);
        },
        this);
    if (!instance.resolver)
        m_instances.remove(key);
}

void GameBrowser::removed(const Key &key)
{
    const auto it = m_instances.find(key);
    if (it == m_instances.end())
        return;
    if (it->resolver)
        avahi_service_resolver_free(it->resolver);
    m_instances.erase(it);
    refresh(key.name, key.domain);
}

void GameBrowser::onResolve(AvahiServiceResolver *r, int interface, int protocol, int event, const char *name,
                            const char *, const char *domain, const char *hostName, const void *address,
                            quint16 port, void *txt, int, void *self)
{
    auto *browser = static_cast<GameBrowser *>(self);
    if (!name || !domain)
        return;
    const Key key{interface, protocol, QString::fromUtf8(name), QString::fromUtf8(domain)};
    const auto it = browser->m_instances.find(key);
    if (it == browser->m_instances.end() || it->resolver != r)
        return;
    if (event != AVAHI_RESOLVER_FOUND || !address) {
        it->resolved = false;
        browser->refresh(key.name, key.domain);
        return;
    }
    char text[AVAHI_ADDRESS_STR_MAX] = {};
    const auto *a = static_cast<const AvahiAddress *>(address);
    avahi_address_snprint(text, sizeof text, a);
    FoundGame &game = it->game;
    game.name = key.name;
    game.domain = key.domain;
    QString machine = QString::fromUtf8(hostName ? hostName : "");
    if (machine.endsWith(QLatin1String(".local")))
        machine.chop(6);
    game.machine = machine.left(GameTxt::MaxHostName);
    game.address = text;
    // A link-local IPv6 address is reached through its interface.
    if (a->proto == AVAHI_PROTO_INET6 && game.address.startsWith("fe80:") && interface > 0)
        game.address += '%' + QByteArray::number(interface);
    game.port = port;
    QList<QByteArray> records;
    for (AvahiStringList *s = static_cast<AvahiStringList *>(txt); s && records.size() < GameTxt::MaxRecords;
         s = avahi_string_list_get_next(s))
        records.append(QByteArray(reinterpret_cast<const char *>(avahi_string_list_get_text(s)),
                                  int(avahi_string_list_get_size(s))));
    game.txt = GameTxt::fromRecords(records);
    it->resolved = true;
    browser->refresh(key.name, key.domain);
}

void GameBrowser::refresh(const QString &name, const QString &domain)
{
    const FoundGame *best = nullptr;
    for (auto it = m_instances.cbegin(); it != m_instances.cend(); ++it) {
        if (!it->resolved || it.key().name != name || it.key().domain != domain)
            continue;
        if (!best || (it.key().protocol == AVAHI_PROTO_INET && best->address.contains(':')))
            best = &it->game;
    }
    if (best)
        m_games.upsert(*best);
    else
        m_games.remove(name, domain);
}
