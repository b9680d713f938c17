#pragma once

#include "lobby/avahiqtpoll.h"

#include <QObject>
#include <QString>
#include <QTimer>

struct AvahiClient;

// The link to the system's Avahi daemon, which finds and announces services
// on the local network by multicast DNS. The link waits for a daemon that is
// not running yet and comes back by itself after a daemon restarts; every
// browser and announcement made through it must be made again when it
// reports running() and dropped when it reports lost().
class MdnsClient : public QObject
{
    Q_OBJECT

public:
    enum State { Unavailable, Running };
    // How often a link without any D-Bus system bus is tried again.
    static constexpr int RetryMs = 5000;

    explicit MdnsClient(QObject *parent = nullptr);
    ~MdnsClient() override;

    // Connects; running() may be emitted before this returns.
    void start();
    void stop();

    State state() const { return m_state; }
    bool isRunning() const { return m_state == Running; }
    // Valid while running.
    AvahiClient *client() const { return m_client; }

    // The one line shown where no daemon answers.
    static QString unavailableText();

signals:
    void running();
    // Every browser and announcement made through the link is gone; the
    // link may come back.
    void lost();
    // The daemon's own host name clashed with another machine's and is
    // being renamed: announcements must be withdrawn until running() again.
    void hostNameChanging();

private:
    static void onState(AvahiClient *client, int state, void *self);
    void handle(AvahiClient *client, int state);
    void connectNow();
    void drop();

    AvahiQtPoll m_poll;
    AvahiClient *m_client = nullptr;
    State m_state = Unavailable;
    QTimer m_retry;
    bool m_started = false;
};
