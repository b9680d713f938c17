// One player of the word-latency benchmark, in a process of its own: it
// connects to a server, logs in, chats a line a second when asked, and in
// every round sends the word a random moment after the round starts. It
// times each of its own finds, from sending CMD_myword to reading its
// CMD_hefoundit, and prints them as "found MICROSECONDS" lines.
//
// load_client PORT [--chat [--chat-after MS]] [--start-at SEATED]
//   --chat            chat a line a second
//   --chat-after MS   the first line after MS milliseconds (at once unless given)
//   --start-at N      as seat 1, start a game once N players are seated

#include "protocol/messageassembler.h"
#include "protocol/tsock.h"
#include "protocol/wire.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <set>

namespace {

struct LoadClient
{
    TSock sock;
    MessageAssembler assembler;
    int seat = 0;
    int startAt = 0;
    std::set<int> seated;
    bool started = false;
    QByteArray board;
    QByteArray word;
    QElapsedTimer sentAt;
    bool waiting = false;
    QTimer chat;

    // The first tile of each letter spells the word as far as the server cares.
    QByteArray positions() const
    {
        const QList<QByteArray> cells = board.split('+');
        const QList<QByteArray> letters = word.split('+');
        QByteArray out;
        for (int k = 1; k + 1 < letters.size(); k += 2)
            for (int i = 1; i + 2 < cells.size(); i += 3)
                if (cells[i + 2] == letters[k + 1]) {
                    out += '+' + cells[i] + '+' + cells[i + 1];
                    break;
                }
        return out;
    }

    void say(const QByteArray &line)
    {
        std::fputs(line.constData(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }

    void handle(const QByteArray &m)
    {
        if (m.startsWith("CMD_sendlogininfo+")) {
            seat = m.mid(18).toInt();
            sock.Send(Wire::message("CMD_logininfo", {Wire::num(seat), Wire::Version, "Player" + Wire::num(seat)}));
            say("seat " + Wire::num(seat));
        } else if (m.startsWith("CMD_newplayerinfo+") || m.startsWith("CMD_existingplayers+")) {
            seated.insert(m.mid(m.indexOf('+') + 1).split('+').value(0).toInt());
            if (seat == 1 && startAt > 0 && !started && int(seated.size()) >= startAt) {
                started = true;
                sock.Send(Wire::message("CMD_startgame", {"Player1", "100000", "20", "f", "f", ""}));
            }
        } else if (m.startsWith("CMD_loadboard+")) {
            board = m.mid(14);
        } else if (m.startsWith("CMD_theword+")) {
            word = m.mid(11);
        } else if (m.startsWith("CMD_nextplayer+") && seat >= 1 && seat <= 6) {
            QTimer::singleShot(QRandomGenerator::global()->bounded(300, 1500), [this] {
                waiting = true;
                sentAt.start();
                sock.Send("CMD_myword+" + Wire::num(seat) + positions() + Wire::Terminator);
            });
        } else if (waiting && m.startsWith("CMD_hefoundit+" + Wire::num(seat) + "+")) {
            waiting = false;
            say("found " + QByteArray::number(sentAt.nsecsElapsed() / 1000));
        }
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: load_client PORT [--chat [--chat-after MS]] [--start-at SEATED]\n");
        return 2;
    }
    LoadClient client;
    const int startIndex = int(args.indexOf(QStringLiteral("--start-at")));
    if (startIndex > 0)
        client.startAt = args.value(startIndex + 1).toInt();

    client.sock.OnRead = [&client](TSock *s, int) {
        for (const QByteArray &m : client.assembler.feed(s->Receive()))
            client.handle(m);
    };
    client.sock.OnDisconnect = [](TSock *) { QCoreApplication::quit(); };
    client.sock.OnInfo = [](TSock *, TSock::TSocketInfo info, const QByteArray &text) {
        if (info == TSock::siError) {
            std::fprintf(stderr, "load_client: %s\n", text.constData());
            QCoreApplication::exit(1);
        }
    };
    client.chat.setInterval(1000);
    QObject::connect(&client.chat, &QTimer::timeout, [&client] {
        if (client.seat > 0)
            client.sock.Send(Wire::message("CMD_chat", {Wire::num(client.seat), "a line of chat|clBlack"}));
    });
    if (args.contains(QStringLiteral("--chat"))) {
        // The first line after the given pause, then one a second.
        const int afterIndex = int(args.indexOf(QStringLiteral("--chat-after")));
        const int after = afterIndex > 0 ? std::max(0, args.value(afterIndex + 1).toInt()) : 0;
        QTimer::singleShot(after, &client.chat, qOverload<>(&QTimer::start));
    }
    client.sock.setHostName("127.0.0.1");
    client.sock.setPortName(args.at(1).toLatin1());
    client.sock.Open();
    return QCoreApplication::exec();
}
