#include "lobby/gamebrowser.h"
#include "protocol/wire.h"
#include "support/lobbycopies.h"
#include "support/mdnsdaemon.h"
#include "support/serverharness.h"
#include "support/testmain.h"

#include <QLineEdit>
#include <QProcess>

// Games announced and found through a multicast DNS daemon of the test's
// own, on the loopback interface of a network of its own: a window that
// hosts for friends and a dedicated server appear in a browsing copy's list
// with the values of their tables, follow every change, and leave the list
// when they end.
class TestLobbyDiscovery : public QObject
{
    Q_OBJECT

    MdnsDaemon mdns;

    static const FoundGame *listed(GameBrowser &browser, const QString &name)
    {
        const int row = browser.games()->indexOf(name);
        return row < 0 ? nullptr : &browser.games()->at(row);
    }

    // Logs a scripted player in at a port; answers once it sits.
    static std::unique_ptr<ScriptedClient> seat(LobbyCopies &table, quint16 port, const QByteArray &name)
    {
        auto player = std::make_unique<ScriptedClient>(port);
        ScriptedClient *p = player.get();
        table.settleUntil([p] { return !p->with("CMD_sendlogininfo+").isEmpty(); });
        const QByteArray seatNumber = p->last("CMD_sendlogininfo+").mid(18);
        p->sendRaw("CMD_logininfo+" + seatNumber + "+1.0.5+" + name + Wire::Terminator + Wire::Terminator);
        table.settleUntil([p, name] { return !p->with("CMD_newplayerinfo+").isEmpty(); });
        return player;
    }

private slots:
    void initTestCase()
    {
        if (!mdns.start())
            QSKIP(qPrintable(mdns.problem()));
    }

    void aHostingWindowAndAServerAreListedAndFollowTheirTables()
    {
        GameBrowser browser;
        browser.start();
        QTRY_VERIFY_WITH_TIMEOUT(browser.daemonRunning(), 10000);
        QCOMPARE(browser.statusText(), QString());

        LobbyCopies table;
        LobbyCopy &ann = table.start();
        ann.session().setMachineName(QStringLiteral("annbox"));
        QVERIFY(ann.session().host(QStringLiteral("Ann")));
        const quint16 annPort = ann.session().gamePort();

        const quint16 serverPort = Loopback::freePort();
        QProcess server;
        server.setProcessChannelMode(QProcess::MergedChannels);
        server.start(ZARVEX_SERVER, {"--port", QString::number(serverPort), "--no-web", "--name", "Night owls"});
        QVERIFY(server.waitForStarted());

        const QString annGame = QStringLiteral("Ann's game on annbox");
        QVERIFY(table.settleUntil([&] { return listed(browser, annGame) && listed(browser, "Night owls"); }, 15000));
        // The host's own seat may follow its first announcement a moment later.
        QVERIFY(table.settleUntil([&] { return listed(browser, annGame)->txt.players == 1; }));
        const FoundGame *hosted = listed(browser, annGame);
        QCOMPARE(hosted->machine, mdns.hostName);
        QCOMPARE(hosted->address, QByteArray("127.0.0.1"));
        QCOMPARE(hosted->port, annPort);
        QCOMPARE(hosted->txt.version, Wire::Version);
        QCOMPARE(hosted->txt.host, QStringLiteral("Ann"));
        QCOMPARE(hosted->txt.players, 1);
        QCOMPARE(hosted->txt.spectators, 0);
        QVERIFY(hosted->txt.runningKnown && !hosted->txt.running);
        const FoundGame *owls = listed(browser, "Night owls");
        QCOMPARE(owls->port, serverPort);
        QCOMPARE(owls->txt.host, QString());
        QCOMPARE(owls->txt.players, 0);
        QVERIFY(owls->txt.runningKnown && !owls->txt.running);
        QVERIFY(server.readAll().contains("Announced on the local network as \"Night owls\""));

        // A player sits down at the server: seat 1 names the host.
        auto bob = seat(table, serverPort, "Bob");
        QVERIFY(table.settleUntil([&] {
            const FoundGame *g = listed(browser, "Night owls");
            return g && g->txt.players == 1 && g->txt.host == QLatin1String("Bob");
        }));

        // Two more at the window's table, one of them as a spectator
        // beyond the six seats is not needed: players count up.
        auto cat = seat(table, annPort, "Cat");
        QVERIFY(table.settleUntil([&] {
            const FoundGame *g = listed(browser, annGame);
            return g && g->txt.players == 2;
        }));

        // The host starts a game: it runs.
        ann.client().send(Wire::message("CMD_startgame", {"Ann", "250", "30", "f", "f", ""}));
        QVERIFY(table.settleUntil([&] {
            const FoundGame *g = listed(browser, annGame);
            return g && g->txt.running;
        }));

        // Cat's line drops during the game: the seat is held for Cat, and
        // a held seat is not counted as seated, so one player again.
        cat.reset();
        QVERIFY(table.settleUntil([&] {
            const FoundGame *g = listed(browser, annGame);
            return g && g->txt.players == 1;
        }));

        // The hosts end: their games leave the list.
        table.quit(ann);
        QVERIFY(table.settleUntil([&] { return !listed(browser, annGame); }, 15000));
        server.terminate();
        QVERIFY(server.waitForFinished(5000));
        QVERIFY(table.settleUntil([&] { return !listed(browser, "Night owls"); }, 15000));
    }

    // The lobby window of one copy hosts; a second copy, with a folder of
    // its own, finds the game in its lobby's list and joins it from there.
    void aSecondCopyJoinsFromItsList()
    {
        LobbyCopies table;
        LobbyCopy &ann = table.start();
        ann.lobby()->show();
        ann.lobby()->findChild<QLineEdit *>("edit_name")->setText("Ann");
        ann.lobby()->button_hostClick();
        QCOMPARE(ann.session().mode(), LobbySession::Hosting);
        QVERIFY(table.settleUntil([&] { return ann.seated() == QStringList({"Ann"}); }));

        LobbyCopy &bob = table.start();
        QCOMPARE(bob.session().mode(), LobbySession::Solo);
        bob.lobby()->show();
        bob.lobby()->findChild<QLineEdit *>("edit_name")->setText("Bob");
        FoundGames *games = bob.lobby()->browser().games();
        const QString annGame = "Ann's game on " + ann.session().machineName();
        QVERIFY(table.settleUntil([&] { return games->indexOf(GameAnnouncer::fitName(annGame)) >= 0; }, 15000));
        bob.lobby()->joinRow(games->indexOf(GameAnnouncer::fitName(annGame)));
        QVERIFY(table.settleUntil([&] {
            return ann.seated() == QStringList({"Ann", "Bob"}) && bob.seated() == QStringList({"Ann", "Bob"});
        }));
        QCOMPARE(bob.session().mode(), LobbySession::Joined);
        QVERIFY(!bob.lobby()->isVisible());
        QCOMPARE(bob.client().myseat(), 2);
        QVERIFY(!bob.closed);
        QVERIFY(!ann.closed);
        // Each copy remembers its own player's name in its own folder.
        QCOMPARE(ann.session().storedName(), QStringLiteral("Ann"));
        QCOMPARE(bob.session().storedName(), QStringLiteral("Bob"));
    }
};

ZARVEX_PRIVATE_NETWORK_TEST_MAIN(TestLobbyDiscovery)
#include "tst_lobbydiscovery.moc"
