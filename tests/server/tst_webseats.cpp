// A browser's seat beside a window's in one game through the real server: the
// same messages both ways, one per frame, and the same rule for a seat whose
// connection is lost during a game.

#include "support/testmain.h"
#include "support/webvisitors.h"
#include "support/wordfinder.h"

#include <QSignalSpy>

namespace {

// Ann plays from a window in seat 1 and Pia from the page in seat 2; the
// host has started a game and its first round runs.
struct Game
{
    WebTable t;
    ScriptedClient &ann = t.h.join("Ann");
    WebSeat *pia = &t.joinFromPage("Pia");

    Game()
    {
        ann.send("CMD_startgame", {"Ann", "250", "60", "f", "f", ""});
        t.settleUntil([&] { return !pia->with("CMD_theword+").isEmpty(); });
        t.h.tick(3);
    }

    // The page finds the word from the board as the server sent it.
    void pageFinds(WebSeat &page)
    {
        const QByteArray board = page.last("CMD_loadboard+").mid(14);
        const QByteArray word = page.last("CMD_theword+").mid(11);
        page.sendRaw("CMD_myword+" + QByteArray::number(page.askedSeat()) + findWord(board, word) + Wire::Terminator);
        t.settle();
    }
    // A page back from the same address under the name.
    WebSeat &comeBack(const QByteArray &name) { return t.joinFromPage(name); }
};

} // namespace

class TestWebSeats : public QObject
{
    Q_OBJECT

private slots:
    void aPageAndAWindowPlayOneGame()
    {
        WebTable t;
        ScriptedClient &ann = t.h.join("Ann");
        WebSeat &pia = t.joinFromPage("Pia");
        QCOMPARE(pia.askedSeat(), 2);
        QVERIFY(t.settleUntil([&] { return !pia.with("CMD_existingplayers+1+Ann").isEmpty(); }));
        QCOMPARE(ann.last("CMD_newplayerinfo+2"), QByteArray("CMD_newplayerinfo+2+Pia"));
        QCOMPARE(pia.last("CMD_newplayerinfo+2"), QByteArray("CMD_newplayerinfo+2+Pia"));

        // Chat both ways, text as it came, UTF-8 included.
        pia.send("CMD_chat", {"2", "Hallo \xC3\xA0 tous :)|clBlue"});
        ann.send("CMD_action", {"1", "waves|clRed"});
        QVERIFY(t.settleUntil([&] { return !pia.with("CMD_action+1").isEmpty() && !ann.with("CMD_chat+2").isEmpty(); }));
        QCOMPARE(ann.last("CMD_chat+2"), QByteArray("CMD_chat+2+Pia chats: Hallo \xC3\xA0 tous :)|clBlue"));
        QCOMPARE(pia.last("CMD_chat+2"), QByteArray("CMD_chat+2+Pia chats: Hallo \xC3\xA0 tous :)|clBlue"));
        QCOMPARE(pia.last("CMD_action+1"), QByteArray("CMD_action+1+Ann waves|clRed"));
        // A message claiming another seat is nobody's.
        pia.send("CMD_chat", {"1", "I am Ann|clBlack"});
        t.settle();
        QVERIFY(ann.with("CMD_chat+1+Pia").isEmpty());

        // A round: the page finds the word first, the window second.
        ann.send("CMD_startgame", {"Ann", "250", "60", "f", "f", ""});
        QVERIFY(t.settleUntil([&] { return !pia.with("CMD_theword+").isEmpty(); }));
        t.h.tick(5);
        const QByteArray board = pia.last("CMD_loadboard+").mid(14);
        const QByteArray word = pia.last("CMD_theword+").mid(11);
        pia.sendRaw("CMD_myword+2" + findWord(board, word) + Wire::Terminator);
        QVERIFY(t.settleUntil([&] { return !ann.with("CMD_hefoundit+2+").isEmpty(); }));
        QCOMPARE(ann.last("CMD_hefoundit+2+"), pia.last("CMD_hefoundit+2+"));
        QVERIFY(pia.last("CMD_hefoundit+2+").startsWith("CMD_hefoundit+2+55+55"));
        ann.sendRaw("CMD_myword+1" + t.h.server.board().wordpositions() + Wire::Terminator);
        QVERIFY(t.settleUntil([&] { return !pia.with("CMD_roundover").isEmpty(); }));
        QVERIFY(!pia.with("CMD_hefoundit+1+").isEmpty());
        QCOMPARE(t.h.server.seat(2).score, 55);
        // Every frame carried exactly one message.
        QCOMPARE(pia.frames, int(pia.received.size()));
    }

