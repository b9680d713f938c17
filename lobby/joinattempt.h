#pragma once

#include "protocol/ticker.h"

#include <QObject>
#include <QString>

// Watches a connection to a host that a player asked for and, when it
// fails, says why in the player's words: nobody listens there, the name is
// unknown, or no answer came within TimeoutSeconds. The socket's own text
// comes along as a detail.
class JoinAttempt : public QObject
{
    Q_OBJECT

public:
    static constexpr int TimeoutSeconds = 10;

    enum Failure { Refused, NotFound, NoAnswer };

    explicit JoinAttempt(Ticker::Mode timers, QObject *parent = nullptr);

    // address: as the player is shown it ("box", "box:7790").
    void begin(const QString &address);
    // The connection is up: nothing more to watch.
    void succeeded();
    void cancel();
    bool isWaiting() const { return m_waiting; }
    QString address() const { return m_address; }

    // The socket layer's text of a failed connect or lookup.
    void socketFailed(const QByteArray &socketText);
    // The timeout's handler; with Manual timers the owner calls it.
    void timeoutTimer();
    bool timeoutEnabled() const { return m_timeout.enabled(); }

    static Failure failureOf(const QByteArray &socketText);
    static QString text(Failure failure, const QString &address);

signals:
    void failed(const QString &text, const QString &detail);

private:
    void fail(Failure failure, const QString &detail);

    Ticker m_timeout;
    QString m_address;
    bool m_waiting = false;
};
