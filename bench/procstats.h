#pragma once

// What /proc tells of a running process: how often it has given up the
// processor of its own accord (each wake-up from a wait ends in one such
// switch), how much processor time it has used, and its resident memory.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>

namespace ProcStats {

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The number after "key:" in a status file; 0 when missing.
inline qint64 statusField(const QByteArray &status, const QByteArray &key)
{
    for (const QByteArray &line : status.split('\n'))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// Per thread, as a thread that ends takes its counts with it: a stretch of
// time is measured over the threads that are there at its end.
struct ThreadCounts
{
    qint64 voluntarySwitches = 0;
    qint64 cpuNs = 0;   // time on a processor
};
using Sample = QHash<QString, ThreadCounts>;

inline Sample sample(qint64 pid)
{
    Sample s;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString &tid : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString task = tasks + '/' + tid;
        s[tid] = {statusField(readAll(task + QStringLiteral("/status")), "voluntary_ctxt_switches"),
                  readAll(task + QStringLiteral("/schedstat")).split(' ').value(0).toLongLong()};
    }
    return s;
}

// What the threads alive at the end did since the first sample.
inline ThreadCounts since(const Sample &before, const Sample &after)
{
    ThreadCounts total;
    for (auto it = after.begin(); it != after.end(); ++it) {
        const ThreadCounts start = before.value(it.key());
        total.voluntarySwitches += it->voluntarySwitches - start.voluntarySwitches;
        total.cpuNs += it->cpuNs - start.cpuNs;
    }
    return total;
}

inline double residentMB(qint64 pid)
{
    return double(statusField(readAll(QStringLiteral("/proc/%1/status").arg(pid)), "VmRSS")) / 1024.0;
}

inline int threadCount(qint64 pid)
{
    return int(statusField(readAll(QStringLiteral("/proc/%1/status").arg(pid)), "Threads"));
}

} // namespace ProcStats
