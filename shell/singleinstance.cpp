#include "shell/singleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace {

// A folder nobody else can have put anything in: a real folder, not a link,
// that belongs to this user and that only this user may enter.
bool isPrivateFolder(const QString &path)
{
    struct stat info {};
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == getuid() && (info.st_mode & 07777) == 0700;
}

// Where this user's copies meet: $XDG_RUNTIME_DIR, or a private folder of
// the user's under the temporary folder. That folder's name can be guessed,
// so another user may have made it first, to lock every start out; then the
// copies meet by a lock file in the user's own cache folder alone, and a
// second copy leaves without bringing the first forward.
SingleInstance::Place meetingPlace()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists())
        return {QString::fromLocal8Bit(runtime), true};
    const QString folder = QDir::tempPath() + QStringLiteral("/zarvex-") + QString::number(getuid());
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    if (isPrivateFolder(folder))
        return {folder, true};
    QString own = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (own.isEmpty())
        own = QDir::homePath();
    own += QStringLiteral("/zarvex");
    QDir().mkpath(own);
    return {own, false};
}

// A plain connect and write, so that a second copy need not start Qt at all.
void askToActivate(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (size_t(name.size()) >= sizeof addr.sun_path)
        return;
    std::memcpy(addr.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    if (::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0) {
        const char request[] = "activate\n";
        ssize_t ignored = ::write(fd, request, sizeof request - 1);
        (void)ignored;
    }
    ::close(fd);
}

} // namespace

SingleInstance::SingleInstance(const QString &key) : m_place(meetingPlace()), m_key(key) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath() const
{
    return m_place.folder + QLatin1Char('/') + m_key + QStringLiteral(".lock");
}

QString SingleInstance::socketPath() const
{
    return m_place.folder + QLatin1Char('/') + m_key;
}

bool SingleInstance::CheckPreviousInstance(bool activate)
{
    m_lock = std::make_unique<QLockFile>(lockPath());
    // A lock is stale only when the copy that took it is gone, however long
    // that copy has been running.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return false;
    if (m_lock->error() != QLockFile::LockFailedError) {
        // The folder cannot hold a lock: carry on as the only copy.
        return false;
    }
    if (activate && m_place.activation)
        askToActivate(socketPath());
    return true;
}

void SingleInstance::serveActivation(std::function<void()> activate)
{
    if (!m_place.activation)
        return;
    QLocalServer::removeServer(socketPath());
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this, activate] {
        while (QLocalSocket *peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            activate();
        }
    });
    m_server->listen(socketPath());
}
