#pragma once

#include "protocol/messageassembler.h"
#include "protocol/tsock.h"
#include "protocol/wire.h"
#include "server/tserver.h"
#include "support/settle.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <memory>

#include <sys/socket.h>

// The messages a test's client has received, in order.
struct Inbox
{
    QList<QByteArray> received;

    // Received messages that start with the prefix.
    QList<QByteArray> with(const QByteArray &prefix) const
    {
        QList<QByteArray> out;
        for (const QByteArray &m : received)
            if (m.startsWith(prefix))
                out << m;
        return out;
    }
    QByteArray last(const QByteArray &prefix) const
    {
        const QList<QByteArray> all = with(prefix);
        return all.isEmpty() ? QByteArray() : all.last();
    }
    QList<QByteArray> take()
    {
        QList<QByteArray> out;
        out.swap(received);
        return out;
    }
    // The seat named by the last request for a login; 0 without one.
    int askedSeat() const
    {
        return last("CMD_sendlogininfo+").mid(int(qstrlen("CMD_sendlogininfo+"))).toInt();
    }
};

// A game client reduced to its wire: it connects, keeps every message it
// receives, and sends whatever the test tells it to.
struct ScriptedClient : Inbox
{
    TSock sock;
    MessageAssembler assembler;
    bool closed = false;
    int seat = 0;

    explicit ScriptedClient(quint16 port)
    {
        sock.OnRead = [this](TSock *s, int) { received += assembler.feed(s->Receive()); };
        sock.OnInfo = [this](TSock *, TSock::TSocketInfo info, const QByteArray &msg) {
            if (info == TSock::siClose && msg == "Socket Closed")
                closed = true;
        };
        sock.setHostName("127.0.0.1");
        sock.setPortName(QByteArray::number(port));
        sock.Open();
    }

    void send(const QByteArray &command, std::initializer_list<QByteArray> fields)
    {
        sock.Send(Wire::message(command, fields));
    }
    void sendRaw(const QByteArray &bytes) { sock.Send(bytes); }
    // Ends the connection with a reset, as a peer that fails does.
    void dropAbruptly()
    {
        const linger abort{1, 0};
        setsockopt(sock.Handle(), SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        sock.OnInfo = nullptr;
        sock.Close();
    }

};

// A server with hand-driven timers on an ephemeral port, and its clients.
struct ServerHarness
{
    TServer server{nullptr, Ticker::Manual};
    std::vector<std::unique_ptr<ScriptedClient>> clients;

    ServerHarness()
    {
        server.Sock1.setPortName("0");
        server.Sock1.setListen(true);
    }

    quint16 port() const { return server.Sock1.LocalPort(); }

    // Lets the network and the server's dispatch run until nothing moves.
    void settle()
    {
        settleUntilQuiet([this] {
            bool moved = false;
            for (; server.queued() > 0; moved = true)
                server.socktimerTimer();
            return moved;
        });
    }

    // Connects a client and logs it in under the name.
    ScriptedClient &join(const QByteArray &name, const QByteArray &version = Wire::Version)
    {
        return joinAt(port(), name, version);
    }
    // The same on another port: through a line in between, say.
    ScriptedClient &joinAt(quint16 at, const QByteArray &name, const QByteArray &version = Wire::Version)
    {
        clients.push_back(std::make_unique<ScriptedClient>(at));
        ScriptedClient &c = *clients.back();
        settle();
        logIn(c, name, version);
        return c;
    }
    // Answers the server's last request for a login with one for the seat
    // it names.
    void logIn(ScriptedClient &c, const QByteArray &name, const QByteArray &version = Wire::Version)
    {
        c.seat = c.askedSeat();
        if (c.seat > 0) {
            c.sendRaw("CMD_logininfo+" + QByteArray::number(c.seat) + '+' + version + '+' + name
                      + Wire::Terminator + Wire::Terminator);
            settle();
        }
    }

    void tick(int times = 1)
    {
        for (int i = 0; i < times && server.timer1Enabled(); ++i)
            server.timer1Timer();
        settle();
    }

    void clearAll()
    {
        for (auto &c : clients)
            c->received.clear();
    }
};
