#include "shell/singleinstance.h"

#include "shell/programfolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <memory>

namespace {

constexpr char Request[] = "activate\n";
constexpr size_t RequestLength = sizeof Request - 1;
// How long a later copy waits for a copy that holds the name but does not
// answer yet (it is starting this very moment), in steps of 20 ms.
constexpr int Attempts = 25;

socklen_t abstractAddress(const QByteArray &name, sockaddr_un &addr)
{
    addr = {};
    addr.sun_family = AF_UNIX;
    // A leading 0 puts the name in the abstract namespace: no file, and it
    // vanishes with the last socket that holds it.
    const size_t length = std::min(size_t(name.size()), sizeof addr.sun_path - 1);
    std::memcpy(addr.sun_path + 1, name.constData(), length);
    return socklen_t(offsetof(sockaddr_un, sun_path) + 1 + length);
}

// Whether the process at the other end of a connected local socket runs as
// this user.
bool sameUser(int fd)
{
    ucred peer{};
    socklen_t length = sizeof peer;
    return fd >= 0 && ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) == 0 && peer.uid == ::getuid();
}

enum class Holder { Own, Foreign, NotAnswering };

// A plain connect and write, so that a second copy need not start Qt at all.
Holder askHolder(const QByteArray &name, bool activate)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return Holder::NotAnswering;
    sockaddr_un addr;
    const socklen_t length = abstractAddress(name, addr);
    Holder holder = Holder::NotAnswering;
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), length) == 0) {
        holder = sameUser(fd) ? Holder::Own : Holder::Foreign;
        if (holder == Holder::Own && activate) {
            const ssize_t ignored = ::write(fd, Request, RequestLength);
            (void)ignored;
        }
    }
    ::close(fd);
    return holder;
}

} // namespace

SingleInstance::SingleInstance(const QString &key)
{
    m_name = "zarvex-" + key.toUtf8() + '-' + QByteArray::number(::getuid());
    const QString home = ProgramFolder::home();
    if (!home.isEmpty())
        m_name += '-' + QCryptographicHash::hash(home.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
}

SingleInstance::~SingleInstance()
{
    delete m_notifier;
    if (m_listener >= 0)
        ::close(m_listener);
}

QString SingleInstance::lockPath() const
{
    QString own = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (own.isEmpty())
        own = QDir::homePath();
    return own + QStringLiteral("/zarvex/") + QString::fromUtf8(m_name) + QStringLiteral(".lock");
}

bool SingleInstance::CheckPreviousInstance(bool activate)
{
    sockaddr_un addr;
    const socklen_t length = abstractAddress(m_name, addr);
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            return false;
        if (::bind(fd, reinterpret_cast<sockaddr *>(&addr), length) == 0 && ::listen(fd, 8) == 0) {
            m_listener = fd;
            return false;
        }
        const int error = errno;
        ::close(fd);
        if (error != EADDRINUSE) {
            // The system cannot hold the name: carry on as the only copy.
            return false;
        }
        switch (askHolder(m_name, activate)) {
        case Holder::Own:
            return true;
        case Holder::Foreign:
            return checkByLockFile();
        case Holder::NotAnswering:
            ::usleep(20000);
            break;
        }
    }
    // Somebody holds the name and never answers: not a copy of ours.
    return checkByLockFile();
}

bool SingleInstance::checkByLockFile()
{
    const QString path = lockPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    m_lock = std::make_unique<QLockFile>(path);
    // A lock is stale only when the copy that took it is gone, however long
    // that copy has been running.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return false;
    // A folder that cannot hold a lock: carry on as the only copy.
    return m_lock->error() == QLockFile::LockFailedError;
}

void SingleInstance::serveActivation(std::function<void()> activate)
{
    if (m_listener < 0 || m_notifier)
        return;
    m_notifier = new QSocketNotifier(m_listener, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this, activate] {
        for (;;) {
            const int fd = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd < 0)
                return;
            if (!sameUser(fd)) {
                ::close(fd);
                continue;
            }
            // A copy that only looks who holds the name sends nothing.
            auto *request = new QSocketNotifier(fd, QSocketNotifier::Read, this);
            auto received = std::make_shared<QByteArray>();
            connect(request, &QSocketNotifier::activated, request, [request, fd, received, activate] {
                char buffer[RequestLength];
                const ssize_t got = ::read(fd, buffer, sizeof buffer - size_t(received->size()));
                if (got < 0 && (errno == EAGAIN || errno == EINTR))
                    return;
                if (got > 0)
                    received->append(buffer, got);
                const QByteArray expected(Request, RequestLength);
                const bool complete = *received == expected;
                if (got > 0 && !complete && expected.startsWith(*received))
                    return;
                request->setEnabled(false);
                ::close(fd);
                request->deleteLater();
                if (complete)
                    activate();
            });
        }
    });
}
