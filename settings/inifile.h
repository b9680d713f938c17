#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// A settings file of the INI kind, read and written the way private-profile
// files behave: section and key names match without regard to letter case, an
// absent key gives the caller's default, a key present with an empty value
// gives the empty text, values lose surrounding blanks and one pair of
// enclosing quotes and are cut at 2047 characters. Writing a key replaces its
// line where it stands or adds it at the end of its section; every other line
// of the file, comments, blank lines and line ends included, stays byte for
// byte. A new file gets CR LF line ends.
//
// Every call opens the file, does its work and closes it again, so several
// IniFile objects on the same path never see stale contents. A write builds
// the whole new file beside the old one and renames it into place, so the
// file on disk is always either the old or the new one, never half of each.
class IniFile
{
public:
    using Entry = std::pair<QString, QString>;
    using Entries = QList<Entry>;

    // Longest value a read returns; the rest is cut off.
    static constexpr int maxValueLength = 2047;
    // A larger file is taken for garbage: reads give defaults, writes refuse
    // to touch it rather than replace it by a file of a few keys.
    static constexpr qint64 maxFileSize = 4 * 1024 * 1024;

    explicit IniFile(QString path);

    QString path() const { return m_path; }

    QString readString(const QString &section, const QString &key,
                       const QString &defaultValue = QString()) const;
    // The value as a decimal integer with optional sign; the default when the
    // key is absent or its value is not such a number.
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    bool hasKey(const QString &section, const QString &key) const;

    // false when the file could not be written; errorString() then says why.
    bool writeString(const QString &section, const QString &key, const QString &value);
    bool writeInteger(const QString &section, const QString &key, int value);
    // All the entries in one write of the file, in their order: either all of
    // them land or none does.
    bool writeStrings(const QString &section, const Entries &entries);

    // "Unable to write to " and the file's full path, after a failed write.
    QString errorString() const { return m_error; }

private:
    QString m_path;
    QString m_error;
};
