#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

// Writes a file of the test's own into the folder; answers its path, or an
// empty text when it could not be written.
inline QString writeTestFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return file.fileName();
}

// The word of a CMD_theword message (or of its payload), from its letter codes.
inline QByteArray wordOf(const QByteArray &theword)
{
    const QList<QByteArray> fields = theword.split('+');
    QByteArray word;
    for (int i = 2; i < fields.size(); i += 2)
        word += char('a' + fields[i].toInt() - 1);
    return word;
}
