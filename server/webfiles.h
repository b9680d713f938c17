#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The fixed table of what the web door serves: one URL path per line of the
// table text (web/files.txt), with the file that answers it, its
// Content-Type and its Cache-Control. The files are compiled into the
// program; a request only ever picks a row of this table by its exact path,
// so no name on disk comes from the network.
class WebFiles
{
public:
    struct File
    {
        QByteArray path;          // "/js/game.js"
        QString file;             // "web/js/game.js", from the repository's root
        QByteArray type;          // "text/javascript; charset=utf-8"
        QByteArray cacheControl;  // "no-cache"
        // Read on the first find().
        QByteArray body;
        QByteArray etag;          // a quoted digest of the body
        bool loaded = false;
    };

    // Reads a table: tab-separated lines, blank lines and lines starting
    // with "#" skipped. A line that cannot be read, a path given twice or a
    // file that is not compiled in is left out and named in errors.
    static WebFiles fromTable(const QByteArray &table, QStringList *errors = nullptr);
    // The table compiled into the program, read on first use.
    static const WebFiles &builtIn();

    // The compiled-in resource of a file named from the repository's root:
    // the resources folder is the root of ":/zarvex/", everything else lies
    // under it by its own path ("web/style.css" is ":/zarvex/web/style.css",
    // "resources/sounds/tick.wav" is ":/zarvex/sounds/tick.wav").
    static QString resourceOf(const QString &file);

    // The row of that exact path, with its body, or none.
    const File *find(const QByteArray &path) const;
    QList<QByteArray> paths() const { return m_order; }
    int count() const { return int(m_order.size()); }

private:
    mutable QHash<QByteArray, File> m_files;
    QList<QByteArray> m_order;
};
