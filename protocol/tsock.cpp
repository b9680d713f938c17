#include "protocol/tsock.h"

#include "protocol/socketaddress.h"
#include "protocol/sockerrors.h"
#include "protocol/tcpsilence.h"
#include "shell/errorreport.h"

#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int ScratchSize = 32768;

// Game messages are small and answer each other; sent at once they do not
// wait for the acknowledgement of the one before.
void sendWithoutDelay(int fd)
{
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

void setNonBlocking(int fd, bool on)
{
    const int flags = fcntl(fd, F_GETFL, 0);
    fcntl(fd, F_SETFL, on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK));
}

// An address as text; an IPv4 address mapped into IPv6 reads as plain IPv4.
QByteArray dotted(const sockaddr_storage &addr)
{
    char text[INET6_ADDRSTRLEN] = {};
    if (addr.ss_family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in &>(addr).sin_addr, text, sizeof text);
    } else if (addr.ss_family == AF_INET6) {
        const in6_addr &v6 = reinterpret_cast<const sockaddr_in6 &>(addr).sin6_addr;
        if (IN6_IS_ADDR_V4MAPPED(&v6))
            inet_ntop(AF_INET, v6.s6_addr + 12, text, sizeof text);
        else
            inet_ntop(AF_INET6, &v6, text, sizeof text);
    }
    return text;
}

[[noreturn]] void raise(const char *text)
{
    throw ESockException(text);
}

} // namespace

TSock::TSock(QObject *parent) : QObject(parent) {}

TSock::~TSock()
{
    // A socket that goes away closes its handle, but tells nobody: whoever
    // destroys it is already taking it out of service.
    dropNotifiers();
    if (m_fd >= 0)
        ::close(m_fd);
}

QByteArray TSock::infoWord(TSocketInfo info)
{
    static const char *const words[] = {"Lookup", "Connect", "Close", "Listen",
                                        "Receive", "Send", "Accept", "Error"};
    return (info >= 0 && info <= siError) ? words[info] : "";
}

quint16 TSock::LocalPort() const
{
    sockaddr_storage local{};
    socklen_t len = sizeof local;
    if (m_fd < 0 || getsockname(m_fd, reinterpret_cast<sockaddr *>(&local), &len) != 0)
        return 0;
    // The port lies at the same place in both kinds of address.
    return ntohs(reinterpret_cast<const sockaddr_in &>(local).sin_port);
}

QByteArray TSock::PeerAddress() const
{
    sockaddr_storage peer{};
    socklen_t len = sizeof peer;
    if (m_fd < 0 || getpeername(m_fd, reinterpret_cast<sockaddr *>(&peer), &len) != 0)
        return QByteArray();
    return dotted(peer);
}

void TSock::report(TSocketInfo info, const QByteArray &msg)
{
    if (!OnInfo)
        return;
    try {
        OnInfo(this, info, msg);
    } catch (...) {
        throw ESockException("Error here");
    }
}

void TSock::reportError(int winsockError)
{
    report(siError, "Error #" + QByteArray::number(winsockError) + " ("
                        + SockErrors::name(winsockError) + ")");
}

// ---------------------------------------------------------------- properties

void TSock::setSocketType(TSocketType type)
{
    if (m_listen)
        raise("SocketType - Can't Assign Socket Type While Listening");
    if (m_connected)
        raise("SocketType - Can't Assign Socket Type While Connected");
    m_socketType = type;
}

void TSock::setHostName(const QByteArray &name)
{
    if (m_connected && m_socketType == stStream)
        report(siLookup, "Setting HostName While Connected Has No Effect");
    m_hostName = name;
    if (m_connected && m_socketType == stDatagram)
        m_remote.sin_addr = LookupHost(name);
}

void TSock::setPortName(const QByteArray &name)
{
    if (m_connected)
        report(siLookup, "Setting PortName While Connected Has No Effect");
    m_portName = name;
}

void TSock::setBlocking(bool blocking)
{
    m_blocking = blocking;
    registerNotifications();
}

void TSock::setListen(bool on)
{
    if (m_fd >= 0 && !m_listen)
        raise("Listen - Socket Already In Use");
    if (!on) {
        if (m_listen) {
            m_listen = false;
            Close();
            report(siListen, "Listening Stopped");
        }
        return;
    }
    if (m_socketType == stDatagram)
        raise("Listen - Cannot Listen On A Datagram Socket");
    if (m_listen) {
        report(siListen, "Listening Already Running");
        return;
    }
    // A socket that could not bind or listen stays this one's until closed.
    SocketAddress::Failure failure{};
    if (!SocketAddress::listen(m_bindAddress, LookupPort(m_portName), 5, m_fd, failure))
        raise(failure == SocketAddress::Failure::Listen ? "Listen - Error Starting Listen" : "Listen - Error Binding Socket");
    m_listen = true;
    registerNotifications();
    report(siListen, "Listening Started");
}

