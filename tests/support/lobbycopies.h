#pragma once

#include "client/tchat.h"
#include "lobby/lazypagedoor.h"
#include "lobby/tdownload.h"
#include "server/tserver.h"
#include "server/webdoor.h"
#include "shell/windowset.h"
#include "support/loopback.h"
#include "support/settle.h"

#include <QTemporaryDir>

#include <memory>
#include <vector>

// Copies of the program inside the test process, each with a program
// folder (settings, tally) and a game port of its own, timers driven by
// hand, and what it showed.
struct LobbyCopy
{
    QTemporaryDir home;
    std::unique_ptr<WindowSet> windows;
    Tchat *chat = nullptr;
    QByteArray port = QByteArray::number(Loopback::freePort());
    QStringList boxes;
    QList<QByteArray> lines;
    bool closed = false;

    GameClient &client() { return chat->client(); }
    LobbySession &session() { return chat->session(); }
    TServer *server() { return windows->registry().server; }
    Tdownload *lobby() { return windows->registry().download(); }
    QList<QByteArray> status() const
    {
        QList<QByteArray> out;
        for (const QByteArray &l : lines)
            if (l.startsWith("0+"))
                out << l.mid(2);
        return out;
    }
    // The names the seat rows show.
    QStringList seated()
    {
        QStringList names;
        for (int seat = 1; seat <= GameClient::seatcount; ++seat)
            if (client().row(seat).name != QLatin1String("<Waiting>"))
                names << client().row(seat).name;
        return names;
    }
};

struct LobbyCopies
{
    std::vector<std::unique_ptr<LobbyCopy>> copies;

    // webPort: where a hosting copy serves the page; 0 for any free port.
    // gamePort: its game port; a free one unless given.
    LobbyCopy &start(const QStringList &arguments = {}, quint16 webPort = 0, const QByteArray &gamePort = {})
    {
        auto copy = std::make_unique<LobbyCopy>();
        LobbyCopy *c = copy.get();
        if (!gamePort.isEmpty())
            c->port = gamePort;
        // The settings file's place is read as the windows are made.
        const QByteArray home = qgetenv("ZARVEX_HOME");
        qputenv("ZARVEX_HOME", c->home.path().toLocal8Bit());
        WindowOptions options;
        options.timers = Ticker::Manual;
        // A host's door waits for the first browser, as the program's does,
        // and then makes the web door linked in here.
        options.pageDoor = [](TServer &server, QObject *parent) {
            return new LazyPageDoor([&server](int socket, QString &error, QObject *owner) -> PageDoor * {
                return WebDoor::onSocket(server, Ticker::Manual, socket, error, owner);
            }, parent);
        };
        options.gamePort = c->port;
        options.lobbyPort = Loopback::freePort();
        options.webPort = webPort;
        options.arguments = arguments;
        options.messageBox = [c](QWidget *, const QString &text) { c->boxes << text; };
        options.confirmBox = [](QWidget *, const QString &) { return false; };
        c->windows = std::make_unique<WindowSet>(options);
        qputenv("ZARVEX_HOME", home);
        c->chat = c->windows->registry().chat;
        QObject::connect(&c->client(), &GameClient::chatLine, [c](const QByteArray &l) { c->lines << l; });
        QObject::connect(&c->session(), &LobbySession::chatLine, [c](const QByteArray &l) { c->lines << l; });
        QObject::connect(c->chat, &Tchat::closed, [c] { c->closed = true; });
        c->chat->processparams();
        copies.push_back(std::move(copy));
        settle();
        return *c;
    }

    // Lets the network, every server and every client's dispatch run until
    // nothing moves any more.
    void settle()
    {
        settleUntilQuiet([this] {
            bool moved = false;
            for (auto &c : copies)
                moved = dispatchQueued(*c) || moved;
            return moved;
        });
    }

    // Runs like settle() until the condition holds or the time is up.
    template <class Condition>
    bool settleUntil(Condition condition, int ms = 10000)
    {
        return settleUntilTrue([this] { settle(); }, condition, ms);
    }

    void quit(LobbyCopy &c)
    {
        c.windows.reset();
        c.chat = nullptr;
        settle();
    }
};
