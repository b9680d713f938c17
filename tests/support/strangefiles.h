#pragma once

// What may stand where the program expects a plain file of the player's:
// an endless device, a pipe nobody writes to, a folder.

#include <QDir>
#include <QFile>
#include <QString>
#include <QTest>

#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A named pipe at path; a test that reads one must not wait for a writer.
inline bool makePipe(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

// Opens the writing end of a named pipe after a while, and again and again
// until the test ends, closing it each time, so that a reader stuck waiting
// for a writer gets the end of the file and the test fails on what it got
// instead of hanging.
class PipeUnblocker
{
public:
    explicit PipeUnblocker(const QString &path, int milliseconds = 3000)
        : m_thread([this, name = QFile::encodeName(path), milliseconds] {
              std::unique_lock<std::mutex> lock(m_mutex);
              auto wait = std::chrono::milliseconds(milliseconds);
              while (!m_done.wait_for(lock, wait, [this] { return m_stop; })) {
                  const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK);
                  if (fd >= 0)
                      ::close(fd);
                  wait = std::chrono::milliseconds(100);
              }
          })
    {
    }
    ~PipeUnblocker()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_done.notify_all();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_stop = false;
    std::thread m_thread;
};

// The three kinds as rows of a data-driven test, in a column "kind".
inline void addStrangeFileRows()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("endless device") << "device";
    QTest::newRow("pipe without a writer") << "pipe";
    QTest::newRow("folder") << "folder";
}

// Puts one of them at path: a link to /dev/zero, a named pipe, a folder.
inline bool makeStrangeFile(const QString &kind, const QString &path)
{
    if (kind == QLatin1String("device"))
        return QFile::link(QStringLiteral("/dev/zero"), path);
    if (kind == QLatin1String("pipe"))
        return makePipe(path);
    return QDir().mkpath(path);
}
