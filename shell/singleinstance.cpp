#include "shell/singleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace {

QString runtimeFolder()
{
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(QString::fromLocal8Bit(runtime)).exists())
        return QString::fromLocal8Bit(runtime);
    const QString folder = QDir::tempPath() + QStringLiteral("/zarvex-") + QString::number(getuid());
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
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

SingleInstance::SingleInstance(const QString &key) : m_folder(runtimeFolder()), m_key(key) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPath() const
{
    return m_folder + QLatin1Char('/') + m_key + QStringLiteral(".lock");
}

QString SingleInstance::socketPath() const
{
    return m_folder + QLatin1Char('/') + m_key;
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
    if (activate)
        askToActivate(socketPath());
    return true;
}

void SingleInstance::serveActivation(std::function<void()> activate)
{
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
