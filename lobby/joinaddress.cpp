#include "lobby/joinaddress.h"

#include <QByteArrayList>

#include <arpa/inet.h>
#include <netinet/in.h>

namespace {

bool isNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-'
           || c == '_';
}

// A machine's name: dot-separated parts of letters, digits, "-" and "_",
// none empty, none starting or ending with "-", within the DNS bounds. A
// name of digits and dots alone must be an IPv4 number.
bool isHostName(const QByteArray &name)
{
    QByteArray body = name;
    if (body.endsWith('.'))
        body.chop(1);
    if (body.isEmpty() || body.size() > JoinAddress::MaxNameLength)
        return false;
    bool digitsOnly = true;
    for (const QByteArray &label : body.split('.')) {
        if (label.isEmpty() || label.size() > JoinAddress::MaxLabelLength)
            return false;
        if (label.startsWith('-') || label.endsWith('-'))
            return false;
        for (char c : label) {
            if (!isNameCharacter(c))
                return false;
            if (c < '0' || c > '9')
                digitsOnly = false;
        }
    }
    if (digitsOnly) {
        in_addr v4{};
        return inet_pton(AF_INET, body.constData(), &v4) == 1;
    }
    return true;
}

// An IPv6 number, optionally with "%" and the name of an interface.
bool isIpv6(const QByteArray &text)
{
    QByteArray number = text;
    const int percent = text.indexOf('%');
    if (percent >= 0) {
        const QByteArray scope = text.mid(percent + 1);
        if (scope.isEmpty() || scope.size() > 15)
            return false;
        for (char c : scope)
            if (!isNameCharacter(c) && c != '.')
                return false;
        number = text.left(percent);
    }
    in6_addr v6{};
    return inet_pton(AF_INET6, number.constData(), &v6) == 1;
}

// A port: decimal digits naming 1 to 65535.
bool readPort(const QByteArray &text, quint16 &port)
{
    if (text.isEmpty())
        return false;
    quint32 value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + quint32(c - '0');
        if (value > 65535)
            return false;
    }
    if (value == 0)
        return false;
    port = quint16(value);
    return true;
}

} // namespace

JoinAddress JoinAddress::parse(const QString &typed, quint16 defaultPort)
{
    JoinAddress address;
    address.m_defaultPort = defaultPort;
    address.m_port = defaultPort;
    const QString trimmed = typed.trimmed();
    if (trimmed.isEmpty()) {
        address.m_error = QStringLiteral("Type the name or address of the machine that hosts the game.");
        return address;
    }
    if (trimmed.size() > MaxTypedLength) {
        address.m_error = QStringLiteral("That address is too long.");
        return address;
    }
    const QString notAnAddress = QStringLiteral("\u201c%1\u201d is not the name or address of a machine.");
    const QString badPort = QStringLiteral("The port after the \u201c:\u201d must be a number from 1 to 65535.");
    // Machine names are plain ASCII; anything else is refused before it can
    // reach a resolver. A slash means a web address, not a machine.
    for (QChar c : trimmed)
        if (c.unicode() < 0x21 || c.unicode() > 0x7e || c == QLatin1Char('/')) {
            address.m_error = notAnAddress.arg(trimmed);
            return address;
        }
    const QByteArray text = trimmed.toLatin1();

    QByteArray host;
    QByteArray port;
    bool bracketed = false;
    if (text.startsWith('[')) {
        const int close = text.indexOf(']');
        if (close < 0) {
            address.m_error = notAnAddress.arg(trimmed);
            return address;
        }
        host = text.mid(1, close - 1);
        const QByteArray after = text.mid(close + 1);
        if (!after.isEmpty()) {
            if (!after.startsWith(':')) {
                address.m_error = notAnAddress.arg(trimmed);
                return address;
            }
            port = after.mid(1);
            if (port.isEmpty()) {
                address.m_error = badPort;
                return address;
            }
        }
        bracketed = true;
    } else if (text.count(':') >= 2) {
        host = text;   // an IPv6 number without a port
        bracketed = true;
    } else {
        const int colon = text.indexOf(':');
        host = colon < 0 ? text : text.left(colon);
        if (colon >= 0) {
            port = text.mid(colon + 1);
            if (port.isEmpty()) {
                address.m_error = badPort;
                return address;
            }
        }
    }

    if (bracketed ? !isIpv6(host) : !isHostName(host)) {
        address.m_error = notAnAddress.arg(QString::fromLatin1(bracketed || host.isEmpty() ? text : host));
        return address;
    }
    if (!port.isEmpty() && !readPort(port, address.m_port)) {
        address.m_error = badPort;
        return address;
    }
    address.m_host = host;
    return address;
}

QString JoinAddress::text() const
{
    const QString host = QString::fromLatin1(m_host);
    if (m_port == m_defaultPort)
        return host;
    const bool ipv6 = m_host.contains(':');
    return (ipv6 ? QLatin1Char('[') + host + QLatin1Char(']') : host) + QLatin1Char(':') + QString::number(m_port);
}
