#include "lobby/avahiqtpoll.h"

#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <avahi-common/timeval.h>
#include <avahi-common/watch.h>

#include <climits>

// The objects behind Avahi's opaque handles. Both are QObjects children of
// the poll, so whatever Avahi leaves behind goes with it.

struct AvahiWatch : public QObject
{
    AvahiWatchCallback callback = nullptr;
    void *userdata = nullptr;
    int fd = -1;
    AvahiWatchEvent wanted = AvahiWatchEvent(0);
    AvahiWatchEvent happened = AvahiWatchEvent(0);
    QSocketNotifier *readable = nullptr;
    QSocketNotifier *writable = nullptr;
    bool freed = false;

    void update(AvahiWatchEvent events)
    {
        wanted = events;
        readable->setEnabled(!freed && (events & (AVAHI_WATCH_IN | AVAHI_WATCH_HUP | AVAHI_WATCH_ERR)));
        writable->setEnabled(!freed && (events & AVAHI_WATCH_OUT));
    }

    void fire(AvahiWatchEvent event)
    {
        if (freed)
            return;
        happened = event;
        callback(this, fd, event, userdata);
        if (!freed)
            happened = AvahiWatchEvent(0);
    }
};

struct AvahiTimeout : public QObject
{
    AvahiTimeoutCallback callback = nullptr;
    void *userdata = nullptr;
    QTimer timer;
    bool freed = false;

    // tv is a point in time, or null for none.
    void arm(const struct timeval *tv)
    {
        timer.stop();
        if (!tv || freed)
            return;
        // avahi_age answers how long ago tv was, in microseconds.
        const AvahiUsec ahead = -avahi_age(tv);
        const qint64 ms = ahead <= 0 ? 0 : (ahead + 999) / 1000;
        timer.start(int(qMin<qint64>(ms, INT_MAX)));
    }
};

namespace {

AvahiQtPoll *owner(const AvahiPoll *api)
{
    return static_cast<AvahiQtPoll *>(api->userdata);
}

AvahiWatch *watchNew(const AvahiPoll *api, int fd, AvahiWatchEvent event, AvahiWatchCallback callback,
                     void *userdata)
{
    auto *w = new AvahiWatch;
    w->setParent(owner(api));
    w->setObjectName(QStringLiteral("avahi watch"));
    w->callback = callback;
    w->userdata = userdata;
    w->fd = fd;
    w->readable = new QSocketNotifier(fd, QSocketNotifier::Read, w);
    w->writable = new QSocketNotifier(fd, QSocketNotifier::Write, w);
    QObject::connect(w->readable, &QSocketNotifier::activated, w, [w] { w->fire(AVAHI_WATCH_IN); });
    QObject::connect(w->writable, &QSocketNotifier::activated, w, [w] { w->fire(AVAHI_WATCH_OUT); });
    w->update(event);
    return w;
}

void watchUpdate(AvahiWatch *w, AvahiWatchEvent event)
{
    w->update(event);
}

AvahiWatchEvent watchGetEvents(AvahiWatch *w)
{
    return w->happened;
}

void watchFree(AvahiWatch *w)
{
    // Avahi may free a watch inside its own callback: it stops at once and
    // goes when the event loop next runs.
    w->freed = true;
    w->update(AvahiWatchEvent(0));
    w->deleteLater();
}

AvahiTimeout *timeoutNew(const AvahiPoll *api, const struct timeval *tv, AvahiTimeoutCallback callback,
                         void *userdata)
{
    auto *t = new AvahiTimeout;
    t->setParent(owner(api));
    t->setObjectName(QStringLiteral("avahi timeout"));
    t->callback = callback;
    t->userdata = userdata;
    t->timer.setSingleShot(true);
    QObject::connect(&t->timer, &QTimer::timeout, t, [t] {
        if (!t->freed)
            t->callback(t, t->userdata);
    });
    t->arm(tv);
    return t;
}

void timeoutUpdate(AvahiTimeout *t, const struct timeval *tv)
{
    t->arm(tv);
}

void timeoutFree(AvahiTimeout *t)
{
    t->freed = true;
    t->timer.stop();
    t->deleteLater();
}

} // namespace

AvahiQtPoll::AvahiQtPoll(QObject *parent) : QObject(parent), m_api(std::make_unique<AvahiPoll>())
{
    m_api->userdata = this;
    m_api->watch_new = watchNew;
    m_api->watch_update = watchUpdate;
    m_api->watch_get_events = watchGetEvents;
    m_api->watch_free = watchFree;
    m_api->timeout_new = timeoutNew;
    m_api->timeout_update = timeoutUpdate;
    m_api->timeout_free = timeoutFree;
}

AvahiQtPoll::~AvahiQtPoll() = default;

int AvahiQtPoll::liveWatches() const
{
    int n = 0;
    for (const QObject *o : findChildren<QObject *>(QStringLiteral("avahi watch"), Qt::FindDirectChildrenOnly))
        n += static_cast<const AvahiWatch *>(o)->freed ? 0 : 1;
    return n;
}

int AvahiQtPoll::liveTimeouts() const
{
    int n = 0;
    for (const QObject *o : findChildren<QObject *>(QStringLiteral("avahi timeout"), Qt::FindDirectChildrenOnly))
        n += static_cast<const AvahiTimeout *>(o)->freed ? 0 : 1;
    return n;
}
