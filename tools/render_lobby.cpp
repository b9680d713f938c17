// zarvex-lobbyshot PATH [HOSTPATH]: the lobby window of a copy that has found
// two games on the network: a window hosting for friends, with a game
// running, and a dedicated server; with HOSTPATH also the hosting window's
// own lobby, with the addresses it gives friends and the browser page's
// address with its QR code. Everything runs in a network of its own with a multicast
// DNS daemon of its own (the tests' harness), so it needs root (or user
// namespaces), avahi-daemon and dbus-daemon. Run it offscreen
// (QT_QPA_PLATFORM=offscreen) to refresh the README's picture.

#include "protocol/wire.h"
#include "support/lobbycopies.h"
#include "support/mdnsdaemon.h"
#include "support/privatenetwork.h"
#include "support/serverharness.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QProcess>

#include <cstdio>

namespace {

[[noreturn]] void fail(const QString &why)
{
    std::fprintf(stderr, "zarvex-lobbyshot: %s\n", qPrintable(why));
    std::exit(1);
}

} // namespace

int main(int argc, char *argv[])
{
    PrivateNetwork::enter();
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    if (app.arguments().size() < 2 || app.arguments().size() > 3) {
        std::fprintf(stderr, "usage: zarvex-lobbyshot PATH [HOSTPATH]\n");
        return 2;
    }
    MdnsDaemon mdns;
    mdns.hostName = QStringLiteral("living-room");
    if (!mdns.start())
        fail(mdns.problem());

    // The address friends see: one of this private network's own.
    PrivateNetwork::addAddress(QStringLiteral("zt0"), QStringLiteral("192.168.1.20/24"));
    LobbyCopies table;
    // The game and the page on their usual ports: this network is the
    // tool's own.
    LobbyCopy &ann = table.start({}, 7773, "7772");
    ann.session().setMachineName(mdns.hostName);
    if (!ann.session().host(QStringLiteral("Ann")))
        fail(ann.session().error());
    ScriptedClient bob(ann.session().gamePort());
    table.settleUntil([&] { return !bob.with("CMD_sendlogininfo+2").isEmpty(); });
    bob.sendRaw(QByteArray("CMD_logininfo+2+1.0.5+Bob") + Wire::Terminator + Wire::Terminator);
    table.settleUntil([&] { return ann.seated().size() == 2; });
    ann.client().send(Wire::message("CMD_startgame", {"Ann", "250", "60", "t", "f", ""}));

    QProcess server;
    server.start(QStringLiteral(ZARVEX_SERVER),
                 {"--port", "7790", "--no-web", "--name", "Word club on " + mdns.hostName});

    LobbyCopy &cleo = table.start();
    Tdownload *lobby = cleo.lobby();
    lobby->show();
    lobby->findChild<QLineEdit *>("edit_name")->setText("Cleo");
    FoundGames *games = lobby->browser().games();
    if (!table.settleUntil([&] {
            return games->count() == 2 && games->at(games->indexOf("Ann's game on living-room")).txt.running;
        }, 20000))
        fail("the two games were not found");
    auto *list = lobby->findChild<QListView *>("list_games");
    list->setCurrentIndex(games->index(games->indexOf("Ann's game on living-room")));
    table.settle();
    if (!lobby->grab().save(app.arguments().at(1)))
        fail("cannot write " + app.arguments().at(1));
    if (app.arguments().size() == 3) {
        ann.lobby()->show();
        table.settleUntil([&] { return ann.lobby()->browser().games()->count() == 2; }, 20000);
        if (!ann.lobby()->grab().save(app.arguments().at(2)))
            fail("cannot write " + app.arguments().at(2));
    }
    server.terminate();
    server.waitForFinished(5000);
    return 0;
}
