// What the web door reads from a visitor and what it answers, without a
// socket: request heads at and past their bounds, paths that try to leave
// the table, the headers of every answer, and which pages may open a seat.

#include "server/httprequest.h"
#include "server/webfiles.h"
#include "server/website.h"
#include "support/testmain.h"

#include <QFile>

namespace {

QByteArray head(const QByteArray &requestLine, const QByteArray &headers = "Host: 127.0.0.1:7773\r\n")
{
    return requestLine + "\r\n" + headers + "\r\n";
}

// A request head of exactly `size` bytes: a padding header fills it up.
QByteArray headOfSize(int size)
{
    const QByteArray start = "GET / HTTP/1.1\r\nHost: 127.0.0.1:7773\r\nX-Pad: ";
    const QByteArray end = "\r\n\r\n";
    return start + QByteArray(size - start.size() - end.size(), 'p') + end;
}

QByteArray headerValue(const QByteArray &answer, const QByteArray &name)
{
    const int end = int(answer.indexOf("\r\n\r\n"));
    for (const QByteArray &line : answer.left(end).split('\n')) {
        const QByteArray l = line.trimmed();
        if (l.toLower().startsWith(name.toLower() + ':'))
            return l.mid(name.size() + 1).trimmed();
    }
    return QByteArray();
}

QByteArray bodyOf(const QByteArray &answer)
{
    return answer.mid(answer.indexOf("\r\n\r\n") + 4);
}

const QByteArray upgradeHeaders = "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 13\r\n"
                                  "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n";

} // namespace