// ------------------------------------------------------------- notifications

void TSock::registerNotifications()
{
    if (m_fd < 0)
        return;
    if (m_blocking && !m_listen) {
        dropNotifiers();
        setNonBlocking(m_fd, false);
        return;
    }
    setNonBlocking(m_fd, true);
    if (!m_readNotifier) {
        m_readNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_readNotifier, &QSocketNotifier::activated, this, &TSock::onReadable);
        m_writeNotifier = new QSocketNotifier(m_fd, QSocketNotifier::Write, this);
        connect(m_writeNotifier, &QSocketNotifier::activated, this, &TSock::onWritable);
    }
    // A listener waits for connections; a connecting socket waits to become
    // writable; a connected stream socket reads, and gets one first write
    // notification as a freshly connected socket does on every platform.
    const bool stream = m_socketType == stStream;
    watchRead(m_listen || m_connected || !stream);
    watchWrite(stream && !m_listen && (m_connecting || m_connected));
}

void TSock::dropNotifiers()
{
    delete m_readNotifier;
    delete m_writeNotifier;
    m_readNotifier = nullptr;
    m_writeNotifier = nullptr;
}

void TSock::watchRead(bool on)
{
    if (m_readNotifier)
        m_readNotifier->setEnabled(on);
}

void TSock::watchWrite(bool on)
{
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(on);
}

void TSock::onReadable()
{
    ErrorReport::guarded([this] {
        if (m_listen)
            handleAccept();
        else if (m_socketType == stDatagram) {
            // Like a level-triggered FD_READ that is re-armed by the next
            // ReceiveDatagram.
            watchRead(false);
            if (OnRead)
                OnRead(this, InboundCount());
        } else
            handleRead();
    });
}

void TSock::onWritable()
{
    ErrorReport::guarded([this] {
        if (m_connecting)
            handleConnect();
        else
            handleWrite();
    });
}

void TSock::handleAccept()
{
    // Re-armed by the next Accept, so a handler that leaves the connection
    // pending is not called again and again.
    watchRead(false);
    if (m_autoAccept && OnAutoAccept) {
        TSock *newSock = acceptOne(false);
        watchRead(true);
        if (!newSock)
            return;
        if (m_blocking) {
            // The accepted socket is blocking: its handler runs on a thread of
            // its own so that it may wait without stalling the others.
            TNotifyAutoEvent handler = OnAutoAccept;
            newSock->setParent(nullptr);
            QThread *thread = QThread::create([handler, this, newSock] { handler(this, newSock); });
            connect(thread, &QThread::finished, thread, &QObject::deleteLater);
            thread->start();
        } else {
            OnAutoAccept(this, newSock);
        }
        return;
    }
    if (OnAccept)
        OnAccept(this);
}

void TSock::handleRead()
{
    char scratch[ScratchSize];
    const ssize_t got = ::recv(m_fd, scratch, sizeof scratch, 0);
    if (got == 0) {
        // Orderly close by the peer.
        QPointer<TSock> self(this);
        if (OnDisconnect)
            OnDisconnect(this);
        if (self)
            Close();
        return;
    }
    if (got < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
        // Reset or aborted: reported, and nothing else changes. The notifiers
        // stop, as the system has nothing more to say about this connection.
        const int error = SockErrors::fromErrno(errno);
        dropNotifiers();
        reportError(error);
        return;
    }
    if (got > 0)
        m_inbound.append(scratch, int(got));
    QPointer<TSock> self(this);
    report(siReceive, "Non-Blocking Incoming Data");
    if (self && OnRead)
        OnRead(this, InboundCount());
}

void TSock::handleConnect()
{
    int error = 0;
    socklen_t len = sizeof error;
    getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &len);
    m_connecting = false;
    if (error != 0) {
        dropNotifiers();
        reportError(SockErrors::fromErrno(error));
        return;
    }
    m_connected = true;
    registerNotifications();
    QPointer<TSock> self(this);
    report(siConnect, "Non-Blocking Socket Connected");
    if (self && OnConnect)
        OnConnect(this);
}

