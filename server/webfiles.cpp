#include "server/webfiles.h"

#include <QCryptographicHash>
#include <QFile>
#include <QResource>

namespace {

// A folder of the compiled-in files, with the names it holds.
struct ResourceFolder : QResource
{
    using QResource::children;
    using QResource::QResource;
};

// Whether the program holds a file of that resource name. Only the folders'
// lists of names are read: a file's own QResource reads its size from the
// file's bytes, and checking every sound that way would bring them all into
// the memory of a host nobody visits.
bool compiledIn(const QString &resource, QHash<QString, QStringList> &folders)
{
    const qsizetype slash = resource.lastIndexOf(QLatin1Char('/'));
    const QString folder = resource.left(slash);
    auto listed = folders.find(folder);
    if (listed == folders.end())
        listed = folders.insert(folder, ResourceFolder(folder).children());
    return listed->contains(resource.mid(slash + 1));
}

} // namespace

WebFiles WebFiles::fromTable(const QByteArray &table, QStringList *errors)
{
    WebFiles files;
    QHash<QString, QStringList> folders;
    auto fail = [errors](int number, const QString &why) {
        if (errors)
            errors->append(QStringLiteral("line %1: %2").arg(number).arg(why));
    };
    const QList<QByteArray> lines = table.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != 4 || !fields[0].startsWith('/') || fields[1].isEmpty() || fields[2].isEmpty()
            || fields[3].isEmpty()) {
            fail(i + 1, QStringLiteral("not path, file, type and cache control separated by tabs"));
            continue;
        }
        File f;
        f.path = fields[0];
        f.file = QString::fromUtf8(fields[1]);
        f.type = fields[2];
        f.cacheControl = fields[3];
        if (files.m_files.contains(f.path)) {
            fail(i + 1, QStringLiteral("%1 is served already").arg(QString::fromUtf8(f.path)));
            continue;
        }
        if (!compiledIn(resourceOf(f.file), folders)) {
            fail(i + 1, QStringLiteral("%1 is not compiled in").arg(f.file));
            continue;
        }
        files.m_order.append(f.path);
        files.m_files.insert(f.path, f);
    }
    return files;
}

const WebFiles &WebFiles::builtIn()
{
    static const WebFiles files = [] {
        QFile table(resourceOf(QStringLiteral("web/files.txt")));
        return table.open(QIODevice::ReadOnly) ? fromTable(table.readAll()) : WebFiles();
    }();
    return files;
}

QString WebFiles::resourceOf(const QString &file)
{
    const QString resources = QStringLiteral("resources/");
    return QStringLiteral(":/zarvex/") + (file.startsWith(resources) ? file.mid(resources.size()) : file);
}

const WebFiles::File *WebFiles::find(const QByteArray &path) const
{
    const auto at = m_files.find(path);
    if (at == m_files.end())
        return nullptr;
    File &f = at.value();
    if (!f.loaded) {
        // Read the first time it is asked for: a host nobody visits keeps
        // no copy. A file stored uncompressed is served from the program's
        // own bytes.
        f.loaded = true;
        const QResource resource(resourceOf(f.file));
        if (resource.compressionAlgorithm() == QResource::NoCompression)
            f.body = QByteArray::fromRawData(reinterpret_cast<const char *>(resource.data()), resource.size());
        else
            f.body = resource.uncompressedData();
        f.etag = '"' + QCryptographicHash::hash(f.body, QCryptographicHash::Sha1).toHex().left(20) + '"';
    }
    return &f;
}
