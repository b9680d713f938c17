#pragma once

#include "protocol/messageassembler.h"
#include "protocol/wire.h"
#include "server/webdoor.h"
#include "support/serverharness.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWebSocket>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <memory>

// A visitor of the web door on a bare socket: it sends exactly the bytes the
// test gives it, from a loopback address of the test's choosing, and keeps
// what comes back.
struct RawVisitor
{
    int fd = -1;
    QByteArray received;
    bool closed = false;   // the door closed (or reset) the connection
    bool reset = false;

    explicit RawVisitor(quint16 port, const char *from = "127.0.0.1", int receiveBuffer = 0)
    {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (receiveBuffer > 0)
            setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        inet_pton(AF_INET, from, &local.sin_addr);
        ::bind(fd, reinterpret_cast<sockaddr *>(&local), sizeof local);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(port);
        ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    ~RawVisitor() { hangUp(); }
    RawVisitor(const RawVisitor &) = delete;
    RawVisitor &operator=(const RawVisitor &) = delete;

    // Closes this end.
    void hangUp()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

    // Sends everything; false when the door no longer takes bytes.
    bool send(const QByteArray &bytes)
    {
        qsizetype done = 0;
        QElapsedTimer clock;
        clock.start();
        while (done < bytes.size() && clock.elapsed() < 5000) {
            const ssize_t n = ::send(fd, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
            if (n > 0)
                done += n;
            else if (errno == EAGAIN || errno == EWOULDBLOCK)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            else
                return false;
        }
        return done == bytes.size();
    }

    // Reads what has come, without waiting.
    void read()
    {
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n > 0) {
                received.append(buffer, int(n));
                continue;
            }
            if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
                closed = true;
                reset = n < 0 && errno == ECONNRESET;
            }
            return;
        }
    }

    // Lets the door run, reading, until done() or the time is up.
    bool waitFor(const std::function<bool()> &done, int ms = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            read();
            if (done())
                return true;
            if (clock.elapsed() > ms)
                return false;
            QTest::qWait(2);
        }
    }

    // The next whole answer (head and the body its Content-Length names),
    // taken from what has come; empty when none comes in time.
    QByteArray answer(int ms = 5000)
    {
        QByteArray whole;
        waitFor([&] {
            const int end = int(received.indexOf("\r\n\r\n"));
            if (end < 0)
                return closed;
            const QByteArray headers = received.left(end).toLower();
            int length = 0;
            const int at = int(headers.indexOf("\r\ncontent-length:"));
            const bool headOnly = headers.startsWith("http/1.1 304") || lastWasHead;
            if (at >= 0 && !headOnly)
                length = headers.mid(at + 17, headers.indexOf("\r\n", at + 2) - at - 17).trimmed().toInt();
            if (received.size() < end + 4 + length)
                return closed;
            whole = received.left(end + 4 + length);
            received.remove(0, whole.size());
            return true;
        }, ms);
        return whole;
    }
    bool lastWasHead = false;

    // Asks for a path and answers the status of the answer (0 for none).
    int get(const QByteArray &target, const QByteArray &method = "GET", const QByteArray &more = QByteArray())
    {
        lastWasHead = method == "HEAD";
        send(method + ' ' + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + more + "\r\n");
        return statusOf(answer());
    }
    static int statusOf(const QByteArray &answer)
    {
        return answer.startsWith("HTTP/1.1 ") ? answer.mid(9, 3).toInt() : 0;
    }
};

// A browser's seat reduced to its WebSocket: it opens the page's socket with
// the page's own origin (or another), keeps every message of every frame,
// and sends one message per binary frame.
struct WebSeat : Inbox
{
    QWebSocket socket;
    MessageAssembler assembler;
    int frames = 0;
    bool opened = false;
    bool closed = false;
    int closeCode = 0;

    explicit WebSeat(quint16 port, const QString &origin = QString())
        : socket(origin.isNull() ? QStringLiteral("http://127.0.0.1:%1").arg(port) : origin)
    {
        QObject::connect(&socket, &QWebSocket::connected, [this] { opened = true; });
        QObject::connect(&socket, &QWebSocket::binaryMessageReceived, [this](const QByteArray &frame) {
            ++frames;
            received += assembler.feed(frame);
        });
        QObject::connect(&socket, &QWebSocket::disconnected, [this] {
            closed = true;
            closeCode = int(socket.closeCode());
        });
        socket.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(port)));
    }

    void send(const QByteArray &command, std::initializer_list<QByteArray> fields)
    {
        socket.sendBinaryMessage(Wire::message(command, fields));
    }
    void sendRaw(const QByteArray &bytes) { socket.sendBinaryMessage(bytes); }
};

// A server with hand-driven timers, its TCP seats on one port and its web
// door on another, both on the loopback address.
struct WebTable
{
    ServerHarness h;
    WebDoor door{h.server, Ticker::Manual};
    std::vector<std::unique_ptr<WebSeat>> webSeats;

    WebTable() { door.open(0, "127.0.0.1"); }
    quint16 webPort() const { return door.port(); }
    void settle() { h.settle(); }

    // Opens a page's seat and logs it in under the name, as the page does:
    // one message, without the empty one the window sends after it.
    WebSeat &joinFromPage(const QByteArray &name)
    {
        webSeats.push_back(std::make_unique<WebSeat>(webPort()));
        WebSeat &s = *webSeats.back();
        settleUntil([&] { return s.askedSeat() != 0 || s.closed; });
        logIn(s, name);
        return s;
    }
    void logIn(WebSeat &s, const QByteArray &name)
    {
        const int seat = s.askedSeat();
        if (seat > 0) {
            s.send("CMD_logininfo", {QByteArray::number(seat), Wire::Version, name});
            settle();
        }
    }
    bool settleUntil(const std::function<bool()> &done, int ms = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < ms) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            while (h.server.queued() > 0)
                h.server.socktimerTimer();
            QTest::qWait(2);
        }
        return done();
    }
};

// The page's WebSocket spoken by hand over a RawVisitor: the handshake, and
// masked binary frames as a browser sends them. The visitor reads only when
// the test lets it, so it can stop reading altogether.
struct RawPage : RawVisitor
{
    explicit RawPage(quint16 port, const char *from = "127.0.0.1", int receiveBuffer = 0)
        : RawVisitor(port, from, receiveBuffer)
    {
        const QByteArray host = "127.0.0.1:" + QByteArray::number(port);
        send("GET /ws HTTP/1.1\r\nHost: " + host + "\r\nOrigin: http://" + host
             + "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
               "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n\r\n");
    }
    bool upgraded() { return waitFor([this] { return received.contains("\r\n\r\n") || closed; }) && received.startsWith("HTTP/1.1 101"); }

    static QByteArray frame(const QByteArray &payload, quint8 opcode = 0x2)
    {
        QByteArray f;
        f += char(0x80 | opcode);
        const qsizetype n = payload.size();
        if (n < 126) {
            f += char(0x80 | n);
        } else if (n < 65536) {
            f += char(0x80 | 126);
            f += char(n >> 8);
            f += char(n & 0xFF);
        } else {
            f += char(0x80 | 127);
            for (int shift = 56; shift >= 0; shift -= 8)
                f += char((quint64(n) >> shift) & 0xFF);
        }
        const char mask[4] = {0x12, 0x34, 0x56, 0x78};
        f.append(mask, 4);
        for (qsizetype i = 0; i < n; ++i)
            f += char(payload[i] ^ mask[i % 4]);
        return f;
    }
    bool sendMessage(const QByteArray &command, std::initializer_list<QByteArray> fields)
    {
        return send(frame(Wire::message(command, fields)));
    }
};
