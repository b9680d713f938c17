#include "shell/boundedfile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 Chunk = 64 * 1024;

BoundedFile::Status kindOf(const struct stat &info)
{
    if (S_ISDIR(info.st_mode))
        return BoundedFile::Folder;
    return S_ISREG(info.st_mode) ? BoundedFile::Read : BoundedFile::NotPlain;
}

QString sizeText(qint64 bytes)
{
    constexpr qint64 mib = 1024 * 1024;
    return bytes >= mib && bytes % mib == 0 ? QString::number(bytes / mib) + QStringLiteral(" MB")
                                            : QString::number(bytes) + QStringLiteral(" bytes");
}

} // namespace

BoundedFile BoundedFile::read(const QString &path, qint64 bound)
{
    BoundedFile file;
    file.m_bound = bound;
    const QByteArray name = QFile::encodeName(path);
    const auto failed = [&file](int error) {
        file.m_status = error == ENOENT || error == ENOTDIR ? Missing : Failed;
        file.m_systemReason = qt_error_string(error);
        return file;
    };

    // Looked at before it is opened, since opening a device may already do
    // something; and again once open, in case it was swapped in between.
    struct stat info {};
    if (::stat(name.constData(), &info) != 0)
        return failed(errno);
    if ((file.m_status = kindOf(info)) != Read)
        return file;
    // Without O_NONBLOCK, opening a pipe waits until somebody writes to it.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failed(errno);
    if (::fstat(fd, &info) != 0) {
        const int error = errno;
        ::close(fd);
        return failed(error);
    }
    if ((file.m_status = kindOf(info)) != Read) {
        ::close(fd);
        return file;
    }

    // What the file says it holds is only a first guess of the room needed.
    QByteArray bytes;
    bytes.reserve(qsizetype(std::min<qint64>(info.st_size, bound) + 1));
    while (bytes.size() <= bound) {
        const qint64 want = std::min<qint64>(Chunk, bound + 1 - bytes.size());
        const qsizetype at = bytes.size();
        bytes.resize(at + qsizetype(want));
        const ssize_t got = ::read(fd, bytes.data() + at, size_t(want));
        if (got < 0 && errno == EINTR) {
            bytes.resize(at);
            continue;
        }
        if (got < 0) {
            const int error = errno;
            ::close(fd);
            return failed(error);
        }
        bytes.resize(at + got);
        if (got == 0)
            break;
    }
    ::close(fd);
    if (bytes.size() > bound) {
        file.m_status = TooLarge;
        return file;
    }
    file.m_status = Read;
    file.m_bytes = std::move(bytes);
    return file;
}

QString BoundedFile::reason() const
{
    switch (m_status) {
    case Read:
        return QString();
    case Missing:
        return QStringLiteral("there is no such file");
    case Folder:
        return QStringLiteral("it is a folder");
    case NotPlain:
        return QStringLiteral("it is no plain file");
    case TooLarge:
        return QStringLiteral("it is larger than ") + sizeText(m_bound);
    case Failed:
        break;
    }
    return m_systemReason;
}
