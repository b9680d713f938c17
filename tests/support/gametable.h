#pragma once

#include "client/tchat.h"
#include "server/tserver.h"
#include "server/webdoor.h"
#include "shell/windowset.h"
#include "support/loopback.h"
#include "support/settle.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>
#include <memory>
#include <vector>

// One player's copy of the program inside the test process: a whole set of
// windows with hand-driven timers, and what it showed.
struct Player
{
    std::unique_ptr<WindowSet> windows;
    Tchat *chat = nullptr;
    QStringList boxes;            // message boxes, in order
    QStringList questions;        // Yes/No questions, in order
    bool answer = false;          // the answer to every question
    QList<QByteArray> lines;      // display lines handed to the chat
    QStringList sounds;
    bool closed = false;

    GameClient &client() { return chat->client(); }
    TServer *server() { return windows->registry().server; }
    WindowRegistry &registry() { return windows->registry(); }

    // The chat lines' texts without their line code.
    QList<QByteArray> status() const
    {
        QList<QByteArray> out;
        for (const QByteArray &l : lines)
            if (l.startsWith("0+"))
                out << l.mid(2);
        return out;
    }
};

// Several copies of the program playing together over loopback on a port of
// the test's choosing.
struct GameTable
{
    QByteArray port = QByteArray::number(Loopback::freePort());
    QByteArray chosenPort = port;   // a test may put its own port in instead
    std::vector<std::unique_ptr<Player>> players;

    // via: the port the copy connects to instead of the table's (a line in
    // between, say).
    Player &start(const QStringList &arguments, const QByteArray &via = QByteArray())
    {
        auto player = std::make_unique<Player>();
        Player *p = player.get();
        WindowOptions options;
        options.timers = Ticker::Manual;
        // The web door is linked in: the library the program loads lies
        // beside the program, not beside the tests.
        options.pageDoor = [](TServer &server, QObject *parent) { return new WebDoor(server, Ticker::Manual, parent); };
        options.gamePort = via.isEmpty() ? port : via;
        options.lobbyPort = Loopback::freePort();
        options.arguments = arguments;
        options.messageBox = [p](QWidget *, const QString &text) { p->boxes << text; };
        options.confirmBox = [p](QWidget *, const QString &text) {
            p->questions << text;
            return p->answer;
        };
        p->windows = std::make_unique<WindowSet>(options);
        p->chat = p->windows->registry().chat;
        QObject::connect(&p->client(), &GameClient::chatLine, [p](const QByteArray &l) { p->lines << l; });
        QObject::connect(&p->client(), &GameClient::sound, [p](const QString &s) { p->sounds << s; });
        QObject::connect(p->chat, &Tchat::closed, [p] { p->closed = true; });
        p->chat->processparams();
        players.push_back(std::move(player));
        settle();
        // On a loaded machine the connection to a server of this table may
        // still be on its way after a quiet moment: wait until the copy has
        // its seat and settings, or its connection has ended. (A server of
        // the test's own is the test's to drive.)
        const bool tableServes = std::any_of(players.begin(), players.end(), [](const auto &q) {
            return q->windows && q->server() && q->server()->Sock1.Listen();
        });
        QElapsedTimer clock;
        clock.start();
        while (tableServes && p->client().socket().HandleValid()
               && (p->client().myseat() == 0 || !p->client().settings().isLoaded()) && clock.elapsed() < 10000)
            settle();
        return *p;
    }
    // The port the table chose was free when it was chosen; if something
    // else took it since (an outgoing connection of another program, say),
    // the first copy hosts on another one. A port the test put in stays.
    Player &host(const QString &name)
    {
        for (int attempt = 1;; ++attempt) {
            Player &p = start({name, "127.0.0.1", "true"});
            if (port != chosenPort || players.size() > 1 || attempt == 3 || !p.server() || p.server()->Sock1.Listen())
                return p;
            players.pop_back();
            port = chosenPort = QByteArray::number(Loopback::freePort());
        }
    }
    Player &join(const QString &name, const QByteArray &via = QByteArray())
    {
        return start({name, "127.0.0.1", "False"}, via);
    }

    // Lets the network, the servers and every client's dispatch run until
    // nothing moves any more.
    void settle()
    {
        settleUntilQuiet([this] {
            bool moved = false;
            for (auto &p : players)
                moved = dispatchQueued(*p) || moved;
            return moved;
        });
    }

    // Runs like settle() until the condition holds or the time is up.
    bool settleUntil(const std::function<bool()> &condition, int ms = 10000)
    {
        return settleUntilTrue([this] { settle(); }, condition, ms);
    }

    // Ends one copy as its program would end.
    void quit(Player &p)
    {
        p.windows.reset();
        p.chat = nullptr;
        settle();
    }
};