class TestWebRequests : public QObject
{
    Q_OBJECT

private slots:
    void headsAreReadWholeOrNotAtAll_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::newRow("whole") << head("GET / HTTP/1.1") << int(HttpRequest::Complete);
        QTest::newRow("HTTP/1.0 without host") << QByteArray("GET / HTTP/1.0\r\n\r\n") << int(HttpRequest::Complete);
        QTest::newRow("no empty line yet") << QByteArray("GET / HTTP/1.1\r\nHost: a\r\n") << int(HttpRequest::Incomplete);
        QTest::newRow("half a line") << QByteArray("GET / HT") << int(HttpRequest::Incomplete);
        QTest::newRow("nothing") << QByteArray() << int(HttpRequest::Incomplete);
        QTest::newRow("a bound's worth") << headOfSize(HttpRequest::MaxHeadBytes) << int(HttpRequest::Complete);
        QTest::newRow("a byte past the bound") << headOfSize(HttpRequest::MaxHeadBytes + 1) << int(HttpRequest::TooLarge);
        QTest::newRow("an endless line") << ("GET /" + QByteArray(HttpRequest::MaxHeadBytes, 'a')) << int(HttpRequest::TooLarge);
        QTest::newRow("an endless header") << ("GET / HTTP/1.1\r\nX: " + QByteArray(HttpRequest::MaxHeadBytes, 'a'))
                                           << int(HttpRequest::TooLarge);
        QByteArray many;
        for (int i = 0; i < HttpRequest::MaxHeaders; ++i)
            many += "X-" + QByteArray::number(i) + ": a\r\n";
        QTest::newRow("as many headers as allowed") << head("GET / HTTP/1.1", many) << int(HttpRequest::Complete);
        QTest::newRow("one header too many") << head("GET / HTTP/1.1", many + "X-last: a\r\n") << int(HttpRequest::TooLarge);
        QTest::newRow("bare line feeds") << QByteArray("GET / HTTP/1.1\nHost: a\n\n") << int(HttpRequest::Bad);
        QTest::newRow("bare line feed at the end") << QByteArray("GET / HTTP/1.1\r\nHost: a\r\n\n") << int(HttpRequest::Bad);
        QTest::newRow("HTTP/2") << head("GET / HTTP/2.0") << int(HttpRequest::Bad);
        QTest::newRow("no version") << head("GET /") << int(HttpRequest::Bad);
        QTest::newRow("two spaces") << head("GET  / HTTP/1.1") << int(HttpRequest::Bad);
        QTest::newRow("a space in the path") << head("GET /a b HTTP/1.1") << int(HttpRequest::Bad);
        QTest::newRow("a tab in the path") << head("GET /a\tb HTTP/1.1") << int(HttpRequest::Bad);
        QTest::newRow("no method") << head(" / HTTP/1.1") << int(HttpRequest::Bad);
        QTest::newRow("method not a token") << head("G(T / HTTP/1.1") << int(HttpRequest::Bad);
        QTest::newRow("folded header") << head("GET / HTTP/1.1", "Host: a\r\n b\r\n") << int(HttpRequest::Bad);
        QTest::newRow("header without colon") << head("GET / HTTP/1.1", "Host a\r\n") << int(HttpRequest::Bad);
        QTest::newRow("blank before the colon") << head("GET / HTTP/1.1", "Host : a\r\n") << int(HttpRequest::Bad);
        QTest::newRow("empty name") << head("GET / HTTP/1.1", ": a\r\n") << int(HttpRequest::Bad);
        QTest::newRow("control in a value") << head("GET / HTTP/1.1", QByteArray("X: a\0b\r\n", 8)) << int(HttpRequest::Bad);
        QTest::newRow("bad request line before the end") << QByteArray("BLAH\r\nHost: a\r\n") << int(HttpRequest::Bad);
    }
    void headsAreReadWholeOrNotAtAll()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        const HttpRequest r = HttpRequest::parse(bytes);
        QCOMPARE(int(r.status()), status);
        QCOMPARE(r.headLength(), status == HttpRequest::Complete ? int(bytes.size()) : 0);
    }

    void aHeadIsReadWithoutTheRequestAfterIt()
    {
        const QByteArray first = head("GET /style.css?v=2 HTTP/1.1", "Host: box:7773\r\nConnection: keep-alive, Upgrade\r\n");
        const HttpRequest r = HttpRequest::parse(first + "GET /icon.svg HTTP/1.1\r\nHo");
        QCOMPARE(r.status(), HttpRequest::Complete);
        QCOMPARE(r.headLength(), int(first.size()));
        QCOMPARE(r.method(), QByteArray("GET"));
        QCOMPARE(r.target(), QByteArray("/style.css?v=2"));
        QCOMPARE(r.path(), QByteArray("/style.css"));
        QCOMPARE(r.header("HOST"), QByteArray("box:7773"));
        QVERIFY(r.headerHasToken("connection", "upgrade"));
        QVERIFY(!r.headerHasToken("connection", "close"));
        QVERIFY(r.keepsAlive());
        QVERIFY(!r.asksUpgrade());
        QVERIFY(!HttpRequest::parse(head("GET / HTTP/1.1", "Connection: close\r\n")).keepsAlive());
        QVERIFY(!HttpRequest::parse(head("GET / HTTP/1.0", "")).keepsAlive());
        QVERIFY(HttpRequest::parse(head("GET /ws HTTP/1.1", upgradeHeaders)).asksUpgrade());
        QVERIFY(!HttpRequest::parse(head("POST /ws HTTP/1.1", upgradeHeaders)).asksUpgrade());
    }

    // Only the exact paths of the table are served; nothing is decoded, so
    // no spelling of a path reaches anything else.
    void pathsOutsideTheTableAreNotFound_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<int>("status");
        QTest::newRow("the page") << QByteArray("/") << 200;
        QTest::newRow("the page by name") << QByteArray("/index.html") << 200;
        QTest::newRow("with a query") << QByteArray("/index.html?x=1&y=../../etc") << 200;
        QTest::newRow("a module") << QByteArray("/js/game.js") << 200;
        QTest::newRow("a sound") << QByteArray("/sounds/tick.wav") << 200;
        QTest::newRow("unknown") << QByteArray("/secret.txt") << 404;
        QTest::newRow("the table itself") << QByteArray("/files.txt") << 404;
        QTest::newRow("the page's tests") << QByteArray("/test/game.test.mjs") << 404;
        QTest::newRow("the README") << QByteArray("/README.md") << 404;
        QTest::newRow("dot dot") << QByteArray("/../CMakeLists.txt") << 404;
        QTest::newRow("dot dot inside") << QByteArray("/js/../index.html") << 404;
        QTest::newRow("encoded dot dot") << QByteArray("/%2e%2e/%2e%2e/etc/passwd") << 404;
        QTest::newRow("encoded in capitals") << QByteArray("/%2E%2E%2Findex.html") << 404;
        QTest::newRow("encoded slash") << QByteArray("/js%2fgame.js") << 404;
        QTest::newRow("double slash") << QByteArray("//index.html") << 404;
        QTest::newRow("double slash inside") << QByteArray("/js//game.js") << 404;
        QTest::newRow("backslash") << QByteArray("/js\\game.js") << 404;
        QTest::newRow("backslash dot dot") << QByteArray("/..\\..\\etc\\passwd") << 404;
        QTest::newRow("a sound outside the list") << QByteArray("/sounds/../dictionary.txt") << 404;
        QTest::newRow("a resource path") << QByteArray("/:/zarvex/web/index.html") << 404;
        QTest::newRow("case") << QByteArray("/INDEX.HTML") << 404;
        QTest::newRow("trailing dot") << QByteArray("/index.html.") << 404;
        QTest::newRow("absolute form") << QByteArray("http://127.0.0.1:7773/") << 400;
        QTest::newRow("the socket without upgrade") << QByteArray("/ws") << 426;
    }
    void pathsOutsideTheTableAreNotFound()
    {
        QFETCH(QByteArray, target);
        QFETCH(int, status);
        const WebSite site(WebFiles::builtIn());
        const HttpRequest r = HttpRequest::parse(head("GET " + target + " HTTP/1.1"));
        QCOMPARE(r.status(), HttpRequest::Complete);
        const WebSite::Answer a = site.answer(r);
        QCOMPARE(a.status, status);
        QVERIFY(a.bytes.startsWith("HTTP/1.1 " + QByteArray::number(status) + ' '));
    }

    // Every answer, whatever its status, carries the page's policy and
    // forbids guessing its type; a file carries its own type and caching.
    void everyAnswerCarriesThePolicy_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("cache");
        QTest::newRow("page") << head("GET / HTTP/1.1") << 200 << QByteArray("no-cache");
        QTest::newRow("icon") << head("GET /icon.svg HTTP/1.1") << 200 << QByteArray("max-age=86400");
        QTest::newRow("sound") << head("HEAD /sounds/wave3.wav HTTP/1.1") << 200 << QByteArray("max-age=86400");
        QTest::newRow("not found") << head("GET /nope HTTP/1.1") << 404 << QByteArray("no-store");
        QTest::newRow("post") << head("POST / HTTP/1.1") << 405 << QByteArray("no-store");
        QTest::newRow("options") << head("OPTIONS * HTTP/1.1") << 405 << QByteArray("no-store");
        QTest::newRow("body") << head("GET / HTTP/1.1", "Host: 127.0.0.1\r\nContent-Length: 5\r\n") << 400
                              << QByteArray("no-store");
        QTest::newRow("chunked") << head("GET / HTTP/1.1", "Host: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n") << 400
                                 << QByteArray("no-store");
        QTest::newRow("no host") << head("GET / HTTP/1.1", "") << 400 << QByteArray("no-store");
        QTest::newRow("two hosts") << head("GET / HTTP/1.1", "Host: a\r\nHost: b\r\n") << 400 << QByteArray("no-store");
        QTest::newRow("foreign host") << head("GET / HTTP/1.1", "Host: evil.example:7773\r\n") << 403
                                      << QByteArray("no-store");
        QTest::newRow("foreign origin") << head("GET /ws HTTP/1.1", "Host: 127.0.0.1:7773\r\nOrigin: http://evil.example\r\n"
                                                                       + upgradeHeaders)
                                        << 403 << QByteArray("no-store");
    }
    void everyAnswerCarriesThePolicy()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        QFETCH(QByteArray, cache);
        const WebSite site(WebFiles::builtIn());
        const HttpRequest r = HttpRequest::parse(request);
        const WebSite::Answer a = r.asksUpgrade() ? site.upgradeRefusal(r) : site.answer(r);
        QCOMPARE(a.status, status);
        QCOMPARE(headerValue(a.bytes, "Content-Security-Policy"), WebSite::ContentSecurityPolicy);
        QVERIFY(WebSite::ContentSecurityPolicy.contains("script-src 'self'"));
        QVERIFY(!WebSite::ContentSecurityPolicy.contains("unsafe"));
        QCOMPARE(headerValue(a.bytes, "X-Content-Type-Options"), QByteArray("nosniff"));
        QCOMPARE(headerValue(a.bytes, "Cache-Control"), cache);
        QCOMPARE(headerValue(a.bytes, "Allow"), status == 405 ? QByteArray("GET, HEAD") : QByteArray());
        // Errors end the connection, except a path that is merely unknown.
        QCOMPARE(a.close, status != 200 && status != 404);
        QCOMPARE(headerValue(a.bytes, "Content-Length").toInt(), bodyOf(a.bytes).size()
                 + (r.method() == "HEAD" ? int(WebFiles::builtIn().find(r.path())->body.size()) : 0));
    }

    void headAnswersAsGetWithoutTheBody()
    {
        const WebSite site(WebFiles::builtIn());
        const WebSite::Answer get = site.answer(HttpRequest::parse(head("GET /js/game.js HTTP/1.1")));
        const WebSite::Answer only = site.answer(HttpRequest::parse(head("HEAD /js/game.js HTTP/1.1")));
        QCOMPARE(get.status, 200);
        QCOMPARE(only.status, 200);
        const QByteArray body = bodyOf(get.bytes);
        QCOMPARE(body, WebFiles::builtIn().find("/js/game.js")->body);
        QVERIFY(bodyOf(only.bytes).isEmpty());
        QCOMPARE(only.bytes, get.bytes.left(get.bytes.size() - body.size()));
        QCOMPARE(headerValue(get.bytes, "Content-Type"), QByteArray("text/javascript; charset=utf-8"));
    }

    // A browser that has the file asks with its tag and gets no body.
    void aKnownTagIsAnsweredWithoutTheFile_data()
    {
        QTest::addColumn<QByteArray>("ifNoneMatch");
        QTest::addColumn<int>("status");
        const QByteArray tag = WebFiles::builtIn().find("/style.css")->etag;
        QTest::newRow("its tag") << tag << 304;
        QTest::newRow("weak") << "W/" + tag << 304;
        QTest::newRow("in a list") << "\"old\", " + tag << 304;
        QTest::newRow("any") << QByteArray("*") << 304;
        QTest::newRow("another") << QByteArray("\"0123\"") << 200;
        QTest::newRow("unquoted") << tag.mid(1, tag.size() - 2) << 200;
    }
    void aKnownTagIsAnsweredWithoutTheFile()
    {
        QFETCH(QByteArray, ifNoneMatch);
        QFETCH(int, status);
        const WebSite site(WebFiles::builtIn());
        const WebSite::Answer a =
            site.answer(HttpRequest::parse(head("GET /style.css HTTP/1.1", "Host: 127.0.0.1\r\nIf-None-Match: " + ifNoneMatch + "\r\n")));
        QCOMPARE(a.status, status);
        QCOMPARE(headerValue(a.bytes, "ETag"), WebFiles::builtIn().find("/style.css")->etag);
        QCOMPARE(bodyOf(a.bytes).isEmpty(), status == 304);
    }

    void headsThatCannotBeReadAreRefused()
    {
        const WebSite site(WebFiles::builtIn());
        const WebSite::Answer large = site.refusal(HttpRequest::TooLarge);
        QCOMPARE(large.status, 431);
        QVERIFY(large.close);
        QVERIFY(large.bytes.startsWith("HTTP/1.1 431 Request Header Fields Too Large\r\n"));
        const WebSite::Answer bad = site.refusal(HttpRequest::Bad);
        QCOMPARE(bad.status, 400);
        QVERIFY(bad.close);
        QCOMPARE(headerValue(bad.bytes, "X-Content-Type-Options"), QByteArray("nosniff"));
    }

    // A seat is opened for the page itself only: the Origin is the Host it
    // was served from, and the Host names this machine.
    void onlyThePagesOwnOriginOpensASeat_data()
    {
        QTest::addColumn<QByteArray>("host");
        QTest::addColumn<QByteArray>("origin");   // "-" for none
        QTest::addColumn<int>("status");          // 0: granted
        QTest::newRow("address") << QByteArray("192.0.2.7:7773") << QByteArray("http://192.0.2.7:7773") << 0;
        QTest::newRow("loopback") << QByteArray("127.0.0.1:7773") << QByteArray("http://127.0.0.1:7773") << 0;
        QTest::newRow("IPv6") << QByteArray("[2001:db8::7]:7773") << QByteArray("http://[2001:db8::7]:7773") << 0;
        QTest::newRow("localhost") << QByteArray("localhost:7773") << QByteArray("http://localhost:7773") << 0;
        QTest::newRow("machine") << QByteArray("gamebox:7773") << QByteArray("http://gamebox:7773") << 0;
        QTest::newRow("machine.local") << QByteArray("GameBox.local:7773") << QByteArray("http://gamebox.local:7773") << 0;
        QTest::newRow("no port") << QByteArray("192.0.2.7") << QByteArray("http://192.0.2.7") << 0;
        QTest::newRow("no origin") << QByteArray("192.0.2.7:7773") << QByteArray("-") << 403;
        QTest::newRow("null origin") << QByteArray("192.0.2.7:7773") << QByteArray("null") << 403;
        QTest::newRow("foreign origin") << QByteArray("192.0.2.7:7773") << QByteArray("http://evil.example") << 403;
        QTest::newRow("another port") << QByteArray("192.0.2.7:7773") << QByteArray("http://192.0.2.7:8080") << 403;
        QTest::newRow("https") << QByteArray("192.0.2.7:7773") << QByteArray("https://192.0.2.7:7773") << 403;
        QTest::newRow("with a path") << QByteArray("192.0.2.7:7773") << QByteArray("http://192.0.2.7:7773/") << 403;
        QTest::newRow("longer") << QByteArray("192.0.2.7:7773") << QByteArray("http://192.0.2.7:77730") << 403;
        QTest::newRow("a name made to point here") << QByteArray("evil.example:7773") << QByteArray("http://evil.example:7773")
                                                   << 403;
        QTest::newRow("a name ending like ours") << QByteArray("notgamebox:7773") << QByteArray("http://notgamebox:7773") << 403;
        QTest::newRow("a bad bracket") << QByteArray("[::1:7773") << QByteArray("http://[::1:7773") << 403;
    }
    void onlyThePagesOwnOriginOpensASeat()
    {
        QFETCH(QByteArray, host);
        QFETCH(QByteArray, origin);
        QFETCH(int, status);
        const WebSite site(WebFiles::builtIn(), "GameBox");
        QByteArray headers = "Host: " + host + "\r\n" + upgradeHeaders;
        if (origin != "-")
            headers += "Origin: " + origin + "\r\n";
        const HttpRequest r = HttpRequest::parse(head("GET /ws HTTP/1.1", headers));
        QVERIFY(r.asksUpgrade());
        QCOMPARE(site.upgradeRefusal(r).status, status);
    }

    void upgradesElsewhereOrMalformedAreRefused_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        const QByteArray ok = "Host: 127.0.0.1:7773\r\nOrigin: http://127.0.0.1:7773\r\n";
        QTest::newRow("granted") << head("GET /ws HTTP/1.1", ok + upgradeHeaders) << 0;
        QTest::newRow("with a query") << head("GET /ws?x HTTP/1.1", ok + upgradeHeaders) << 0;
        QTest::newRow("another path") << head("GET /chat HTTP/1.1", ok + upgradeHeaders) << 404;
        QTest::newRow("HTTP/1.0") << head("GET /ws HTTP/1.0", ok + upgradeHeaders) << 400;
        QTest::newRow("two origins") << head("GET /ws HTTP/1.1", ok + "Origin: http://127.0.0.1:7773\r\n" + upgradeHeaders) << 403;
        QTest::newRow("old version")
            << head("GET /ws HTTP/1.1", ok + "Upgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Version: 8\r\n"
                                             "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n")
            << 426;
        QTest::newRow("no key") << head("GET /ws HTTP/1.1", ok + "Upgrade: websocket\r\nConnection: Upgrade\r\n"
                                                               "Sec-WebSocket-Version: 13\r\n")
                                << 400;
    }
    void upgradesElsewhereOrMalformedAreRefused()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        const WebSite site(WebFiles::builtIn());
        const HttpRequest r = HttpRequest::parse(request);
        QCOMPARE(r.status(), HttpRequest::Complete);
        const WebSite::Answer a = site.upgradeRefusal(r);
        QCOMPARE(a.status, status);
        if (status != 0)
            QVERIFY(a.close);
    }

    // The program serves exactly the table of the page's folder, each row
    // with the bytes of its file.
    void theBuiltInTableIsThePagesOwn()
    {
        QFile table(QStringLiteral(ZARVEX_SOURCE_DIR "/web/files.txt"));
        QVERIFY(table.open(QIODevice::ReadOnly));
        int rows = 0;
        for (const QByteArray &line : table.readAll().split('\n')) {
            if (line.trimmed().isEmpty() || line.startsWith('#'))
                continue;
            ++rows;
            const QList<QByteArray> fields = line.split('\t');
            QCOMPARE(fields.size(), 4);
            const WebFiles::File *file = WebFiles::builtIn().find(fields[0]);
            QVERIFY2(file, fields[0].constData());
            QFile source(QStringLiteral(ZARVEX_SOURCE_DIR "/") + QString::fromUtf8(fields[1]));
            QVERIFY(source.open(QIODevice::ReadOnly));
            QVERIFY2(file->body == source.readAll(), fields[1].constData());
            QCOMPARE(file->type, fields[2]);
            QCOMPARE(file->cacheControl, fields[3]);
        }
        QCOMPARE(WebFiles::builtIn().count(), rows);
        QVERIFY(rows > 20);
    }

    void aTableThatCannotBeReadIsNotServed()
    {
        QStringList errors;
        const WebFiles files = WebFiles::fromTable("# comment\n\n"
                                                   "/a\tweb/index.html\ttext/html\tno-cache\n"
                                                   "/a\tweb/style.css\ttext/css\tno-cache\n"
                                                   "/b\tweb/missing.html\ttext/html\tno-cache\n"
                                                   "c\tweb/index.html\ttext/html\tno-cache\n"
                                                   "/d\tweb/index.html\ttext/html\n"
                                                   "/e  web/index.html  text/html  no-cache\n"
                                                   "/f\tnowhere/index.html\ttext/html\tno-cache\n"
                                                   "/s\tresources/sounds/tick.wav\taudio/wav\tmax-age=86400\r\n",
                                                   &errors);
        QCOMPARE(files.paths(), QList<QByteArray>({"/a", "/s"}));
        QCOMPARE(errors.size(), 6);
        QVERIFY(errors[0].startsWith("line 4:"));
        QVERIFY(errors[1].contains("not compiled in"));
        QCOMPARE(errors[5], QString("line 9: nowhere/index.html is not compiled in"));
        QCOMPARE(files.find("/s")->cacheControl, QByteArray("max-age=86400"));
        QVERIFY(files.find("/s")->body.startsWith("RIFF"));
        QCOMPARE(WebFiles::resourceOf("resources/sounds/tick.wav"), QString(":/zarvex/sounds/tick.wav"));
        QCOMPARE(WebFiles::resourceOf("web/js/game.js"), QString(":/zarvex/web/js/game.js"));
    }
};

ZARVEX_TEST_MAIN(TestWebRequests)
#include "tst_webrequests.moc"
