// zarvex-server: the game server without a window. The first connection
// takes seat 1 and with it the host's rights; when seat 1 is free again, the
// next newcomer takes it.

#include "lobby/gameannouncer.h"
#include "lobby/hostaddresses.h"
#include "lobby/hostannouncement.h"
#include "server/random.h"
#include "server/tserver.h"
#include "server/webdoor.h"
#include "server/wordlist.h"
#include "shell/errorreport.h"
#include "shell/portchoice.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStringList>
#include <QSysInfo>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    ssize_t ignored = ::write(signalPipe[1], &byte, 1);
    (void)ignored;
}

void log(const QByteArray &line)
{
    std::fprintf(stdout, "%s\n", line.constData());
    std::fflush(stdout);
}

void connectLog(TServer &server)
{
    using N = QByteArray;
    QObject::connect(&server, &TServer::playerJoined, [](int seat, const QByteArray &name) {
        log(name + " joined in seat " + N::number(seat));
    });
    QObject::connect(&server, &TServer::playerLeft, [](int seat, const QByteArray &name) {
        log((name.isEmpty() ? N("A connection") : name) + " left seat " + N::number(seat));
    });
    QObject::connect(&server, &TServer::seatHeld, [](int seat, const QByteArray &name) {
        log(name + " lost the connection: seat " + N::number(seat) + " is held for "
            + N::number(SeatHolds::holdSeconds) + " seconds");
    });
    QObject::connect(&server, &TServer::seatRejoined, [](int seat, const QByteArray &name, int score) {
        log(name + " is back in seat " + N::number(seat) + " with " + N::number(score) + " points");
    });
    QObject::connect(&server, &TServer::holdEnded, [](int seat, const QByteArray &name) {
        log("Seat " + N::number(seat) + " is no longer held for " + name);
    });
    QObject::connect(&server, &TServer::gameStarted, [&server](const QByteArray &starter) {
        log(starter + " started a game: " + (server.scrambled() ? "SCRAMBLED" : "STRAIGHT")
            + (server.onlyletters() ? ", only letters of the word" : "") + ", play to "
            + N::number(server.playtoscore()) + ", " + N::number(server.timeperturn())
            + " seconds a round");
    });
    QObject::connect(&server, &TServer::roundEnded, [&server](int round, bool outOfTime) {
        QByteArray line = "Round " + N::number(round) + (outOfTime ? " out of time" : " over")
                          + ", the word was " + server.board().word() + ":";
        for (int n = 1; n <= TServer::seatcount; ++n) {
            const TServer::Seat &s = server.seat(n);
            if (s.connected)
                line += ' ' + s.name + ' ' + N::number(s.score) + (s.found ? " (+" + N::number(s.bonus) + ")" : "");
        }
        log(line);
    });
    QObject::connect(&server, &TServer::winnerDeclared, [](const QByteArray &text) {
        log("Winner: " + text);
    });
}

const char usageText[] = "usage: zarvex-server [--port N] [--web-port N | --no-web] [--words FILE]\n"
                         "                     [--name TEXT | --no-announce]\n";

int usage()
{
    std::fprintf(stderr, "%s", usageText);
    return 2;
}

int help()
{
    std::printf("%s"
                "Hosts a Zarvex game without a player window. Listens on TCP port 7772,\n"
                "or on port N. The first player to join takes seat 1 and the host's\n"
                "rights. Browsers take seats from the page at http://ADDRESS:7773/ (on\n"
                "port N with --web-port; --no-web serves no page). With --words, the\n"
                "target words come from FILE, a UTF-8 text file with one word a line.\n"
                "The game is announced on the local network\n"
                "(DNS-SD service _zarvex._tcp through the Avahi daemon) as \"Zarvex game on\n"
                "MACHINE\", or as TEXT with --name; --no-announce keeps it unlisted.\n"
                "Ctrl+C or SIGTERM stops it. See zarvex-server(6).\n",
                usageText);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QByteArray port = "7772";
    quint16 webPort = PortChoice::WebPort;
    bool web = true;
    QString wordsFile;
    QString name;
    bool announce = true;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        bool ok = false;
        if (args[i] == "--help" || args[i] == "-h")
            return help();
        if (args[i] == "--port" && i + 1 < args.size() && args[i + 1].toUShort(&ok) > 0 && ok)
            port = args[++i].toLatin1();
        else if (args[i] == "--web-port" && i + 1 < args.size() && args[i + 1].toUShort(&ok) > 0 && ok)
            webPort = args[++i].toUShort();
        else if (args[i] == "--no-web")
            web = false;
        else if (args[i] == "--words" && i + 1 < args.size() && !args[i + 1].isEmpty())
            wordsFile = args[++i];
        else if (args[i] == "--name" && i + 1 < args.size() && !args[i + 1].trimmed().isEmpty())
            name = args[++i].trimmed();
        else if (args[i] == "--no-announce")
            announce = false;
        else
            return usage();
    }

    // A list that cannot serve is refused before anybody can connect.
    std::shared_ptr<const WordList> words;
    if (!wordsFile.isEmpty()) {
        auto list = std::make_shared<WordList>(WordList::readFile(wordsFile));
        const QString refusal = list->refusal();
        if (!refusal.isEmpty()) {
            std::fprintf(stderr, "zarvex-server: %s\n", qUtf8Printable(refusal));
            return 1;
        }
        words = std::move(list);
    }

    if (::pipe(signalPipe) != 0)
        return 1;
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);

    Random::seedFromClock();
    TServer server;
    connectLog(server);
    if (words) {
        server.setWordList(words);
        log("Words from " + words->summary().toUtf8());
    }
    server.Sock1.setPortName(port);
    try {
        server.Sock1.setListen(true);
    } catch (const ESockException &e) {
        std::fprintf(stderr, "zarvex-server: %s (port %s)\n", e.what(), port.constData());
        return 1;
    }
    log("Zarvex server listening on port " + port);

    WebDoor door(server);
    if (web) {
        if (!door.open(webPort)) {
            std::fprintf(stderr, "zarvex-server: the page cannot be served on port %u (%s)\n", unsigned(webPort),
                         qUtf8Printable(door.error()));
            return 1;
        }
        QByteArrayList links = HostAddresses::pageLinks(door.port());
        if (links.isEmpty())
            links << HostAddresses::pageLink("localhost", door.port());
        log("Browsers join at " + links.join(" or "));
    }

    HostAnnouncement announcement;
    if (announce) {
        if (name.isEmpty())
            name = QStringLiteral("Zarvex game on ") + QSysInfo::machineHostName();
        QObject::connect(&announcement.announcer(), &GameAnnouncer::established, [](const QString &as) {
            log("Announced on the local network as \"" + as.toUtf8() + '"');
        });
        announcement.start(&server, name, server.Sock1.LocalPort());
        if (!announcement.announcer().daemonRunning())
            log("Not announced on the local network yet: the Avahi daemon (avahi-daemon) is not running");
    }

    QSocketNotifier stop(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stop, &QSocketNotifier::activated, &app, [&] {
        announcement.stop();
        door.close();
        server.closeAll();
        log("Server stopped");
        app.quit();
    });
    return QCoreApplication::exec();
}
