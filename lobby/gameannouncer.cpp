#include "lobby/gameannouncer.h"

#include <avahi-client/publish.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>

const char *const GameAnnouncer::ServiceType = "_zarvex._tcp";

namespace {

AvahiStringList *txtList(const GameTxt &txt)
{
    AvahiStringList *list = nullptr;
    const QList<QByteArray> records = txt.records();
    // Prepending reverses; the records go out in their own order.
    for (auto it = records.crbegin(); it != records.crend(); ++it)
        list = avahi_string_list_add_arbitrary(list, reinterpret_cast<const uint8_t *>(it->constData()),
                                               size_t(it->size()));
    return list;
}

} // namespace

GameAnnouncer::GameAnnouncer(QObject *parent) : QObject(parent)
{
    connect(&m_link, &MdnsClient::running, this, &GameAnnouncer::publish);
    connect(&m_link, &MdnsClient::lost, this, [this] {
        // The daemon took the group with it.
        m_group = nullptr;
        m_established = false;
        emit changed();
    });
    connect(&m_link, &MdnsClient::hostNameChanging, this, [this] {
        if (m_group)
            avahi_entry_group_reset(m_group);
        m_established = false;
        emit changed();
    });
}

GameAnnouncer::~GameAnnouncer()
{
    dropGroup();
}

QString GameAnnouncer::fitName(const QString &name)
{
    QString fitted = name;
    while (fitted.toUtf8().size() > MaxNameBytes) {
        fitted.chop(1);
        if (!fitted.isEmpty() && fitted.back().isHighSurrogate())
            fitted.chop(1);
    }
    return fitted;
}

QString GameAnnouncer::serviceName(const QString &player, const QString &machine)
{
    const QString tail = QStringLiteral("'s game on ") + machine;
    QString who = player.simplified();
    // The player's name gives way first, but never wholly.
    while (who.size() > 1 && (who + tail).toUtf8().size() > MaxNameBytes)
        who.chop(1);
    return fitName(who + tail);
}

void GameAnnouncer::announce(const QString &name, quint16 port, const GameTxt &txt)
{
    dropGroup();
    m_name = fitName(name);
    m_port = port;
    m_txt = txt;
    m_wanted = true;
    m_established = false;
    if (m_link.isRunning())
        publish();
    else
        m_link.start();
    emit changed();
}

void GameAnnouncer::setTxt(const GameTxt &txt)
{
    if (txt == m_txt)
        return;
    m_txt = txt;
    // While the name is still being probed, the values wait for the end of
    // it: registering them anew would start the probing over.
    if (m_group && m_established)
        sendTxt();
    emit changed();
}

void GameAnnouncer::sendTxt()
{
    if (m_sentTxt == m_txt)
        return;
    AvahiStringList *list = txtList(m_txt);
    avahi_entry_group_update_service_txt_strlst(m_group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
                                                m_name.toUtf8().constData(), ServiceType, nullptr, list);
    avahi_string_list_free(list);
    m_sentTxt = m_txt;
}

void GameAnnouncer::withdraw()
{
    m_wanted = false;
    m_established = false;
    dropGroup();
    m_link.stop();
    emit changed();
}

void GameAnnouncer::dropGroup()
{
    if (m_group) {
        AvahiEntryGroup *group = m_group;
        m_group = nullptr;
        avahi_entry_group_free(group);
    }
}

void GameAnnouncer::publish()
{
    if (!m_wanted || !m_link.isRunning())
        return;
    if (!m_group) {
        m_group = avahi_entry_group_new(m_link.client(),
                                        [](AvahiEntryGroup *g, AvahiEntryGroupState s, void *self) {
                                            onGroup(g, int(s), self);
                                        },
                                        this);
        if (!m_group)
            return;
    } else {
        avahi_entry_group_reset(m_group);
    }
    m_established = false;
    m_sentTxt = m_txt;
    for (int attempt = 0; attempt < 10; ++attempt) {
        AvahiStringList *list = txtList(m_txt);
        const int rc = avahi_entry_group_add_service_strlst(
            m_group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0), m_name.toUtf8().constData(),
            ServiceType, nullptr, nullptr, m_port, list);
        avahi_string_list_free(list);
        if (rc == AVAHI_ERR_COLLISION) {
            rename();
            continue;
        }
        if (rc >= 0)
            avahi_entry_group_commit(m_group);
        return;
    }
}

void GameAnnouncer::rename()
{
    char *next = avahi_alternative_service_name(m_name.toUtf8().constData());
    m_name = fitName(QString::fromUtf8(next));
    avahi_free(next);
}

void GameAnnouncer::onGroup(AvahiEntryGroup *group, int state, void *self)
{
    static_cast<GameAnnouncer *>(self)->groupState(group, state);
}

void GameAnnouncer::groupState(AvahiEntryGroup *group, int state)
{
    if (m_group && group != m_group)
        return;
    switch (state) {
    case AVAHI_ENTRY_GROUP_ESTABLISHED:
        m_established = true;
        sendTxt();   // what changed while the name was probed
        emit established(m_name);
        emit changed();
        break;
    case AVAHI_ENTRY_GROUP_COLLISION:
        // Another machine announces this name: take the next one.
        rename();
        if (m_group) {
            QMetaObject::invokeMethod(this, &GameAnnouncer::publish, Qt::QueuedConnection);
        }
        emit changed();
        break;
    default:
        break;
    }
}