void TSock::handleWrite()
{
    if (!m_outbound.isEmpty())
        Send(QByteArray());
    QPointer<TSock> self(this);
    report(siSend, "Non-Blocking Outgoing Data");
    if (self && OnWrite)
        OnWrite(this);
    if (self && m_outbound.isEmpty())
        watchWrite(false);
}

void TSock::setKeepAlive(int idleSeconds, int intervalSeconds, int count)
{
    TcpSilence::watch(m_fd, idleSeconds, intervalSeconds, count);
}

// ---------------------------------------------------------------- operations

bool TSock::Open()
{
    if (m_fd >= 0)
        return m_connected;

    const bool stream = m_socketType == stStream;
    m_remote = sockaddr_in{};
    m_remote.sin_family = AF_INET;
    m_remote.sin_port = htons(LookupPort(m_portName));
    // A stream reaches its host by IPv4 or IPv6; a datagram socket binds
    // to an IPv4 port of its own.
    sockaddr_storage remote{};
    if (stream) {
        remote = LookupAddress(m_hostName);
        SocketAddress::setPort(remote, ntohs(m_remote.sin_port));
    } else {
        m_remote.sin_addr = LookupHost(QByteArray());
    }

    m_fd = ::socket(stream ? remote.ss_family : AF_INET, (stream ? SOCK_STREAM : SOCK_DGRAM) | SOCK_CLOEXEC, 0);
    if (m_fd < 0) {
        reportError(SockErrors::fromErrno(errno));
        return false;
    }
    if (!stream) {
        if (::bind(m_fd, reinterpret_cast<sockaddr *>(&m_remote), sizeof m_remote) != 0) {
            reportError(SockErrors::fromErrno(errno));
            return false;
        }
        m_connected = true;
        registerNotifications();
        report(siConnect, "Datagram Socket Connected");
        return true;
    }

    if (m_blocking) {
        sendWithoutDelay(m_fd);
        if (::connect(m_fd, reinterpret_cast<sockaddr *>(&remote), SocketAddress::lengthOf(remote)) != 0) {
            report(siClose, "Blocking Socket Can't Connect");
            return false;
        }
        m_connected = true;
        report(siConnect, "Blocking Socket Connected");
        if (OnConnect)
            OnConnect(this);
        return true;
    }

    setNonBlocking(m_fd, true);
    sendWithoutDelay(m_fd);
    const int rc = ::connect(m_fd, reinterpret_cast<sockaddr *>(&remote), SocketAddress::lengthOf(remote));
    if (rc == 0 || errno == EINPROGRESS) {
        // The outcome arrives later, as a notification, even when the system
        // knew it at once.
        m_connecting = true;
        registerNotifications();
        return false;
    }
    // Refused before it started: still reported from the event loop, never
    // from inside Open.
    const int error = SockErrors::fromErrno(errno);
    QPointer<TSock> self(this);
    QTimer::singleShot(0, this, [self, error] {
        if (self)
            ErrorReport::guarded([&] { self->reportError(error); });
    });
    return false;
}

bool TSock::Close()
{
    dropNotifiers();
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    m_connected = false;
    m_connecting = false;
    const bool wasListening = m_listen;
    m_listen = false;
    if (!wasListening)
        report(siClose, "Socket Closed");
    return closed;
}

bool TSock::pushOutbound()
{
    const ssize_t sent = ::send(m_fd, m_outbound.constData(), size_t(m_outbound.size()),
                                MSG_NOSIGNAL);
    if (sent > 0)
        m_outbound.remove(0, int(sent));
    if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
        return false;
    return true;
}

bool TSock::Send(const QByteArray &text)
{
    if (m_fd < 0)
        raise("Send - Socket Not Connected");
    if (m_listen)
        raise("Send - Cannot Send On A Listener Socket");
    if (m_socketType == stDatagram)
        return SendDatagram(text, m_hostName);

    m_outbound.append(text);
    if (m_outbound.isEmpty() || m_connecting)
        return true;   // a connecting socket sends once it is connected

    if (!m_blocking) {
        report(siSend, "Non-Blocking Outgoing Data");
        if (!pushOutbound()) {
            // A broken connection: the read side reports it. Writing is not
            // watched any more, or the notifier would fire without end.
            watchWrite(false);
            return true;
        }
        if (!m_outbound.isEmpty())
            watchWrite(true);
        return true;
    }

    while (!m_outbound.isEmpty()) {
        const ssize_t sent = ::send(m_fd, m_outbound.constData(), size_t(m_outbound.size()),
                                    MSG_NOSIGNAL);
        if (sent > 0)
            m_outbound.remove(0, int(sent));
        else if (sent < 0 && errno != EINTR && errno != EINPROGRESS) {
            report(siError, "Socket Error On Send");
            m_outbound.clear();
            raise("Send - Socket Error");
        }
        report(siSend, "Blocking Outgoing Data");
    }
    m_outbound.clear();
    return true;
}

