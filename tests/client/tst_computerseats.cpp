#include "client/computerplayer.h"
#include "client/computerseats.h"
#include "support/gametable.h"
#include "support/testmain.h"

#include <QAction>
#include <QMenu>

namespace {

// Lets the table and every computer player in the host's program run.
void settleWithComputers(GameTable &table, Player &host)
{
    for (int round = 0; round < 3; ++round) {
        table.settle();
        settleUntilQuiet([&] {
            bool moved = false;
            for (ComputerPlayer *p : host.chat->computerSeats()->players())
                for (; p->queued() > 0; moved = true)
                    p->dispatchTimer();
            for (; host.server()->queued() > 0; moved = true)
                host.server()->socktimerTimer();
            return moved;
        });
    }
}

QAction *item(Player &p, const QString &name)
{
    return p.chat->findChild<QAction *>(name);
}

} // namespace

// Computer players seated from the host's File menu.
class TestComputerSeats : public QObject
{
    Q_OBJECT

private slots:
    void theHostSeatsAndRemovesComputerPlayers()
    {
        GameTable table;
        Player &host = table.start({});   // a solo game
        Player &bob = table.join("Bob");
        QVERIFY(item(host, "AddComputerPlayerEasy"));
        QVERIFY(host.chat->findChild<QMenu *>("AddComputerPlayer1")->menuAction()->isVisible());
        // A joining player has no such items.
        QVERIFY(!bob.chat->findChild<QMenu *>("AddComputerPlayer1")->menuAction()->isVisible());
        QVERIFY(!item(bob, "RemoveComputerPlayers1")->isVisible());
        QVERIFY(!item(host, "RemoveComputerPlayers1")->isEnabled());

        item(host, "AddComputerPlayerEasy")->trigger();
        settleWithComputers(table, host);
        item(host, "AddComputerPlayerHard")->trigger();
        settleWithComputers(table, host);

        // Next free seats, friendly names, distinct from every other.
        QCOMPARE(host.client().row(1).name, QString("You"));
        QCOMPARE(host.client().row(2).name, QString("Bob"));
        QCOMPARE(host.client().row(3).name, QString("Pippa"));
        QCOMPARE(host.client().row(4).name, QString("Rufus"));
        QCOMPARE(bob.client().row(4).name, QString("Rufus"));
        QCOMPARE(host.chat->computerSeats()->count(), 2);
        QVERIFY(item(host, "RemoveComputerPlayers1")->isEnabled());

        if (const QByteArray path = qgetenv("ZARVEX_SCREENSHOT"); !path.isEmpty())
            host.chat->grab().save(QString::fromLocal8Bit(path));

        // "Remove From Game" removes one like any player.
        host.client().kicking(3);
        settleWithComputers(table, host);
        QCOMPARE(host.client().row(3).name, QString("<Waiting>"));
        QCOMPARE(host.chat->computerSeats()->count(), 1);

        // A new one takes the free seat and the name again.
        item(host, "AddComputerPlayerNormal")->trigger();
        settleWithComputers(table, host);
        QCOMPARE(host.client().row(3).name, QString("Pippa"));

        item(host, "RemoveComputerPlayers1")->trigger();
        settleWithComputers(table, host);
        QCOMPARE(host.chat->computerSeats()->count(), 0);
        QCOMPARE(host.client().row(3).name, QString("<Waiting>"));
        QCOMPARE(host.client().row(4).name, QString("<Waiting>"));
        QCOMPARE(host.client().row(2).name, QString("Bob"));
        QVERIFY(!item(host, "RemoveComputerPlayers1")->isEnabled());
    }
};

ZARVEX_TEST_MAIN(TestComputerSeats)
#include "tst_computerseats.moc"
