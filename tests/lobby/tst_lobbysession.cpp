#include "lobby/joinattempt.h"
#include "lobby/qrcode.h"
#include "lobby/qrimage.h"
#include "server/webdoor.h"
#include "protocol/wire.h"
#include "settings/inifile.h"
#include "support/lobbycopies.h"
#include "support/privatenetwork.h"
#include "support/serverharness.h"
#include "support/testmain.h"
#include "support/webvisitors.h"

#include <QLabel>
#include <QLayout>
#include <QScreen>
#include <QLineEdit>
#include <QPixmap>

// The switch between a solo game, hosting for friends and joining, as a
// player makes it in the lobby window or on the command line; and what the
// player is told when a join fails. The test runs in a network of its own,
// so that it can give the machine a second address and so that a name
// lookup never leaves it.
class TestLobbySession : public QObject
{
    Q_OBJECT

    // Whether a connection to the address and port is taken.
    static bool reachable(LobbyCopies &table, const QByteArray &address, const QByteArray &port)
    {
        TSock probe;
        bool refused = false;
        probe.OnInfo = [&](TSock *, TSock::TSocketInfo info, const QByteArray &) {
            if (info == TSock::siError)
                refused = true;
        };
        probe.setHostName(address);
        probe.setPortName(port);
        probe.Open();
        table.settleUntil([&] { return probe.Connected() || refused; }, 5000);
        return probe.Connected();
    }

    // The status of the page's answer at the address and port; 0 when
    // nothing answers.
    static int pageStatus(LobbyCopies &table, const QByteArray &address, quint16 port)
    {
        TSock probe;
        QByteArray answer;
        bool failed = false;
        probe.OnInfo = [&](TSock *, TSock::TSocketInfo info, const QByteArray &) {
            if (info == TSock::siError)
                failed = true;
        };
        probe.OnRead = [&](TSock *s, int) { answer += s->Receive(); };
        probe.OnConnect = [&](TSock *s) {
            s->Send("GET / HTTP/1.1\r\nHost: " + address + ':' + QByteArray::number(port) + "\r\n\r\n");
        };
        probe.setHostName(address);
        probe.setPortName(QByteArray::number(port));
        probe.Open();
        table.settleUntil([&] { return answer.contains("\r\n\r\n") || failed; }, 5000);
        return answer.startsWith("HTTP/1.1 ") ? answer.mid(9, 3).toInt() : 0;
    }

private slots:
    // Nobody on the network joins a player who believes to be alone; once
    // the player hosts, friends can.
    void aSoloGameOpensToTheNetworkOnlyWhenHosting()
    {
        const QString problem = PrivateNetwork::addAddress("zt0", "10.199.0.1/24");
        if (!problem.isEmpty())
            QSKIP(qPrintable("no second address for the machine: " + problem));
        LobbyCopies table;
        LobbyCopy &ann = table.start();
        QCOMPARE(ann.session().mode(), LobbySession::Solo);
        QCOMPARE(ann.server()->Sock1.BindAddress(), QByteArray("127.0.0.1"));
        QVERIFY(!reachable(table, "10.199.0.1", ann.port));
        QVERIFY(!reachable(table, "::1", ann.port));
        QVERIFY(reachable(table, "127.0.0.1", ann.port));

        PageDoor *door = ann.session().pageDoor();
        QVERIFY(door && !door->doorOpen());
        QVERIFY(ann.session().inviteLinks().isEmpty());

        QVERIFY(ann.session().host("Ann"));
        QVERIFY(reachable(table, "10.199.0.1", ann.port));
        QVERIFY(reachable(table, "::1", ann.port));
        QCOMPARE(ann.session().inviteAddresses(), QByteArrayList({"10.199.0.1:" + ann.port}));
        // Browsers too: the page on the web port, from the network.
        QVERIFY(door->doorOpen());
        const quint16 webPort = door->doorPort();
        const QByteArray link = "http://10.199.0.1:" + QByteArray::number(webPort) + '/';
        QCOMPARE(ann.session().inviteLinks(), QByteArrayList({link}));
        QCOMPARE(pageStatus(table, "10.199.0.1", webPort), 200);
        QVERIFY(ann.session().pageError().isEmpty());
        // The lobby window shows the link and its QR code.
        Tdownload *lobby = ann.lobby();
        lobby->show();
        table.settle();
        QVERIFY(lobby->findChild<QLabel *>("label_links")->text().contains(QString::fromLatin1(link)));
        QCOMPARE(lobby->shownLink(), QString::fromLatin1(link));
        const QLabel *qr = lobby->findChild<QLabel *>("label_qr");
        QVERIFY(qr->isVisible());
        QCOMPARE(qr->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                 QrImage::draw(QrCode::encode(link), Tdownload::QrModulePixels));
        lobby->hide();
        QCOMPARE(ann.session().inviteCommand("10.199.0.1:" + ann.port),
                 "zarvex NAME 10.199.0.1:" + QString::fromLatin1(ann.port) + " join");

        // Back to solo: the door closes again, and the page's with it.
        ann.session().playSolo();
        table.settle();
        QVERIFY(!reachable(table, "10.199.0.1", ann.port));
        QVERIFY(!door->doorOpen());
        QCOMPARE(pageStatus(table, "10.199.0.1", webPort), 0);
        QVERIFY(ann.session().inviteLinks().isEmpty());
        QVERIFY(table.settleUntil([&] { return ann.seated() == QStringList({"Ann"}); }));

        // Another program takes the port on the other address: hosting
        // fails with the reason, and the solo game goes on.
        TSock squatter;
        squatter.setBindAddress("10.199.0.1");
        squatter.setPortName(ann.port);
        squatter.setListen(true);
        QVERIFY(!ann.session().host("Ann"));
        QCOMPARE(ann.session().error(), "Another program uses port " + QString::fromLatin1(ann.port)
                                            + ", so this copy cannot host a game there (Listen - Error Binding Socket).");
        QCOMPARE(ann.session().mode(), LobbySession::Solo);
        QVERIFY(table.settleUntil([&] { return ann.seated() == QStringList({"Ann"}); }));
        QVERIFY(reachable(table, "127.0.0.1", ann.port));
        QVERIFY(!ann.closed);
    }

