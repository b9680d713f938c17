#include "lobby/mdnsclient.h"

#include <avahi-client/client.h>
#include <avahi-common/error.h>

MdnsClient::MdnsClient(QObject *parent) : QObject(parent)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(RetryMs);
    connect(&m_retry, &QTimer::timeout, this, &MdnsClient::connectNow);
}

MdnsClient::~MdnsClient()
{
    m_started = false;
    drop();
}

QString MdnsClient::unavailableText()
{
    return QStringLiteral("Finding games on the network needs the Avahi service (avahi-daemon), "
                          "which is not running. Joining by address works as before.");
}

void MdnsClient::start()
{
    if (m_started)
        return;
    m_started = true;
    connectNow();
}

void MdnsClient::stop()
{
    m_started = false;
    m_retry.stop();
    const bool wasRunning = m_state == Running;
    drop();
    if (wasRunning)
        emit lost();
}

void MdnsClient::drop()
{
    m_state = Unavailable;
    if (m_client) {
        AvahiClient *client = m_client;
        m_client = nullptr;
        avahi_client_free(client);
    }
}

void MdnsClient::connectNow()
{
    if (!m_started || m_client)
        return;
    int error = 0;
    // Without a daemon the client still comes up and waits for one; without
    // even a system bus it does not, and is tried again later.
    AvahiClient *client = avahi_client_new(m_poll.poll(), AVAHI_CLIENT_NO_FAIL,
                                           [](AvahiClient *c, AvahiClientState s, void *self) {
                                               onState(c, int(s), self);
                                           },
                                           this, &error);
    if (!client) {
        m_state = Unavailable;
        m_retry.start();
        return;
    }
    m_client = client;
    // The first state may have arrived inside avahi_client_new.
    if (avahi_client_get_state(client) == AVAHI_CLIENT_S_RUNNING && m_state != Running) {
        m_state = Running;
        emit running();
    }
}

void MdnsClient::onState(AvahiClient *client, int state, void *self)
{
    static_cast<MdnsClient *>(self)->handle(client, state);
}

void MdnsClient::handle(AvahiClient *client, int state)
{
    if (!m_client)
        m_client = client;   // called from inside avahi_client_new
    switch (state) {
    case AVAHI_CLIENT_S_RUNNING:
        if (m_state != Running && m_client == client && m_client
            && avahi_client_get_state(client) == AVAHI_CLIENT_S_RUNNING) {
            m_state = Running;
            emit running();
        }
        break;
    case AVAHI_CLIENT_S_COLLISION:
    case AVAHI_CLIENT_S_REGISTERING:
        if (m_state == Running)
            emit hostNameChanging();
        break;
    case AVAHI_CLIENT_CONNECTING:
        if (m_state == Running) {
            m_state = Unavailable;
            emit lost();
        }
        break;
    case AVAHI_CLIENT_FAILURE:
    default: {
        const bool wasRunning = m_state == Running;
        m_state = Unavailable;
        if (wasRunning)
            emit lost();
        // Freed outside of Avahi's own callback, then tried again.
        QTimer::singleShot(0, this, [this, client] {
            if (m_client == client) {
                drop();
                if (m_started)
                    m_retry.start();
            }
        });
        break;
    }
    }
}