    // The page's connection fails during a round: the seat waits for it with
    // its score, the round goes on without it, and the page that comes back
    // from the same address under the same name sits there again.
    void aDroppedPageSeatIsHeldAndTakenBack()
    {
        Game g;
        g.pageFinds(*g.pia);
        const qint32 score = g.t.h.server.seat(2).score;
        QVERIFY(score > 0);
        QSignalSpy held(&g.t.h.server, &TServer::seatHeld);
        g.pia->socket.abort();
        QVERIFY(g.t.settleUntil([&] { return held.count() == 1; }));
        QVERIFY(g.t.h.server.holds().isHeld(2));
        QVERIFY(g.t.settleUntil([&] { return !g.ann.with("CMD_playerdisconnected+2+Pia").isEmpty(); }));

        // Someone else's page, from another machine, gets another seat.
        RawPage stranger(g.t.webPort(), "127.0.0.5");
        QVERIFY(stranger.upgraded());
        QVERIFY(g.t.settleUntil([&] { return g.t.h.server.seat(3).connected; }));
        QCOMPARE(g.t.h.server.seat(3).link->peerAddress(), QByteArray("127.0.0.5"));

        g.ann.received.clear();
        WebSeat &back = g.comeBack("pia");
        QCOMPARE(back.askedSeat(), 2);
        QVERIFY(g.t.settleUntil([&] { return !back.with("CMD_loadstats+").isEmpty(); }));
        QVERIFY(!g.t.h.server.holds().isHeld(2));
        QCOMPARE(g.t.h.server.seat(2).score, score);
        QVERIFY(back.last("CMD_loadstats+").contains("+2+" + QByteArray::number(score) + '+'));
        QVERIFY(!back.with("CMD_loadboard+").isEmpty());
        QCOMPARE(g.ann.last("CMD_newplayerinfo+2"), QByteArray("CMD_newplayerinfo+2+pia"));
    }

    // Back before the server knew the old connection was gone: the page
    // takes a seat of its own, and when the old line is given up the server
    // asks it a second time, on the same socket, to log in where it sat.
    void aPageBackBeforeItsLineFailedIsMovedToItsSeat()
    {
        Game g;
        g.pageFinds(*g.pia);
        const qint32 score = g.t.h.server.seat(2).score;
        WebSeat &again = g.comeBack("Pia");
        QCOMPARE(again.askedSeat(), 3);
        QCOMPARE(g.t.h.server.seat(3).name, QByteArray("Pia"));

        g.ann.received.clear();
        g.pia->socket.abort();   // the old line is given up at last
        QVERIFY(g.t.settleUntil([&] { return again.askedSeat() == 2; }));
        QCOMPARE(again.with("CMD_sendlogininfo+").size(), 2);
        g.t.logIn(again, "Pia");
        QVERIFY(g.t.settleUntil([&] { return !again.with("CMD_loadstats+").isEmpty() && g.t.h.server.seat(2).loggedin; }));
        QCOMPARE(g.t.h.server.seat(2).score, score);
        QVERIFY(!g.t.h.server.seat(3).connected);
        QCOMPARE(g.ann.last("CMD_playerdisconnected+3"), QByteArray("CMD_playerdisconnected+3+Pia"));
        QCOMPARE(g.ann.last("CMD_newplayerinfo+2"), QByteArray("CMD_newplayerinfo+2+Pia"));
        // It plays on from there.
        again.send("CMD_chat", {"2", "back|clBlack"});
        QVERIFY(g.t.settleUntil([&] { return g.ann.last("CMD_chat") == "CMD_chat+2+Pia chats: back|clBlack"; }));
    }

    // The host's removal is no drop: the page is not held for.
    void aRemovedPageIsNotHeld()
    {
        Game g;
        g.ann.send("CMD_kickhim", {"1", "2", ""});
        QVERIFY(g.t.settleUntil([&] { return g.pia->closed; }));
        QCOMPARE(g.pia->closeCode, 4001);
        QVERIFY(!g.t.h.server.holds().isHeld(2));
        QCOMPARE(g.t.h.server.seat(2).name, QByteArray());
    }
};

ZARVEX_TEST_MAIN(TestWebSeats)
#include "tst_webseats.moc"