    // Without a daemon the list says so in one line, and hosting still
    // works; the game is simply not announced.
    // A page from the hosting window's own door takes a seat at its table.
    void aBrowserTakesASeatAtAHostingWindow()
    {
        LobbyCopies table;
        LobbyCopy &ann = table.start();
        QVERIFY(ann.session().host("Ann"));
        QVERIFY(table.settleUntil([&] { return ann.seated() == QStringList({"Ann"}); }));
        WebSeat pia(ann.session().pageDoor()->doorPort());
        QVERIFY(table.settleUntil([&] { return pia.askedSeat() == 2; }));
        pia.send("CMD_logininfo", {"2", Wire::Version, "Pia"});
        QVERIFY(table.settleUntil([&] { return ann.seated() == QStringList({"Ann", "Pia"}); }));
        // Leaving to play solo sends the page away with the rest.
        ann.session().playSolo();
        QVERIFY(table.settleUntil([&] { return pia.closed; }));
    }

    // Another program holds the web port: the game is hosted all the same,
    // and the window says why browsers cannot come.
    void aBusyWebPortLeavesTheGameToTheWindows()
    {
        const int squatter = Loopback::rawListener();
        LobbyCopies table;
        LobbyCopy &ann = table.start({}, Loopback::portOf(squatter));
        QVERIFY(ann.session().host("Ann"));
        QCOMPARE(ann.session().mode(), LobbySession::Hosting);
        QVERIFY(ann.session().pageError().startsWith(
            QStringLiteral("Browsers cannot join: port %1 is not free (").arg(Loopback::portOf(squatter))));
        QVERIFY(ann.session().inviteLinks().isEmpty());
        Tdownload *lobby = ann.lobby();
        lobby->show();
        table.settle();
        QCOMPARE(lobby->findChild<QLabel *>("label_links")->text(), ann.session().pageError().toHtmlEscaped());
        QVERIFY(!lobby->findChild<QLabel *>("label_qr")->isVisible());
        ::close(squatter);
    }

