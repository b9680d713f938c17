#include "lobby/joinattempt.h"

#include "protocol/sockerrors.h"

JoinAttempt::JoinAttempt(Ticker::Mode timers, QObject *parent)
    : QObject(parent), m_timeout(TimeoutSeconds * 1000, timers, [this] { timeoutTimer(); })
{
}

void JoinAttempt::begin(const QString &address)
{
    m_address = address;
    m_waiting = true;
    m_timeout.setEnabled(false);
    m_timeout.setEnabled(true);
}

void JoinAttempt::succeeded()
{
    cancel();
}

void JoinAttempt::cancel()
{
    m_waiting = false;
    m_timeout.setEnabled(false);
}

JoinAttempt::Failure JoinAttempt::failureOf(const QByteArray &socketText)
{
    if (socketText.startsWith("Host Lookup") || socketText.startsWith("Port Lookup"))
        return NotFound;
    if (socketText.contains("(" + SockErrors::name(10061) + ")") || socketText == "Socket Closed")
        return Refused;
    // Unreachable networks and machines, and whatever else kept the
    // connection from coming up: nobody answered.
    return NoAnswer;
}

QString JoinAttempt::text(Failure failure, const QString &address)
{
    switch (failure) {
    case Refused:
        return QStringLiteral("Nobody is hosting a game at %1.").arg(address);
    case NotFound:
        return QStringLiteral("%1 could not be found.").arg(address);
    case NoAnswer:
    default:
        return QStringLiteral("No answer from %1 after %2 seconds.").arg(address).arg(TimeoutSeconds);
    }
}

void JoinAttempt::socketFailed(const QByteArray &socketText)
{
    if (m_waiting)
        fail(failureOf(socketText), QString::fromLatin1(socketText));
}

void JoinAttempt::timeoutTimer()
{
    if (m_waiting)
        fail(NoAnswer, QStringLiteral("Error #10060 (") + QString::fromLatin1(SockErrors::name(10060))
                           + QLatin1Char(')'));
}

void JoinAttempt::fail(Failure failure, const QString &detail)
{
    cancel();
    emit failed(text(failure, m_address), detail);
}
