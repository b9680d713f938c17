// The web door as visitors on the network meet it: real sockets on the
// loopback address, the door's clock driven by hand. Whatever one visitor
// sends, the door answers it as it should and goes on serving the others.

#include "protocol/tcpsilence.h"
#include "server/httprequest.h"
#include "support/testmain.h"
#include "support/webvisitors.h"

#include <QNetworkProxy>

namespace {

// A page still loads and a page's seat still opens.
bool stillServes(WebTable &t)
{
    RawVisitor other(t.webPort());
    if (other.get("/") != 200)
        return false;
    WebSeat seat(t.webPort());
    return t.settleUntil([&] { return seat.askedSeat() != 0; });
}

QByteArray headOfSize(int size)
{
    const QByteArray start = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Pad: ";
    return start + QByteArray(size - start.size() - 4, 'p') + "\r\n\r\n";
}

} // namespace

class TestWebDoor : public QObject
{
    Q_OBJECT

private slots:
    void aVisitorLoadsThePageOverOneConnection()
    {
        WebTable t;
        RawVisitor v(t.webPort());
        QCOMPARE(v.get("/"), 200);
        QCOMPARE(v.get("/js/main.js"), 200);
        QCOMPARE(v.get("/sounds/clear.wav", "HEAD"), 200);
        // Two requests in one go are answered in turn.
        v.lastWasHead = false;
        v.send("GET /style.css HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\nGET /nothing HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        QCOMPARE(RawVisitor::statusOf(v.answer()), 200);
        QCOMPARE(RawVisitor::statusOf(v.answer()), 404);
        QVERIFY(!v.closed);
        // More requests in one go than one head's worth: each in turn.
        QByteArray many;
        for (int i = 0; i < 6; ++i)
            many += "GET /icon.svg HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Pad: " + QByteArray(2000, 'p') + "\r\n\r\n";
        QVERIFY(many.size() > HttpRequest::MaxHeadBytes);
        v.send(many);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(RawVisitor::statusOf(v.answer()), 200);
        QCOMPARE(t.door.visitors(), 1);
        // Asking to close is honoured once the answer is out.
        QCOMPARE(v.get("/icon.svg", "GET", "Connection: close\r\n"), 200);
        QVERIFY(v.waitFor([&] { return v.closed; }));
        v.hangUp();
        QVERIFY(t.settleUntil([&] { return t.door.visitors() == 0; }));
        QVERIFY(!t.door.requesttimerEnabled());
    }

    // A desktop that sends its connections through a SOCKS proxy still lets
    // browsers in: the door listens on this machine, not at the proxy. (On
    // every address, as a host does: the loopback address alone is never
    // proxied.)
    void aDesktopProxyDoesNotStandInTheDoorsWay()
    {
        ServerHarness h;
        WebDoor door{h.server, Ticker::Manual};
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::Socks5Proxy, "127.0.0.1", 1));
        const bool opened = door.open(0);
        QNetworkProxy::setApplicationProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));
        QVERIFY2(opened, qPrintable(door.error()));
        RawVisitor v(door.port());
        QCOMPARE(v.get("/"), 200);
    }

    void refusedRequestsLeaveTheDoorServing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("closes");
        const QByteArray host = "Host: 127.0.0.1\r\n";
        QTest::newRow("outside the table") << "GET /secret HTTP/1.1\r\n" + host + "\r\n" << 404 << false;
        QTest::newRow("dot dot") << "GET /../../etc/passwd HTTP/1.1\r\n" + host + "\r\n" << 404 << false;
        QTest::newRow("encoded dot dot") << "GET /%2e%2e/%2e%2e/etc/passwd HTTP/1.1\r\n" + host + "\r\n" << 404 << false;
        QTest::newRow("double slash") << "GET //etc/passwd HTTP/1.1\r\n" + host + "\r\n" << 404 << false;
        QTest::newRow("backslashes") << "GET /..\\..\\etc\\passwd HTTP/1.1\r\n" + host + "\r\n" << 404 << false;
        QTest::newRow("a query") << "GET /?../../etc/passwd HTTP/1.1\r\n" + host + "\r\n" << 200 << false;
        QTest::newRow("a head of the bound") << headOfSize(HttpRequest::MaxHeadBytes) << 200 << false;
        QTest::newRow("a head a byte over") << headOfSize(HttpRequest::MaxHeadBytes + 1) << 431 << true;
        QTest::newRow("an endless header line") << "GET / HTTP/1.1\r\nX-Long: " + QByteArray(64 * 1024, 'x') << 431 << true;
        QByteArray headers;
        for (int i = 0; i < HttpRequest::MaxHeaders - 1; ++i)
            headers += "X-" + QByteArray::number(i) + ": a\r\n";
        QTest::newRow("as many headers as allowed") << "GET / HTTP/1.1\r\n" + host + headers + "\r\n" << 200 << false;
        QTest::newRow("a header too many") << "GET / HTTP/1.1\r\n" + host + headers + "X-more: a\r\n\r\n" << 431 << true;
        QTest::newRow("another method") << "DELETE / HTTP/1.1\r\n" + host + "\r\n" << 405 << true;
        QTest::newRow("a body") << "POST / HTTP/1.1\r\n" + host + "Content-Length: 4\r\n\r\nabcd" << 405 << true;
        QTest::newRow("not HTTP") << QByteArray("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\r\n\r\n", 15) << 400 << true;
        const QByteArray upgrade = "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                                   "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n";
        QTest::newRow("a foreign origin") << "GET /ws HTTP/1.1\r\n" + host + upgrade + "Origin: http://evil.example\r\n\r\n"
                                          << 403 << true;
        QTest::newRow("no origin") << "GET /ws HTTP/1.1\r\n" + host + upgrade + "\r\n" << 403 << true;
    }
    void refusedRequestsLeaveTheDoorServing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(bool, closes);
        WebTable t;
        const int seatsBefore = t.h.server.seatsused();
        {
            RawVisitor v(t.webPort());
            v.send(bytes);
            const QByteArray answer = v.answer();
            QCOMPARE(RawVisitor::statusOf(answer), status);
            if (status == 405)
                QVERIFY(answer.contains("\r\nAllow: GET, HEAD\r\n"));
            if (closes) {
                // The answer first, then the end: the visitor got it whole.
                QVERIFY(v.waitFor([&] { return v.closed; }));
                QVERIFY(!v.reset);
            } else {
                QVERIFY(!v.closed);
            }
            QCOMPARE(t.h.server.seatsused(), seatsBefore);
        }
        QVERIFY(stillServes(t));
    }

    // A visitor that never finishes its request (one byte a second, or
    // nothing at all) holds its connection for ten seconds and no longer.
    void aSlowVisitorIsClosedAfterTenSeconds_data()
    {
        QTest::addColumn<bool>("trickles");
        QTest::newRow("one byte a second") << true;
        QTest::newRow("nothing at all") << false;
    }
    void aSlowVisitorIsClosedAfterTenSeconds()
    {
        QFETCH(bool, trickles);
        WebTable t;
        RawVisitor slow(t.webPort());
        RawVisitor justInTime(t.webPort());
        QVERIFY(t.settleUntil([&] { return t.door.visitors() == 2; }));
        QVERIFY(t.door.requesttimerEnabled());
        const QByteArray request = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
        for (int second = 1; second <= WebDoor::RequestSeconds; ++second) {
            if (trickles)
                slow.send(request.mid(second - 1, 1));
            if (second == WebDoor::RequestSeconds)
                justInTime.send(request);
            t.settle();
            t.door.requesttimerTimer();
        }
        t.settle();
        slow.read();
        QVERIFY(!slow.closed);
        QVERIFY(slow.received.isEmpty());
        QCOMPARE(RawVisitor::statusOf(justInTime.answer()), 200);
        t.door.requesttimerTimer();
        QVERIFY(slow.waitFor([&] { return slow.closed; }));
        QVERIFY(slow.received.isEmpty());
        // The one that was answered has its own ten seconds again, from
        // its answer on: two of them have passed.
        justInTime.read();
        QVERIFY(!justInTime.closed);
        for (int second = 3; second <= WebDoor::RequestSeconds; ++second)
            t.door.requesttimerTimer();
        t.settle();
        justInTime.read();
        QVERIFY(!justInTime.closed);
        t.door.requesttimerTimer();
        QVERIFY(justInTime.waitFor([&] { return justInTime.closed; }));
        QVERIFY(t.settleUntil([&] { return t.door.visitors() == 0; }));
        QVERIFY(!t.door.requesttimerEnabled());
        QVERIFY(stillServes(t));
    }

    // Connections waiting on the page are bounded per address and in all;
    // past a bound a newcomer is let go at once, just under it one is served.
    void visitorsAreBounded()
    {
        WebTable t;
        std::vector<std::unique_ptr<RawVisitor>> crowd;
        auto arrive = [&](const char *from) {
            crowd.push_back(std::make_unique<RawVisitor>(t.webPort(), from));
            t.settle();
            return crowd.back().get();
        };
        // A seat is no visitor: it plays on whatever the crowd.
        WebSeat &pia = t.joinFromPage("Pia");
        for (int i = 0; i < WebDoor::MaxVisitorsPerAddress; ++i)
            arrive("127.0.0.2");
        QCOMPARE(t.door.visitors(), WebDoor::MaxVisitorsPerAddress);
        RawVisitor *tooMany = arrive("127.0.0.2");
        QVERIFY(tooMany->waitFor([&] { return tooMany->closed; }));
        QCOMPARE(t.door.visitors(), WebDoor::MaxVisitorsPerAddress);
        QCOMPARE(arrive("127.0.0.3")->get("/"), 200);

        // Up to the bound in all, from addresses of their own.
        const char *others[] = {"127.0.0.3", "127.0.0.4", "127.0.0.5", "127.0.0.6"};
        for (const char *from : others)
            while (t.door.visitors() < WebDoor::MaxVisitors) {
                const int before = t.door.visitors();
                arrive(from);
                if (t.door.visitors() == before)
                    break;   // this address is full
            }
        QCOMPARE(t.door.visitors(), WebDoor::MaxVisitors);
        RawVisitor *oneMore = arrive("127.0.0.7");
        QVERIFY(oneMore->waitFor([&] { return oneMore->closed; }));
        QCOMPARE(t.door.visitors(), WebDoor::MaxVisitors);

        pia.send("CMD_chat", {"1", "hi|clBlack"});
        QVERIFY(t.settleUntil([&] { return pia.last("CMD_chat") == "CMD_chat+1+Pia chats: hi|clBlack"; }));
        QVERIFY(!pia.closed);
        // One leaves, one more is let in.
        crowd.front().reset();
        QVERIFY(t.settleUntil([&] { return t.door.visitors() == WebDoor::MaxVisitors - 1; }));
        QCOMPARE(arrive("127.0.0.7")->get("/"), 200);
    }

    // A message as long as the bound is taken, one byte more closes the
    // socket with 1009, as the page knows; the others play on.
    void aFrameOverTheMessageBoundIsRefused()
    {
        WebTable t;
        ScriptedClient &ann = t.h.join("Ann");
        WebSeat &page = t.joinFromPage("Pia");
        QCOMPARE(page.askedSeat(), 2);
        const QByteArray prefix = "CMD_chat+2+";
        const QByteArray longest = prefix + QByteArray(TServer::maxPendingBytes - prefix.size() - 6, 'x') + "|clRed";
        QCOMPARE(longest.size(), TServer::maxPendingBytes);
        page.sendRaw(longest + Wire::Terminator);
        QVERIFY(t.settleUntil([&] { return !ann.with("CMD_chat+2+Pia chats: xxx").isEmpty(); }));
        QVERIFY(!page.closed);

        page.sendRaw(longest + 'x' + Wire::Terminator);
        QVERIFY(t.settleUntil([&] { return page.closed; }));
        QCOMPARE(page.closeCode, 1009);
        QVERIFY(t.settleUntil([&] { return !ann.with("CMD_playerdisconnected+2+Pia").isEmpty(); }));
        ann.send("CMD_chat", {"1", "still here|clBlack"});
        QVERIFY(t.settleUntil([&] { return ann.last("CMD_chat") == "CMD_chat+1+Ann chats: still here|clBlack"; }));
        QVERIFY(stillServes(t));
    }

    // A page that stops reading while the others chat is let go once what
    // waits for it passes the bound; it never holds more than that.
    void aStalledReaderIsDropped()
    {
        WebTable t;
        ScriptedClient &ann = t.h.join("Ann");
        RawPage stalled(t.webPort(), "127.0.0.1", 4096);
        QVERIFY(stalled.upgraded());
        QVERIFY(t.settleUntil([&] { return t.h.server.seat(2).connected; }));
        const int small = 4096;
        setsockopt(t.h.server.seat(2).link->handle(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
        stalled.sendMessage("CMD_logininfo", {"2", Wire::Version, "Sam"});
        QVERIFY(t.settleUntil([&] { return t.h.server.seat(2).name == "Sam"; }));

        const QByteArray line = QByteArray(60 * 1024, 'x') + "|clRed";
        qint64 largest = 0;
        for (int batch = 0; batch < 60 && t.h.server.seat(2).connected; ++batch) {
            ann.received.clear();
            for (int i = 0; i < 4; ++i)
                ann.send("CMD_chat", {"1", line});
            t.settle();
            if (t.h.server.seat(2).link)
                largest = qMax(largest, t.h.server.seat(2).link->outboundBytes());
        }
        QVERIFY(!t.h.server.seat(2).connected);
        QVERIFY2(largest <= TServer::maxOutboundBytes, QByteArray::number(largest).constData());
        QVERIFY(t.settleUntil([&] { return !ann.with("CMD_playerdisconnected+2+Sam").isEmpty(); }));
        QVERIFY(!t.h.server.holds().isHeld(2));
        QVERIFY(stillServes(t));
    }

    // The page learns why it was let go, and so whether to come back.
    void aPageSeatIsToldWhyItWasLetGo()
    {
        WebTable t;
        ScriptedClient &ann = t.h.join("Ann");
        WebSeat &pia = t.joinFromPage("Pia");
        ann.send("CMD_kickhim", {"1", "2", ""});
        QVERIFY(t.settleUntil([&] { return pia.closed; }));
        QCOMPARE(pia.closeCode, 4001);

        // Nine places in all: the tenth comer, a page, is told it is full.
        std::vector<std::unique_ptr<WebSeat>> pages;
        for (int n = 2; n <= TServer::maxSeats; ++n)
            t.joinFromPage("P" + QByteArray::number(n));
        QCOMPARE(t.h.server.seatsused(), TServer::maxSeats);
        WebSeat tenth(t.webPort());
        QVERIFY(t.settleUntil([&] { return tenth.closed; }));
        QCOMPARE(tenth.received, QList<QByteArray>({"CMD_full+"}));
        QCOMPARE(tenth.closeCode, 4002);
        QCOMPARE(t.h.server.seat(TServer::maxSeats).name, QByteArray("P9"));
    }

    // A page's seat is the browser's own connection: its address, and the
    // same watch for silence as the game's own connections.
    void aPageSeatIsTheBrowsersOwnConnection()
    {
        WebTable t;
        RawPage page(t.webPort(), "127.0.0.9");
        QVERIFY(page.upgraded());
        QVERIFY(t.settleUntil([&] { return t.h.server.seat(1).connected; }));
        const SeatLink *link = t.h.server.seat(1).link;
        QCOMPARE(link->peerAddress(), QByteArray("127.0.0.9"));
        const int fd = link->handle();
        QVERIFY(fd >= 0);
        int on = 0, idle = 0, interval = 0, count = 0, nodelay = 0;
        unsigned int silentMs = 0;
        socklen_t len = sizeof on;
        getsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, &len);
        getsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, &len);
        getsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, &len);
        getsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, &len);
        getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &nodelay, &len);
        len = sizeof silentMs;
        getsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &silentMs, &len);
        QCOMPARE(on, 1);
        QCOMPARE(idle, Wire::KeepAliveIdle);
        QCOMPARE(interval, Wire::KeepAliveInterval);
        QCOMPARE(count, Wire::KeepAliveCount);
        QCOMPARE(silentMs, unsigned(Wire::KeepAliveIdle + Wire::KeepAliveInterval * Wire::KeepAliveCount) * 1000u);
        QVERIFY(nodelay != 0);
        // One message per frame, byte for byte.
        page.read();
        const QByteArray frames = page.received.mid(page.received.indexOf("\r\n\r\n") + 4);
        QCOMPARE(frames, QByteArray("\x82\x14" "CMD_sendlogininfo+1\xff"));
    }

    void aClosedDoorTakesNobodyAndKeepsItsSeats()
    {
        WebTable t;
        WebSeat &pia = t.joinFromPage("Pia");
        RawVisitor waiting(t.webPort());
        QVERIFY(t.settleUntil([&] { return t.door.visitors() == 1; }));
        const quint16 port = t.webPort();
        t.door.close();
        QVERIFY(!t.door.isOpen());
        QVERIFY(waiting.waitFor([&] { return waiting.closed; }));
        RawVisitor late(port);
        QVERIFY(late.waitFor([&] { return late.closed; }));
        t.settle();
        QVERIFY(!pia.closed);
        QCOMPARE(t.h.server.seat(1).name, QByteArray("Pia"));
    }
};

ZARVEX_TEST_MAIN(TestWebDoor)
#include "tst_webdoor.moc"
