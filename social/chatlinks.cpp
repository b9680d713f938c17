#include "social/chatlinks.h"

int ChatLinks::add(const QString &word)
{
    m_texts.append(word);
    return linkcounter();
}

QString ChatLinks::target(int number) const
{
    if (number < 0 || number >= m_texts.size())
        return QString();
    QString text = m_texts.at(number);
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

QUrl ChatLinks::webAddress(const QString &text)
{
    const QUrl url = QUrl::fromUserInput(text);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return QUrl();
    return url;
}
