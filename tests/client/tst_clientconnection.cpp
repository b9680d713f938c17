#include "social/tspylist.h"
#include "support/gametable.h"
#include "support/serverharness.h"
#include "support/testmain.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>

#include <sys/socket.h>

namespace {

QLabel *label(Player &p, const QString &name)
{
    return p.chat->findChild<QLabel *>(name);
}

QAction *action(Player &p, const QString &name)
{
    return p.chat->findChild<QAction *>(name);
}

} // namespace

class TestClientConnection : public QObject
{
    Q_OBJECT

private slots:
    void aNewcomerSeesEveryPresentPlayer()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        QCOMPARE(ann.client().myseat(), 1);
        QVERIFY(ann.client().ishost());
        QVERIFY(ann.client().startButtonVisible());
        t.join("Bob");
        Player &cid = t.join("Cid");
        QCOMPARE(cid.client().myseat(), 3);
        QCOMPARE(cid.status(), QList<QByteArray>({"Loading Multi-player Game.. Please Wait.", "You are Connected.",
                                                  "Ann is Connected.", "Bob is Connected."}));
        QCOMPARE(cid.sounds, QStringList({"entered", "entered", "entered"}));
        QCOMPARE(label(cid, "label_playername1")->text(), QString("Ann"));
        QCOMPARE(label(cid, "label_playername3")->text(), QString("Cid"));
        QVERIFY(!label(cid, "label_score3")->isHidden());
        QCOMPARE(label(cid, "label_playername4")->text(), QString("<Waiting>"));
        QVERIFY(label(cid, "label_score4")->isHidden());
        QVERIFY(!cid.client().ishost());
        QVERIFY(!cid.client().startButtonVisible());
        QCOMPARE(ann.status().mid(ann.status().size() - 2),
                 QList<QByteArray>({"Bob is Connected.", "Cid is Connected."}));
    }

    void spectatorsAreListedAsSpies()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        for (const char *name : {"B", "C", "D", "E", "F"})
            t.join(name);
        Player &spy = t.join("Spy");
        QCOMPARE(spy.client().myseat(), 7);
        const QList<QByteArray> seen = spy.status();
        QCOMPARE(seen.mid(seen.indexOf("You are Connected."), 2),
                 QList<QByteArray>({"You are Connected.", "You are spying."}));
        QCOMPARE(seen.count("You are spying."), 1);
        QCOMPARE(spy.client().spies(), QStringList({"7: Spy"}));
        QCOMPARE(ann.status().last(), QByteArray("Spy is spying."));
        QListWidget *list = ann.registry().spylist()->list();
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QString("7: Spy"));

        // Remove From Game works on the host's list only.
        QVERIFY(!spy.registry().spylist()->removeAction()->isEnabled());
        Tspylist *hostList = ann.registry().spylist();
        QVERIFY(hostList->removeAction()->isEnabled());
        hostList->listbox_spysMouseMove(QPoint(2, 400));   // below the entries
        hostList->popup_kickhimClick();
        t.settle();
        QVERIFY(!spy.closed);
        hostList->listbox_spysMouseMove(list->visualItemRect(list->item(0)).center());
        QCOMPARE(hostList->hovered(), 0);
        hostList->popup_kickhimClick();
        t.settle();
        QTRY_VERIFY(spy.closed);
        t.settle();
        QCOMPARE(list->count(), 0);
        QCOMPARE(ann.status().last(), QByteArray("Spy has left."));
    }

    void departuresEmptyTheirSeat()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        Player &bob = t.join("Bob");
        Player &klot = t.join("Klot");   // seat 3, whose hint reads "Klick"
        Player &klick = t.join("Klick"); // seat 4, whose hint reads "Kling"
        QCOMPARE(klick.client().myseat(), 4);
        ann.lines.clear();
        t.quit(bob);
        t.quit(klot);
        t.quit(klick);
        QCOMPARE(ann.status(), QList<QByteArray>({"Bob disconnected.", "Klot disconnected.", "Klick disconnected."}));
        QCOMPARE(label(ann, "label_playername2")->text(), QString("<Waiting>"));

        // A player named as its seat's hint leaves without a word.
        Player &klot2 = t.join("Klot");
        QCOMPARE(klot2.client().myseat(), 2);
        ann.lines.clear();
        t.quit(klot2);
        QVERIFY(ann.status().isEmpty());
        QCOMPARE(label(ann, "label_playername2")->text(), QString("<Waiting>"));
    }

    void justWatchingFollowsTheServersWord()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        Player &bob = t.join("Bob");
        QAction *justWatch = action(bob, "JustWatch1");
        justWatch->trigger();   // no game yet: the server says nothing
        t.settle();
        QVERIFY(!justWatch->isChecked());
        QVERIFY(!bob.client().justWatchChecked());

        ann.client().send(Wire::message("CMD_startgame", {"Ann", "250", "30", "f", "f", ""}));
        t.settle();
        justWatch->trigger();
        QVERIFY(!justWatch->isChecked());   // not before the server confirms
        t.settle();
        QVERIFY(justWatch->isChecked());
        QCOMPARE(ann.status().last(), QByteArray("Bob is just watching"));
        QVERIFY(!label(ann, "image_eyes2")->isHidden());
        justWatch->trigger();
        t.settle();
        QVERIFY(!justWatch->isChecked());
        QCOMPARE(bob.status().last(), QByteArray("Bob is now playing again"));
        QVERIFY(label(ann, "image_eyes2")->isHidden());

        // The host sets another player through the player-name menu.
        ann.chat->openPlayerMenu(2, QPoint());
        action(ann, "SettoJustWatch1")->trigger();
        t.settle();
        QVERIFY(bob.client().justWatchChecked());
        // Leaving hides the mark.
        t.quit(bob);
        QVERIFY(label(ann, "image_eyes2")->isHidden());
    }

    void thePlayerMenuIsTheHostsAlone()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        Player &bob = t.join("Bob");
        ann.chat->openPlayerMenu(2, QPoint());
        QVERIFY(action(ann, "RemoveFromGame1")->isEnabled());
        QVERIFY(action(ann, "SettoJustWatch1")->isEnabled());
        QVERIFY(action(ann, "UnsetJustWatch1")->isEnabled());
        ann.chat->openPlayerMenu(5, QPoint());   // an empty seat
        QVERIFY(!action(ann, "RemoveFromGame1")->isEnabled());
        QVERIFY(action(ann, "SettoJustWatch1")->isEnabled());
        QVERIFY(action(ann, "UnsetJustWatch1")->isEnabled());
        bob.chat->openPlayerMenu(1, QPoint());
        QVERIFY(!action(bob, "RemoveFromGame1")->isEnabled());
        QVERIFY(!action(bob, "SettoJustWatch1")->isEnabled());
        QVERIFY(!action(bob, "UnsetJustWatch1")->isEnabled());

        ann.chat->openPlayerMenu(2, QPoint());
        action(ann, "RemoveFromGame1")->trigger();
        t.settle();
        QTRY_VERIFY(bob.closed);
        QVERIFY(!ann.closed);
    }

    void theHostsEndClosesEveryClient()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        Player &bob = t.join("Bob");
        Player &cid = t.join("Cid");
        t.quit(ann);
        QTRY_VERIFY(bob.closed);
        QTRY_VERIFY(cid.closed);
    }

    void aTenthCopyIsToldTheGameIsFull()
    {
        GameTable t;
        t.host("Ann");
        for (int i = 2; i <= 9; ++i)
            t.join(QString("P%1").arg(i));
        Player &tenth = t.join("Late");
        QTRY_VERIFY(tenth.closed);
        QCOMPARE(tenth.boxes, QStringList({"Game is full"}));
        QCOMPARE(tenth.client().myseat(), 0);
    }

    void hostingOnABusyPortStopsThere()
    {
        GameTable t;
        const int raw = Loopback::rawListener();
        t.port = QByteArray::number(Loopback::portOf(raw));
        Player &ann = t.host("Ann");
        QCOMPARE(ann.boxes, QStringList({"Listen - Error Binding Socket"}));
        QVERIFY(!ann.client().ishost());
        QVERIFY(!ann.client().startButtonVisible());
        QVERIFY(!ann.client().socket().HandleValid());
        ::close(raw);
    }

    void seatOneOfADedicatedServerHoldsTheHostsRights()
    {
        ServerHarness dedicated;
        GameTable t;
        t.port = QByteArray::number(dedicated.port());
        Player &dan = t.join("Dan");
        dedicated.settle();
        t.settle();
        dedicated.settle();
        t.settle();
        QCOMPARE(dan.client().myseat(), 1);
        QVERIFY(dan.client().ishost());
        QVERIFY(dan.client().startButtonVisible());
        QVERIFY(action(dan, "StartGame1")->isEnabled());
        QVERIFY(dan.registry().spylist()->removeAction()->isEnabled());
        dan.chat->openPlayerMenu(2, QPoint());
        QVERIFY(action(dan, "SettoJustWatch1")->isEnabled());
    }

    void aResetConnectionEndsTheWindow()
    {
        const int raw = Loopback::rawListener();
        GameTable t;
        t.port = QByteArray::number(Loopback::portOf(raw));
        Player &bob = t.join("Bob");
        const int peer = ::accept(raw, nullptr, nullptr);
        const QByteArray login = QByteArray("CMD_sendlogininfo+2") + Wire::Terminator;
        QCOMPARE(::send(peer, login.constData(), size_t(login.size()), 0), ssize_t(login.size()));
        t.settle();
        QVERIFY(bob.client().isconnected());
        const linger abort{1, 0};
        setsockopt(peer, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        ::close(peer);
        QTRY_VERIFY(bob.closed);
        ::close(raw);
    }

    void aRefusedConnectionLeavesTheWindowOpen()
    {
        GameTable t;
        Player &bob = t.join("Bob");
        QTest::qWait(100);
        t.settle();
        QVERIFY(!bob.closed);
        QCOMPARE(bob.status(), QList<QByteArray>({"Loading Multi-player Game.. Please Wait."}));
    }

    void oneOrTwoArgumentsStayAtTheLoadingLine()
    {
        GameTable t;
        Player &solo = t.start({"Ann", "127.0.0.1"});
        QCOMPARE(solo.status(), QList<QByteArray>({"Loading Multi-player Game.. Please Wait."}));
        QVERIFY(!solo.client().socket().HandleValid());
        QVERIFY(!solo.client().ishost());
    }
};

ZARVEX_TEST_MAIN(TestClientConnection)
#include "tst_clientconnection.moc"
