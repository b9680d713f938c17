#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <list>
#include <memory>

// A line between players and a server that a test can break. It listens on
// a loopback port of its own and carries every connection made to it on to
// the server, from a local address of the test's choosing: all of 127/8 is
// loopback on Linux, so a player behind a line "from" 127.0.0.2 comes from
// another machine as far as the server can tell.
//
// cut() resets both ends of every connection it carries at once, as a line
// that fails does to both players; while it is down it refuses new
// connections, and up again it carries them as before.
class FaultyLine : public QObject
{
public:
    FaultyLine(quint16 serverPort, const QByteArray &from = "127.0.0.1")
        : m_serverPort(serverPort), m_from(from)
    {
        listen(0);
    }
    ~FaultyLine() override
    {
        m_links.clear();
        stopListening();
    }

    quint16 port() const { return m_port; }
    QByteArray portText() const { return QByteArray::number(m_port); }
    void setFrom(const QByteArray &address) { m_from = address; }
    int carried() const { return int(m_links.size()); }

    // Every connection on the line ends with a reset at both of its ends.
    void cut()
    {
        for (Link &l : m_links) {
            abort(l.player);
            abort(l.server);
        }
        m_links.clear();
    }
    void setDown(bool down)
    {
        if (down) {
            cut();
            stopListening();
        } else if (m_listener < 0) {
            listen(m_port);
        }
    }

private:
    struct End
    {
        int fd = -1;
        std::unique_ptr<QSocketNotifier> notifier;
        ~End()
        {
            notifier.reset();
            if (fd >= 0)
                ::close(fd);
        }
    };
    struct Link
    {
        End player;
        End server;
    };

    static void abort(End &end)
    {
        const linger now{1, 0};
        setsockopt(end.fd, SOL_SOCKET, SO_LINGER, &now, sizeof now);
        end.notifier.reset();
        ::close(end.fd);
        end.fd = -1;
    }

    static sockaddr_in address(const QByteArray &dotted, quint16 port)
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        inet_pton(AF_INET, dotted.constData(), &a.sin_addr);
        return a;
    }

    void listen(quint16 port)
    {
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int one = 1;
        setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in at = address("127.0.0.1", port);
        ::bind(m_listener, reinterpret_cast<sockaddr *>(&at), sizeof at);
        ::listen(m_listener, 8);
        socklen_t len = sizeof at;
        getsockname(m_listener, reinterpret_cast<sockaddr *>(&at), &len);
        m_port = ntohs(at.sin_port);
        m_accepting = std::make_unique<QSocketNotifier>(m_listener, QSocketNotifier::Read);
        QObject::connect(m_accepting.get(), &QSocketNotifier::activated, this, [this] { carryOne(); });
    }
    void stopListening()
    {
        m_accepting.reset();
        if (m_listener >= 0)
            ::close(m_listener);
        m_listener = -1;
    }

    void carryOne()
    {
        const int player = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (player < 0)
            return;
        const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in from = address(m_from, 0);
        sockaddr_in to = address("127.0.0.1", m_serverPort);
        if (::bind(server, reinterpret_cast<sockaddr *>(&from), sizeof from) != 0
            || ::connect(server, reinterpret_cast<sockaddr *>(&to), sizeof to) != 0) {
            ::close(server);
            ::close(player);
            return;
        }
        // Passed on at once, as the ends themselves send.
        const int one = 1;
        setsockopt(player, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        m_links.emplace_back();
        Link &l = m_links.back();
        l.player.fd = player;
        l.server.fd = server;
        watch(l.player, l.server);
        watch(l.server, l.player);
    }

    // What arrives at one end goes out of the other; an end that closes
    // closes the other, and one that fails resets it.
    void watch(End &in, End &out)
    {
        in.notifier = std::make_unique<QSocketNotifier>(in.fd, QSocketNotifier::Read);
        QObject::connect(in.notifier.get(), &QSocketNotifier::activated, this, [this, &in, &out] {
            char buffer[16384];
            const ssize_t got = ::recv(in.fd, buffer, sizeof buffer, 0);
            if (got > 0) {
                for (ssize_t sent = 0; sent < got;) {
                    const ssize_t n = ::send(out.fd, buffer + sent, size_t(got - sent), MSG_NOSIGNAL);
                    if (n <= 0)
                        break;
                    sent += n;
                }
                return;
            }
            if (got < 0 && (errno == EAGAIN || errno == EINTR))
                return;
            if (got < 0)
                abort(out);
            else
                ::shutdown(out.fd, SHUT_WR);
            in.notifier.reset();
        });
    }

    quint16 m_serverPort;
    QByteArray m_from;
    int m_listener = -1;
    quint16 m_port = 0;
    std::unique_ptr<QSocketNotifier> m_accepting;
    std::list<Link> m_links;
};