    void withoutADaemonTheLobbySaysSo()
    {
        LobbyCopies table;
        LobbyCopy &ann = table.start();
        Tdownload *lobby = ann.lobby();
        lobby->show();
        table.settle();
        QVERIFY(!lobby->browser().daemonRunning());
        QCOMPARE(lobby->browser().statusText(), MdnsClient::unavailableText());
        QCOMPARE(lobby->findChild<QLabel *>("label_discovery")->text(), MdnsClient::unavailableText());
        QVERIFY(MdnsClient::unavailableText().contains("avahi-daemon"));
        QVERIFY(!MdnsClient::unavailableText().contains('\n'));
        // A window the player made narrow and as low as it goes.
        lobby->resize(420, lobby->minimumSizeHint().height());
        table.settle();
        QVERIFY(ann.session().host("Ann"));
        QVERIFY(ann.session().announcement().isActive());
        QVERIFY(!ann.session().announcement().announcer().isEstablished());
        QVERIFY(lobby->findChild<QLabel *>("label_invite")->text().contains("It is not announced on the network"));
        // The window grows with its texts: every wrapped line shows whole.
        table.settle();
        for (const QLabel *label : lobby->findChildren<QLabel *>()) {
            if (label->isVisible() && label->wordWrap())
                QVERIFY2(label->height() >= label->heightForWidth(label->width()),
                         qPrintable(label->objectName() + ": " + label->text()));
        }
    }

    // Playing solo under the chosen name and then hosting keeps the table
    // (seats, computer players, a game); another name takes seat 1 anew.
    void hostingKeepsTheSoloTableForTheSameName()
    {
        LobbyCopies table;
        LobbyCopy &ann = table.start();
        QVERIFY(table.settleUntil([&] { return ann.seated() == QStringList({"You"}); }));

        auto bob = std::make_unique<ScriptedClient>(ann.session().gamePort());
        QVERIFY(table.settleUntil([&] { return !bob->with("CMD_sendlogininfo+2").isEmpty(); }));
        bob->sendRaw(QByteArray("CMD_logininfo+2+1.0.5+Bob") + Wire::Terminator + Wire::Terminator);
        QVERIFY(table.settleUntil([&] { return ann.seated() == QStringList({"You", "Bob"}); }));

        // "You" is not the chosen name: a fresh table with Ann in seat 1.
        QVERIFY(ann.session().host("Ann"));
        QVERIFY(table.settleUntil([&] { return ann.seated() == QStringList({"Ann"}) && bob->closed; }));
        QCOMPARE(ann.client().myseat(), 1);
        QVERIFY(ann.client().ishost());

        // Bob again, then hosting under the same name: he stays.
        auto again = std::make_unique<ScriptedClient>(ann.session().gamePort());
        QVERIFY(table.settleUntil([&] { return !again->with("CMD_sendlogininfo+2").isEmpty(); }));
        again->sendRaw(QByteArray("CMD_logininfo+2+1.0.5+Bob") + Wire::Terminator + Wire::Terminator);
        QVERIFY(table.settleUntil([&] { return ann.seated() == QStringList({"Ann", "Bob"}); }));
        QVERIFY(ann.session().host("Ann"));
        table.settle();
        QCOMPARE(ann.seated(), QStringList({"Ann", "Bob"}));
        QVERIFY(!again->closed);
        QVERIFY(!ann.closed);
    }

    void aChosenNameIsRememberedAndPlaysSolo()
    {
        LobbyCopies table;
        LobbyCopy &ann = table.start();
        QCOMPARE(ann.session().storedName(), QString());
        QCOMPARE(ann.session().playerName(), LobbySession::loginName());
        QVERIFY(ann.session().host(" Ann "));
        const QString file = ann.client().settings().path();
        QCOMPARE(IniFile(file).readString("Zarvex", "Playername"), QStringLiteral("Ann"));
        ann.session().playSolo();
        QVERIFY(table.settleUntil([&] { return ann.seated() == QStringList({"Ann"}); }));
        QCOMPARE(ann.session().mode(), LobbySession::Solo);
    }

