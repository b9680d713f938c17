#pragma once

#include <QByteArray>
#include <QString>

// A file that comes from outside the program (the tally, the settings file,
// a word list), read whole but never beyond a bound. Only a plain file is
// read, a link being followed to decide: a folder, a device or a pipe is
// refused without waiting on it or reading from it, and a file that holds
// more than the bound is refused after reading one byte past it, however
// large it claims to be.
class BoundedFile
{
public:
    enum Status { Read, Missing, Folder, NotPlain, TooLarge, Failed };

    static BoundedFile read(const QString &path, qint64 bound);

    Status status() const { return m_status; }
    bool isRead() const { return m_status == Read; }
    // The whole file once it is read; empty otherwise.
    const QByteArray &bytes() const { return m_bytes; }
    // Why the file was not read, in words to show a player: "there is no
    // such file", "it is a folder", "it is no plain file", "it is larger
    // than 4 MB", or the system's reason ("Permission denied"). Empty once
    // it is read.
    QString reason() const;

private:
    Status m_status = Failed;
    qint64 m_bound = 0;
    QByteArray m_bytes;
    QString m_systemReason;
};
