#include "protocol/fieldreader.h"

#include "protocol/wire.h"

#include <limits>

QByteArray FieldReader::text()
{
    const int plus = m_rest.indexOf(Wire::Separator);
    if (plus < 0)
        return QByteArray();
    QByteArray field = m_rest.left(plus);
    m_rest.remove(0, plus + 1);
    return field;
}

int FieldReader::integer()
{
    int value = 0;
    if (!parseInt(text(), value))
        throw Unreadable();
    return value;
}

int FieldReader::lastInteger() const
{
    int value = 0;
    if (!parseInt(m_rest, value))
        throw Unreadable();
    return value;
}

bool FieldReader::parseInt(const QByteArray &text, int &value)
{
    int i = 0;
    const bool negative = !text.isEmpty() && text.at(0) == '-';
    if (negative)
        i = 1;
    if (i >= text.size())
        return false;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c < '0' || c > '9')
            return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > qint64(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    const qint64 signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<int>::max())
        return false;
    value = int(signedValue);
    return true;
}
