#include "support/startgame.h"
#include "support/testmain.h"

#include <QSignalSpy>

// Two copies of the program and the host's server play whole games, the
// players clicking the word's tiles on their boards.
class TestWholeGame : public QObject
{
    Q_OBJECT

private slots:
    void aGameToItsWinner_data()
    {
        QTest::addColumn<bool>("scrambled");
        QTest::newRow("STRAIGHT") << false;
        QTest::newRow("SCRAMBLED") << true;
    }
    void aGameToItsWinner()
    {
        QFETCH(bool, scrambled);
        GameTable t;
        Player &ann = t.host("Ann");
        Player &bob = t.join("Bob");
        ann.chat->show();
        bob.chat->show();
        QSignalSpy annRecorded(&ann.client(), &GameClient::gameRecorded);
        QSignalSpy bobRecorded(&bob.client(), &GameClient::gameRecorded);

        startShortGame(t, ann, scrambled);
        QCOMPARE(ann.client().panel().gametype,
                 scrambled ? QString("Game Type: SCRAMBLED") : QString("Game Type: STRAIGHT"));
        QVERIFY(!ann.client().startButtonVisible());

        TServer &server = *ann.server();
        for (int round = 1; round <= 2; ++round) {
            QCOMPARE(bob.client().panel().round, QString("ROUND: %1").arg(round));
            QCOMPARE(bob.client().panel().status, QString("Your Turn."));
            const QList<QPoint> tiles = placedTiles(server);
            clickTiles(ann, tiles);
            t.settle();
            QCOMPARE(ann.client().panel().status, QString("You have found the word!"));
            QCOMPARE(bob.client().panel().status, QString("Ann has found the word!"));
            for (int tick = 0; tick < 5; ++tick)
                server.timer1Timer();
            clickTiles(bob, tiles);
            t.settle();
            QCOMPARE(ann.client().row(2).bonus, QString("+55"));
            QCOMPARE(bob.client().panel().status, QString("Round is over, please wait.."));
            QCOMPARE(ann.client().row(1).score, QString::number(60 * round));
            for (int tick = 0; tick < 7; ++tick)
                server.timer1Timer();
            t.settle();
        }
        QCOMPARE(ann.client().panel().winner, QString("You have Won the Game!"));
        QCOMPARE(bob.client().panel().winner, QString("Ann has Won the Game!"));
        QVERIFY(ann.chat->gamePanel()->startButton()->isVisible());
        QVERIFY(!bob.chat->gamePanel()->startButton()->isVisible());
        QCOMPARE(annRecorded.count(), 1);
        QCOMPARE(annRecorded.first().first().toByteArray(), QByteArray("addtomine"));
        QCOMPARE(bobRecorded.first().first().toByteArray(), QByteArray("Ann"));
        QVERIFY(!server.gameinprogress());
    }
};

ZARVEX_TEST_MAIN(TestWholeGame)
#include "tst_wholegame.moc"