QByteArray TSock::ReceiveCount(int n)
{
    if (m_fd < 0 && m_inbound.isEmpty())
        raise("Receive - Socket Not Connected");
    if (m_listen)
        raise("Receive - Cannot Receive On A Listener Socket");

    if (m_blocking && m_fd >= 0) {
        pollfd pfd{m_fd, POLLIN, 0};
        if (::poll(&pfd, 1, m_blockingTimeout < 0 ? -1 : m_blockingTimeout) > 0) {
            report(siReceive, "Blocking Incoming Data");
            char scratch[ScratchSize];
            const size_t want = n < 0 ? sizeof scratch : size_t(qMin(n, ScratchSize));
            const ssize_t got = ::recv(m_fd, scratch, want, 0);
            if (got < 0) {
                const int error = SockErrors::fromErrno(errno);
                m_inbound.clear();
                report(siError, "Socket Error On Receive");
                throw ESockException("Receive - Socket Error " + SockErrors::name(error).toStdString());
            }
            if (got == 0) {
                report(siClose, "Socket Disconnected On Receive");
                Close();
                if (OnDisconnect)
                    OnDisconnect(this);
            } else {
                m_inbound.append(scratch, int(got));
            }
        }
        QByteArray all;
        all.swap(m_inbound);
        return all;
    }

    if (n < 0 || n >= m_inbound.size()) {
        QByteArray all;
        all.swap(m_inbound);
        return all;
    }
    const QByteArray head = m_inbound.left(n);
    m_inbound.remove(0, n);
    return head;
}

TSock *TSock::acceptOne(bool withInfo)
{
    socklen_t len = sizeof m_peer;
    const int fd = ::accept4(m_fd, reinterpret_cast<sockaddr *>(&m_peer), &len, SOCK_CLOEXEC);
    watchRead(true);
    if (fd < 0) {
        if (withInfo)
            report(siAccept, "Could Not Accept Connection");
        return nullptr;
    }
    sendWithoutDelay(fd);
    auto *newSock = new TSock(this);
    newSock->m_fd = fd;
    newSock->m_blocking = m_blocking;
    newSock->m_connected = true;
    newSock->m_blockingTimeout = m_blockingTimeout;
    newSock->OnRead = OnRead;
    newSock->OnWrite = OnWrite;
    newSock->OnDisconnect = OnDisconnect;
    newSock->OnInfo = withInfo ? OnInfo : TNotifyInfoEvent();
    newSock->registerNotifications();
    newSock->setPortName(m_portName);
    newSock->setHostName(dotted(m_peer));
    newSock->OnInfo = OnInfo;
    return newSock;
}

bool TSock::Accept(TSock *&NewSock)
{
    if (!m_listen)
        raise("Accept - Socket Not In Listening Mode");
    if (m_blocking)
        report(siAccept, "Blocking Accept");
    TSock *accepted = acceptOne(true);
    if (!accepted)
        return false;
    NewSock = accepted;
    report(siAccept, "Created New TSock Structure");
    return true;
}

bool TSock::SendDatagram(const QByteArray &text, const QByteArray &host)
{
    if (m_fd < 0)
        raise("SendDatagram - Socket Not Connected");
    if (m_socketType == stStream)
        raise("SendDatagram - Datagram Send Not Supported On Stream Sockets");
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(LookupPort(m_portName));
    to.sin_addr = LookupHost(host);
    ::sendto(m_fd, text.constData(), size_t(text.size()), MSG_NOSIGNAL,
             reinterpret_cast<sockaddr *>(&to), sizeof to);
    return true;
}

QByteArray TSock::ReceiveDatagram(QByteArray &host)
{
    if (m_fd < 0)
        raise("ReceiveDatagram - Socket Not Connected");
    if (m_socketType == stStream)
        raise("ReceiveDatagram - Datagram Receive Not Supported On Stream Sockets");
    char scratch[ScratchSize];
    socklen_t len = sizeof m_peer;
    const ssize_t got = ::recvfrom(m_fd, scratch, sizeof scratch, MSG_DONTWAIT,
                                   reinterpret_cast<sockaddr *>(&m_peer), &len);
    watchRead(true);
    if (got < 0)
        return QByteArray();
    host = dotted(m_peer);
    return QByteArray(scratch, int(got));
}
