#pragma once

#include <QObject>
#include <memory>

struct AvahiPoll;

// Avahi's main-loop interface served by the Qt event loop of the calling
// thread: its file descriptor watches become QSocketNotifiers and its
// timeouts QTimers, so the Avahi client runs on the user-interface thread
// beside everything else, without a thread of its own.
//
// Avahi creates and frees its watches and timeouts through poll(), often from
// inside their own callbacks; a freed one never calls back again and is
// deleted once control is back in the event loop. The poll must outlive every
// Avahi object made with it.
class AvahiQtPoll : public QObject
{
    Q_OBJECT

public:
    explicit AvahiQtPoll(QObject *parent = nullptr);
    ~AvahiQtPoll() override;

    const AvahiPoll *poll() const { return m_api.get(); }

    // Watches and timeouts not yet freed, for tests.
    int liveWatches() const;
    int liveTimeouts() const;

private:
    std::unique_ptr<AvahiPoll> m_api;
};
