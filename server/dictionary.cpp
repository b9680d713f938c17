#include "server/dictionary.h"

#include <QFile>
#include <QList>

namespace Dictionary {

namespace {

// The list is read from the program's resources the first time it is used
// and kept for the life of the process.
const QList<QByteArray> &entries()
{
    static const QList<QByteArray> words = [] {
        QFile file(QStringLiteral(":/zarvex/dictionary.txt"));
        if (!file.open(QIODevice::ReadOnly))
            qFatal("The built-in word list is missing from the program");
        QList<QByteArray> lines = file.readAll().split('\n');
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }();
    return words;
}

} // namespace

QByteArray GetString(int id)
{
    const QList<QByteArray> &words = entries();
    if (id < 0 || id >= words.size())
        return QByteArray();
    return words.at(id);
}

int count()
{
    return int(entries().size());
}

} // namespace Dictionary
