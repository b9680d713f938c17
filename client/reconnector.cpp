#include "client/reconnector.h"

#include "shell/errorreport.h"

Reconnector::Reconnector(Ticker::Mode timers, QObject *parent)
    : QObject(parent),
      retrytimer(retrySeconds * 1000, timers, [this] { ErrorReport::guarded([this] { retrytimerTimer(); }); })
{
}

bool Reconnector::connectionLost(bool broken, bool mayRetry)
{
    if (m_active)
        return true;   // an attempt failed; the next one follows on the timer
    if (!broken || !mayRetry || !m_inGame)
        return false;
    m_active = true;
    m_seconds = 0;
    m_attempts = 0;
    emit reconnecting();
    retrytimer.setEnabled(true);
    tryNow();
    return true;
}

void Reconnector::loggedIn()
{
    if (!m_active)
        return;
    m_active = false;
    retrytimer.setEnabled(false);
    emit reconnected();
}

void Reconnector::stop()
{
    m_active = false;
    m_inGame = false;
    retrytimer.setEnabled(false);
}

void Reconnector::retrytimerTimer()
{
    if (!m_active) {
        retrytimer.setEnabled(false);
        return;
    }
    m_seconds += retrySeconds;
    if (m_seconds < giveUpSeconds) {
        tryNow();
        return;
    }
    m_active = false;
    retrytimer.setEnabled(false);
    emit gaveUp();
}

void Reconnector::tryNow()
{
    ++m_attempts;
    emit attempt();
}
