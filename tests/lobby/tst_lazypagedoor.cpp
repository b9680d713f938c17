// The host's page door before and after the first browser: it listens on its
// own, makes the real door when somebody knocks and hands it the socket, and
// says so in the host's words when the real door cannot be made.

#include "lobby/lazypagedoor.h"
#include "server/webdoor.h"
#include "support/loopback.h"
#include "support/testmain.h"
#include "support/webvisitors.h"

#include <QSignalSpy>

namespace {

// A door of the web side linked in, made on the socket as the library
// makes it, counting how often it is asked.
struct Doors
{
    ServerHarness h;
    int made = 0;
    QString refusal;   // when set, no door is made and this is the reason

    LazyPageDoor::Maker maker()
    {
        return [this](int socket, QString &error, QObject *parent) -> PageDoor * {
            ++made;
            if (!refusal.isEmpty()) {
                error = refusal;
                return nullptr;
            }
            return WebDoor::onSocket(h.server, Ticker::Manual, socket, error, parent);
        };
    }
};

} // namespace

class TestLazyPageDoor : public QObject
{
    Q_OBJECT

private slots:
    void theFirstBrowserMakesTheDoorAndIsServed()
    {
        Doors doors;
        LazyPageDoor door(doors.maker());
        QString error;
        QVERIFY2(door.openDoor(0, error), qPrintable(error));
        QVERIFY(door.doorOpen());
        const quint16 port = door.doorPort();
        QVERIFY(port != 0);
        QTest::qWait(20);
        QCOMPARE(doors.made, 0);
        QVERIFY(!door.door());

        RawVisitor first(port);
        QCOMPARE(first.get("/"), 200);
        QCOMPARE(doors.made, 1);
        QVERIFY(door.door());
        QCOMPARE(door.doorPort(), port);
        RawVisitor second(port);
        QCOMPARE(second.get("/sounds/tick.wav", "HEAD"), 200);
        QCOMPARE(doors.made, 1);

        // Shut and opened again, the real door listens itself.
        door.shutDoor();
        QVERIFY(!door.doorOpen());
        QVERIFY(door.openDoor(port, error));
        RawVisitor third(port);
        QCOMPARE(third.get("/"), 200);
        QCOMPARE(doors.made, 1);
    }

    void aDoorThatCannotBeMadeTurnsTheBrowserAwayAndIsTriedAgain()
    {
        Doors doors;
        doors.refusal = "the library is missing";
        LazyPageDoor door(doors.maker());
        QSignalSpy failed(&door, &LazyPageDoor::failed);
        QString error;
        QVERIFY(door.openDoor(0, error));
        const quint16 port = door.doorPort();
        RawVisitor turnedAway(port);
        turnedAway.send("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        QVERIFY(turnedAway.waitFor([&] { return turnedAway.closed; }));
        QCOMPARE(failed.size(), 1);
        QCOMPARE(failed.first().first().toString(), QString("Browsers cannot join: the library is missing."));
        QVERIFY(!door.doorOpen());
        QCOMPARE(door.doorPort(), quint16(0));

        // Hosting again listens again, and the next browser tries again.
        doors.refusal.clear();
        QVERIFY(door.openDoor(port, error));
        RawVisitor later(port);
        QCOMPARE(later.get("/"), 200);
        QCOMPARE(doors.made, 2);
    }

    // A port another program listens on is refused with the reason; once it
    // is free, the door takes it.
    void aBusyPortIsRefusedAndTakenOnceFree()
    {
        Doors doors;
        LazyPageDoor door(doors.maker());
        const int squatter = Loopback::rawListener();
        const quint16 port = Loopback::portOf(squatter);
        QString error;
        QVERIFY(!door.openDoor(port, error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!door.doorOpen());
        ::close(squatter);
        error.clear();
        QVERIFY2(door.openDoor(port, error), qPrintable(error));
        QCOMPARE(door.doorPort(), port);
        RawVisitor v(port);
        QCOMPARE(v.get("/"), 200);
    }
};

ZARVEX_TEST_MAIN(TestLazyPageDoor)
#include "tst_lazypagedoor.moc"
