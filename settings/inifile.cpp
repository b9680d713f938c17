#include "settings/inifile.h"

#include "shell/boundedfile.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

// One line of the file as it stands on disk, its end kept apart so that an
// untouched line is written back exactly as it was read.

enum class Kind { Other, Section, Key };

struct Parsed
{
    Kind kind = Kind::Other;
    QString name;  // section or key name, blanks removed
    QString value; // raw value of a key line, blanks kept
};

Parsed parse(const QByteArray &bytes, bool first)
{
    QString text = QString::fromUtf8(bytes);
    if (first && text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text = text.trimmed();
    Parsed p;
    if (text.startsWith(QLatin1Char('['))) {
        const int close = text.indexOf(QLatin1Char(']'));
        p.kind = Kind::Section;
        p.name = (close < 0 ? text.mid(1) : text.mid(1, close - 1)).trimmed();
        return p;
    }
    if (text.startsWith(QLatin1Char(';')))
        return p;
    const int eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return p;
    p.kind = Kind::Key;
    p.name = text.left(eq).trimmed();
    p.value = text.mid(eq + 1);
    return p;
}

struct Line
{
    QByteArray text;
    QByteArray end; // "\r\n", "\n" or empty for a last line without one
    Kind kind = Kind::Other;
    QString name;   // of a section or key line, for lookups

    Line(QByteArray t, QByteArray e, bool first = false) : text(std::move(t)), end(std::move(e))
    {
        const Parsed p = parse(text, first);
        kind = p.kind;
        name = p.name;
    }
};

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

class Document
{
public:
    QList<Line> lines;

    void setBytes(const QByteArray &bytes)
    {
        lines.clear();
        qsizetype start = 0;
        while (start < bytes.size()) {
            const qsizetype nl = bytes.indexOf('\n', start);
            if (nl < 0) {
                lines.append(Line(bytes.mid(start), {}, lines.isEmpty()));
                break;
            }
            const bool crlf = nl > start && bytes.at(nl - 1) == '\r';
            const qsizetype textEnd = crlf ? nl - 1 : nl;
            lines.append(Line(bytes.mid(start, textEnd - start), crlf ? "\r\n" : "\n", lines.isEmpty()));
            start = nl + 1;
        }
    }

    QByteArray bytes() const
    {
        QByteArray out;
        for (const Line &l : lines)
            out += l.text + l.end;
        return out;
    }

    // The line end of the first line that has one; CR LF for a file without.
    QByteArray lineEnd() const
    {
        for (const Line &l : lines)
            if (!l.end.isEmpty())
                return l.end;
        return "\r\n";
    }

    Parsed at(int i) const { return parse(lines.at(i).text, i == 0); }
    Kind kindAt(int i) const { return lines.at(i).kind; }

    // Index of the first header of the section, or -1.
    int findSection(const QString &section) const
    {
        for (int i = 0; i < lines.size(); ++i)
            if (kindAt(i) == Kind::Section && sameName(lines.at(i).name, section))
                return i;
        return -1;
    }

    // One past the last line of the section whose header is at `header`.
    int sectionEnd(int header) const
    {
        int i = header + 1;
        while (i < lines.size() && kindAt(i) != Kind::Section)
            ++i;
        return i;
    }

    int findKey(int header, const QString &key) const
    {
        const int end = sectionEnd(header);
        for (int i = header + 1; i < end; ++i)
            if (kindAt(i) == Kind::Key && sameName(lines.at(i).name, key))
                return i;
        return -1;
    }

    void set(const QString &section, const QString &key, const QString &value)
    {
        const QByteArray end = lineEnd();
        const QByteArray text = key.toUtf8() + '=' + value.toUtf8();
        int header = findSection(section);
        if (header < 0) {
            if (!lines.isEmpty() && lines.last().end.isEmpty())
                lines.last().end = end;
            lines.append(Line('[' + section.toUtf8() + ']', end));
            lines.append(Line(text, end));
            return;
        }
        const int existing = findKey(header, key);
        if (existing >= 0) {
            lines[existing] = Line(text, lines.at(existing).end, existing == 0);
            return;
        }
        // After the section's last line that is not blank, so that a blank
        // line separating it from the next section stays where it is.
        int after = header;
        const int stop = sectionEnd(header);
        for (int i = header + 1; i < stop; ++i)
            if (!QString::fromUtf8(lines.at(i).text).trimmed().isEmpty())
                after = i;
        if (lines[after].end.isEmpty())
            lines[after].end = end;
        lines.insert(after + 1, Line(text, end));
    }
};

enum class Load { Absent, Loaded, Failed };

Load loadFile(const QString &path, Document &doc)
{
    const BoundedFile file = BoundedFile::read(path, IniFile::maxFileSize);
    if (file.status() == BoundedFile::Missing)
        return Load::Absent;
    if (!file.isRead())
        return Load::Failed;
    doc.setBytes(file.bytes());
    return Load::Loaded;
}

// The raw value of the key, or a null string when there is none.
QString rawValue(const QString &path, const QString &section, const QString &key)
{
    Document doc;
    if (loadFile(path, doc) != Load::Loaded)
        return QString();
    const int header = doc.findSection(section);
    if (header < 0)
        return QString();
    const int line = doc.findKey(header, key);
    if (line < 0)
        return QString();
    const QString value = doc.at(line).value;
    return value.isNull() ? QString(QLatin1String("")) : value;
}

bool validName(const QString &name)
{
    if (name.trimmed().isEmpty() || name.trimmed() != name)
        return false;
    for (const QChar c : name)
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QLatin1Char('=')
            || c == QLatin1Char('[') || c == QLatin1Char(']'))
            return false;
    return !name.startsWith(QLatin1Char(';'));
}

// A line break in a value would start a line of its own in the file.
QString oneLine(QString value)
{
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value;
}

} // namespace

IniFile::IniFile(QString path)
    : m_path(std::move(path))
{
}

QString IniFile::readString(const QString &section, const QString &key,
                            const QString &defaultValue) const
{
    const QString raw = rawValue(m_path, section, key);
    if (raw.isNull())
        return defaultValue;
    QString value = raw.trimmed();
    if (value.size() >= 2) {
        const QChar q = value.front();
        if ((q == QLatin1Char('"') || q == QLatin1Char('\'')) && value.back() == q)
            value = value.mid(1, value.size() - 2);
    }
    return value.left(maxValueLength);
}

int IniFile::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    bool ok = false;
    const int value = readString(section, key).toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool IniFile::hasKey(const QString &section, const QString &key) const
{
    return !rawValue(m_path, section, key).isNull();
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    return writeStrings(section, {{key, value}});
}

bool IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    return writeString(section, key, QString::number(value));
}

bool IniFile::writeStrings(const QString &section, const Entries &entries)
{
    m_error.clear();
    const QString failure = QStringLiteral("Unable to write to ") + QFileInfo(m_path).absoluteFilePath();
    bool valid = validName(section);
    for (const Entry &e : entries)
        valid = valid && validName(e.first);
    Document doc;
    // A file that exists but cannot be read is left alone: writing our keys
    // alone in its place would lose whatever else it holds.
    if (!valid || loadFile(m_path, doc) == Load::Failed) {
        m_error = failure;
        return false;
    }
    for (const Entry &e : entries)
        doc.set(section, e.first, oneLine(e.second));
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(doc.bytes()) < 0 || !file.commit()) {
        m_error = failure;
        return false;
    }
    return true;
}