    void namesAreBounded_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("error");
        QTest::newRow("longest") << QString(LobbySession::MaxNameLength, 'a') << QString();
        QTest::newRow("one too long") << QString(LobbySession::MaxNameLength + 1, 'a')
                                      << "A name has at most 24 characters.";
        QTest::newRow("blanks around do not count") << "  " + QString(LobbySession::MaxNameLength, 'a') + "  "
                                                    << QString();
        QTest::newRow("one letter") << "A" << QString();
        QTest::newRow("empty") << "   " << "Type your name first.";
        QTest::newRow("control character") << "A\tB" << "A name cannot hold control characters.";
    }
    void namesAreBounded()
    {
        QFETCH(QString, name);
        QFETCH(QString, error);
        QCOMPARE(LobbySession::nameError(name), error);
        LobbyCopies table;
        LobbyCopy &copy = table.start();
        QCOMPARE(copy.session().host(name), error.isEmpty());
        QCOMPARE(copy.session().error(), error);
        QCOMPARE(copy.session().mode(), error.isEmpty() ? LobbySession::Hosting : LobbySession::Solo);
    }

    // A join that fails returns to the lobby window with the reason, and the
    // copy plays solo again.
    void aFailedJoinSaysWhyInTheLobby_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("timeout");
        QTest::addColumn<QString>("message");
        const QString port = QString::number(Loopback::freePort());
        QTest::newRow("nobody listens") << "127.0.0.1:" + port << false
                                        << "Nobody is hosting a game at 127.0.0.1:" + port
                                               + ".\nError #10061 (WSAECONNREFUSED)";
        QTest::newRow("nobody listens, IPv6") << "[::1]:" + port << false
                                              << "Nobody is hosting a game at [::1]:" + port
                                                     + ".\nError #10061 (WSAECONNREFUSED)";
        QTest::newRow("unknown name") << "no-such-machine.example" << false
                                      << "no-such-machine.example could not be found.\n"
                                         "Host Lookup - Could Not Find Host Entry";
        QTest::newRow("no answer") << "127.0.0.1:" + port << true
                                   << "No answer from 127.0.0.1:" + port
                                          + " after 10 seconds.\nError #10060 (WSAETIMEDOUT)";
    }
    void aFailedJoinSaysWhyInTheLobby()
    {
        if (!PrivateNetwork::entered())
            QSKIP(qPrintable("a name lookup here could leave the machine: " + PrivateNetwork::failure()));
        QFETCH(QString, address);
        QFETCH(bool, timeout);
        QFETCH(QString, message);
        LobbyCopies table;
        LobbyCopy &bob = table.start();
        Tdownload *lobby = bob.lobby();
        lobby->show();
        lobby->findChild<QLineEdit *>("edit_name")->setText("Bob");
        lobby->findChild<QLineEdit *>("edit_address")->setText(address);
        lobby->button_joinClick();
        if (timeout) {
            // Ten seconds without an answer, before the refusal arrives.
            QCOMPARE(bob.session().mode(), LobbySession::Joining);
            QVERIFY(bob.session().attempt().timeoutEnabled());
            bob.session().attempt().timeoutTimer();
        }
        QVERIFY(table.settleUntil([&] { return bob.session().mode() == LobbySession::Solo; }));
        QCOMPARE(lobby->findChild<QLabel *>("label_message")->text(), message);
        QVERIFY(lobby->isVisible());
        QVERIFY(!bob.closed);
        QVERIFY(bob.boxes.isEmpty());
        // The solo game is back, under the name just chosen.
        QVERIFY(table.settleUntil([&] { return bob.seated() == QStringList({"Bob"}); }));
        table.settle();
        QCOMPARE(bob.session().mode(), LobbySession::Solo);
        QVERIFY(!bob.session().attempt().isWaiting());
        QVERIFY(bob.client().ishost());
        QVERIFY(bob.client().startButtonVisible());
    }

    void anAddressThatCannotBeReadIsRefusedBeforeAnything()
    {
        LobbyCopies table;
        LobbyCopy &bob = table.start();
        QVERIFY(!bob.session().join("Bob", "box:65536"));
        QCOMPARE(bob.session().error(), QStringLiteral("The port after the \u201c:\u201d must be a number from 1 to 65535."));
        QCOMPARE(bob.session().mode(), LobbySession::Solo);
        table.settle();
        QCOMPARE(bob.seated(), QStringList({"You"}));
    }

    // Started from a terminal, a failed join leaves the window open and
    // says why in the chat.
    void aFailedJoinFromTheCommandLineIsAStatusLine_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QByteArray>("line");
        const QByteArray port = QByteArray::number(Loopback::freePort());
        QTest::newRow("nobody listens") << QString("127.0.0.1:" + port)
                                        << "Nobody is hosting a game at 127.0.0.1:" + port
                                               + ". (Error #10061 (WSAECONNREFUSED))";
        QTest::newRow("unknown name") << "no-such-machine.example"
                                      << QByteArray("no-such-machine.example could not be found. "
                                                    "(Host Lookup - Could Not Find Host Entry)");
    }
    void aFailedJoinFromTheCommandLineIsAStatusLine()
    {
        if (!PrivateNetwork::entered())
            QSKIP(qPrintable("a name lookup here could leave the machine: " + PrivateNetwork::failure()));
        QFETCH(QString, address);
        QFETCH(QByteArray, line);
        LobbyCopies table;
        LobbyCopy &bob = table.start({"Bob", address, "join"});
        QVERIFY(table.settleUntil([&] { return bob.status().contains(line); }));
        QCOMPARE(bob.status().first(), QByteArray("Loading Multi-player Game.. Please Wait."));
        QVERIFY(!bob.closed);
        QVERIFY(bob.boxes.isEmpty());
    }

    void theCommandLineJoinsAnAddressWithItsPort()
    {
        LobbyCopies table;
        LobbyCopy &ann = table.start({"Ann", "127.0.0.1", "true"});
        QCOMPARE(ann.session().mode(), LobbySession::Hosting);
        QCOMPARE(ann.server()->Sock1.BindAddress(), QByteArray());
        LobbyCopy &bob = table.start({"Bob", "[::1]:" + QString::fromLatin1(ann.port), "join"});
        QVERIFY(table.settleUntil([&] { return bob.seated() == QStringList({"Ann", "Bob"}); }));
        QCOMPARE(bob.session().mode(), LobbySession::Joined);
        QCOMPARE(ann.server()->seat(2).link->peerAddress(), QByteArray("::1"));
        QCOMPARE(ann.server()->seat(1).link->peerAddress(), QByteArray("127.0.0.1"));
    }

    // A joined player whose host ends: the window closes, as any client's.
    void theEndOfAJoinedGameStillClosesTheWindow()
    {
        LobbyCopies table;
        LobbyCopy &ann = table.start();
        QVERIFY(ann.session().host("Ann"));
        LobbyCopy &bob = table.start();
        QVERIFY(bob.session().join("Bob", "127.0.0.1:" + QString::fromLatin1(ann.port)));
        QVERIFY(table.settleUntil([&] { return bob.session().mode() == LobbySession::Joined; }));
        table.quit(ann);
        QVERIFY(table.settleUntil([&] { return bob.closed; }));
    }

    void failureTexts_data()
    {
        QTest::addColumn<QByteArray>("socketText");
        QTest::addColumn<QString>("text");
        QTest::newRow("refused") << QByteArray("Error #10061 (WSAECONNREFUSED)") << "Nobody is hosting a game at box.";
        QTest::newRow("closed before login") << QByteArray("Socket Closed") << "Nobody is hosting a game at box.";
        QTest::newRow("lookup") << QByteArray("Host Lookup - Could Not Find Host Entry") << "box could not be found.";
        QTest::newRow("unreachable") << QByteArray("Error #10065 (WSAEHOSTUNREACH)")
                                     << "No answer from box after 10 seconds.";
    }
    void failureTexts()
    {
        QFETCH(QByteArray, socketText);
        QFETCH(QString, text);
        JoinAttempt attempt(Ticker::Manual);
        QStringList told;
        connect(&attempt, &JoinAttempt::failed, this,
                [&](const QString &t, const QString &detail) { told << t << detail; });
        attempt.socketFailed(socketText);   // not waiting: nothing is told
        QVERIFY(told.isEmpty());
        attempt.begin("box");
        attempt.socketFailed(socketText);
        QCOMPARE(told, QStringList({text, QString::fromLatin1(socketText)}));
        QVERIFY(!attempt.isWaiting() && !attempt.timeoutEnabled());
        attempt.timeoutTimer();
        QCOMPARE(told.size(), 2);
    }
};

ZARVEX_PRIVATE_NETWORK_TEST_MAIN(TestLobbySession)
#include "tst_lobbysession.moc"
