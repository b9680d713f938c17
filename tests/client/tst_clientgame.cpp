#include "support/fakeserver.h"
#include "support/testmain.h"

#include <QSignalSpy>

namespace {

QByteArray startgame(const QByteArray &seconds, const QByteArray &type = "f")
{
    return "CMD_startgame+Ann+250+" + seconds + "+" + type + "+f+";
}

void seat(ClientUnderTest &t, int n, const QByteArray &name)
{
    t.feed("CMD_newplayerinfo+" + QByteArray::number(n) + "+" + name);
}

} // namespace

// A game as one player's copy lives it, message by message.
class TestClientGame : public QObject
{
    Q_OBJECT

private slots:
    void theTimeBarShrinksBySecondsOfTheTurn_data()
    {
        QTest::addColumn<QByteArray>("seconds");
        QTest::addColumn<int>("perSecond");
        QTest::addColumn<int>("afterFirstTick");
        QTest::newRow("45 seconds") << QByteArray("45") << 4 << 176;
        QTest::newRow("200 seconds") << QByteArray("200") << 1 << 199;
        QTest::newRow("184 seconds") << QByteArray("184") << 1 << 183;
        QTest::newRow("not a number") << QByteArray("soon") << 3 << 177;
        QTest::newRow("no time at all") << QByteArray("0") << 0 << 0;
        QTest::newRow("less than none") << QByteArray("-5") << 0 << 0;
    }
    void theTimeBarShrinksBySecondsOfTheTurn()
    {
        QFETCH(QByteArray, seconds);
        QFETCH(int, perSecond);
        QFETCH(int, afterFirstTick);
        ClientUnderTest t(2);
        t.feed(startgame(seconds));
        QCOMPARE(t.client.panel().timeperturn, "Time Per Turn: " + QString::fromLatin1(seconds) + "secs");
        QCOMPARE(t.client.panel().pixelsPerSecond, perSecond);
        t.feed("CMD_nextplayer+2+");
        QVERIFY(t.client.turntimeEnabled());
        t.client.turntimeTimer();
        QCOMPARE(t.client.panel().barWidth, afterFirstTick);
    }

    void theClockTurnsRedAndTicksNearTheEnd()
    {
        ClientUnderTest t(2);
        t.feed(startgame("30"));
        t.feed("CMD_nextplayer+2+");
        QCOMPARE(t.client.panel().status, QString("Your Turn."));
        QCOMPARE(t.sounds.last(), QString("turn"));
        QList<int> ticked;
        QList<int> red;
        for (int left = 29; left >= 1; --left) {
            t.sounds.clear();
            t.client.turntimeTimer();
            QCOMPARE(t.client.secondsleft(), left);
            if (t.sounds.contains("tick"))
                ticked << left;
            if (t.client.panel().timerRed)
                red << left;
        }
        QCOMPARE(ticked, QList<int>({20, 15, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
        QCOMPARE(red.first(), 19);
        QCOMPARE(red.size(), 19);
        QCOMPARE(t.client.panel().timer, QString("Time: 0:01"));
        QCOMPARE(t.client.activeseat(), 2);
        t.client.turntimeTimer();
        QCOMPARE(t.client.panel().timer, QString("Time: 0:00"));
        QCOMPARE(t.client.panel().barWidth, 0);
        QCOMPARE(t.client.activeseat(), 0);   // selection ends with the clock
    }

    // Numbers at the ends of the integer range, from a hostile server, run a
    // clock that stays within a round the server itself would play.
    void hostileTimesRunASaneClock_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<int>("seconds");
        QTest::newRow("start, largest") << startgame("2147483647") << 3600;
        QTest::newRow("start, smallest") << startgame("-2147483648") << 0;
        QTest::newRow("late join, largest") << QByteArray("CMD_loadstats+t+250+2147483647+5+f") << 3600;
        QTest::newRow("late join, smallest") << QByteArray("CMD_loadstats+t+250+-2147483648+5+f") << 0;
    }
    void hostileTimesRunASaneClock()
    {
        QFETCH(QByteArray, message);
        QFETCH(int, seconds);
        ClientUnderTest t(2);
        t.feed(message);
        t.feed("CMD_nextplayer+2+");
        QCOMPARE(t.client.secondsleft(), seconds);
        for (int i = 0; i < 3; ++i)
            t.client.turntimeTimer();
        QCOMPARE(t.client.secondsleft(), qMax(0, seconds - 3));
        QCOMPARE(t.client.panel().barWidth, t.client.panel().pixelsPerSecond * t.client.secondsleft());
        QCOMPARE(t.client.panel().timer, seconds ? QString("Time: 59:57") : QString("Time: 0:00"));
    }

    // Letter codes out of all range neither overflow when a tile is chosen
    // nor draw a picture that does not exist.
    void hostileLetterCodesAreBroughtIntoRange()
    {
        ClientUnderTest t(2);
        t.feed(startgame("30"));
        QByteArray board = boardMessage(1, {});
        board.replace("+1+1+26", "+1+1+2147483647");
        t.feed(board);
        t.feed("CMD_theword+1+2147483647+2+-2147483648");
        t.feed("CMD_nextplayer+2+");
        t.click(1, 1);
        QVERIFY(t.client.board().code(1, 1) >= 0);
        QVERIFY(t.client.board().code(1, 1) <= BoardSelection::markerCode + BoardSelection::highlight);
        QCOMPARE(t.client.board().slot(2).code, 0);
    }

    void theClockShowsTheWholeTimeAsTheTurnStarts_data()
    {
        QTest::addColumn<QByteArray>("seconds");
        QTest::addColumn<QString>("timer");
        QTest::addColumn<int>("bar");
        QTest::newRow("120 seconds") << QByteArray("120") << "Time: 2:00" << 120;
        QTest::newRow("45 seconds") << QByteArray("45") << "Time: 0:45" << 180;
        QTest::newRow("200 seconds") << QByteArray("200") << "Time: 3:20" << 200;
    }
    void theClockShowsTheWholeTimeAsTheTurnStarts()
    {
        QFETCH(QByteArray, seconds);
        QFETCH(QString, timer);
        QFETCH(int, bar);
        ClientUnderTest t(2);
        t.feed(startgame(seconds));
        t.feed("CMD_nextplayer+2+");
        QCOMPARE(t.client.panel().timer, timer);
        QCOMPARE(t.client.panel().barWidth, bar);
        QVERIFY(!t.client.panel().timerRed);
        // A second round starts from the whole time again, not where the
        // last one stopped.
        t.client.turntimeTimer();
        t.feed("CMD_outoftime+***+");
        t.feed("CMD_nextplayer+2+");
        QCOMPARE(t.client.panel().timer, timer);
    }

    void aMinuteAndMoreReadsAsMinutes()
    {
        ClientUnderTest t(2);
        t.feed(startgame("67"));
        t.feed("CMD_nextplayer+2+");
        t.client.turntimeTimer();
        t.client.turntimeTimer();
        QCOMPARE(t.client.panel().timer, QString("Time: 1:05"));
    }

    void twoFindersInOneTurn()
    {
        ClientUnderTest t(2);
        seat(t, 1, "Ann");
        seat(t, 3, "Cid");
        t.feed(startgame("30"));
        t.feed("CMD_nextplayer+2+");
        t.feed("CMD_hefoundit+1+30+30+");
        t.feed("CMD_hefoundit+3+25+25+");
        QCOMPARE(t.client.row(1).bonus, QString("+30"));
        QCOMPARE(t.client.row(3).bonus, QString("+25"));
        QCOMPARE(t.client.row(3).score, QString("25"));
        QVERIFY(t.client.row(1).foundit && t.client.row(3).foundit);
        QVERIFY(!t.client.row(2).foundit);
        QCOMPARE(t.client.panel().status, QString("Cid has found the word!"));
        QCOMPARE(t.sounds.mid(t.sounds.size() - 2), QStringList({"goodwordthem", "goodwordthem"}));

        t.feed("CMD_hefoundit+2+20+20+");
        QCOMPARE(t.client.panel().status, QString("You have found the word!"));
        QCOMPARE(t.sounds.last(), QString("goodword"));
        QVERIFY(!t.client.panel().clearWordVisible);
    }

    void aWrongWordGivesTheTurnBackToItsSenderOnly()
    {
        ClientUnderTest t(2);
        t.feed(startgame("30"));
        t.feed(boardMessage(1, {{4, 7, 'c'}, {5, 7, 'a'}, {6, 7, 't'}}));
        t.feed(wordMessage("cat"));
        t.feed("CMD_nextplayer+2+");
        t.click(4, 7);
        t.click(5, 7);
        t.click(6, 7);
        QCOMPARE(t.client.activeseat(), 0);
        QVERIFY(!t.client.panel().clearWordVisible);
        t.feed("CMD_nomatch+3+");   // somebody else's
        QCOMPARE(t.client.activeseat(), 0);
        QCOMPARE(t.client.panel().status, QString("Your Turn."));

        t.feed("CMD_nomatch+2+");
        QCOMPARE(t.client.panel().status, QString("You did not find the correct word."));
        QCOMPARE(t.sounds.last(), QString("invalid"));
        QCOMPARE(t.client.activeseat(), 2);
        QVERIFY(t.client.panel().clearWordVisible);
        // The selection stays until the player clears it.
        QCOMPARE(t.client.board().selectedcount(), 3);
        t.client.button_clearwordClick();
        QCOMPARE(t.client.board().selectedcount(), 0);
    }

    void aSpectatorWatchesSeatOne()
    {
        ClientUnderTest t(7, "Spy");
        seat(t, 1, "Ann");
        t.feed(startgame("30"));
        for (int round = 1; round <= 2; ++round) {
            t.feed("CMD_nextplayer+1+");
            QCOMPARE(t.client.panel().status, QString("Ann's turn."));
            QCOMPARE(t.client.activeseat(), 1);
        }
        QVERIFY(!t.sounds.contains("turn"));
        QSignalSpy recorded(&t.client, &GameClient::gameRecorded);
        t.feed("CMD_winner+Ann+");
        QCOMPARE(t.client.panel().winner, QString("Ann has Won the Game!"));
        QCOMPARE(recorded.count(), 0);
    }

    void theEndOfARoundRevealsTheWordToThoseWhoMissedIt()
    {
        ClientUnderTest t(2);
        t.feed(startgame("30"));
        t.feed(boardMessage(1, {{4, 7, 'c'}, {5, 7, 'a'}, {6, 7, 't'}}));
        t.feed(wordMessage("cat"));
        t.feed("CMD_nextplayer+2+");
        t.feed("CMD_outoftime+4+7+5+7+6+7");
        QCOMPARE(t.client.panel().status, QString("Out of Time!"));
        QCOMPARE(t.sounds.last(), QString("timeup"));
        QVERIFY(!t.client.turntimeEnabled());
        QCOMPARE(t.client.board().code(4, 7), 3 + 26);
        QCOMPARE(t.client.board().code(6, 7), 20 + 26);
        QCOMPARE(t.client.board().code(1, 1), 26);

        t.feed(boardMessage(2, {}));   // plain again
        QCOMPARE(t.client.board().code(4, 7), 26);
        QCOMPARE(t.client.panel().round, QString("ROUND: 2"));
        t.feed("CMD_roundover+***+");
        QCOMPARE(t.client.panel().status, QString("Round is over, please wait.."));
        QCOMPARE(t.sounds.last(), QString("roundover"));
        QCOMPARE(t.client.board().code(4, 7), 26);
    }

    void theWinnerBanner_data()
    {
        QTest::addColumn<int>("mySeat");
        QTest::addColumn<QByteArray>("winner");
        QTest::addColumn<QString>("banner");
        QTest::addColumn<QByteArray>("recorded");
        QTest::addColumn<bool>("startShown");
        QTest::newRow("the host wins") << 1 << QByteArray("Ann") << "You have Won the Game!" << QByteArray("addtomine") << true;
        QTest::newRow("a joiner loses") << 2 << QByteArray("Ann") << "Ann has Won the Game!" << QByteArray("Ann") << false;
        QTest::newRow("a tie") << 2 << QByteArray("Ann and Bob") << "Ann and Bob has Won the Game!"
                               << QByteArray("Ann and Bob") << false;
        QTest::newRow("a name with a plus") << 2 << QByteArray("A+B") << "A+B has Won the Game!" << QByteArray("A+B") << false;
    }
    void theWinnerBanner()
    {
        QFETCH(int, mySeat);
        QFETCH(QByteArray, winner);
        QFETCH(QString, banner);
        QFETCH(QByteArray, recorded);
        QFETCH(bool, startShown);
        ClientUnderTest t(mySeat, mySeat == 1 ? "Ann" : "Bob");
        seat(t, 1, "Ann");
        seat(t, 2, "Bob");
        t.feed(startgame("30"));
        QVERIFY(!t.client.startButtonVisible());
        QSignalSpy record(&t.client, &GameClient::gameRecorded);
        t.feed("CMD_winner+" + winner + "+");
        QCOMPARE(t.client.panel().winner, banner);
        QVERIFY(t.client.panel().winnerVisible);
        QCOMPARE(t.client.panel().status, QString("Game Over!"));
        QCOMPARE(t.lines.last(), "0+" + banner.toUtf8());
        QCOMPARE(t.sounds.last(), QString("gameover"));
        QCOMPARE(record.count(), 1);
        QCOMPARE(record.first().first().toByteArray(), recorded);
        QCOMPARE(t.client.startButtonVisible(), startShown);
    }

    void aLateJoinerTakesUpTheGame()
    {
        ClientUnderTest t(3);
        t.feed(boardMessage(4, {{1, 1, 'c'}}));
        t.feed(wordMessage("cat"));
        t.feed("CMD_loadstats+t+300+45+12+t+1+50+20+t+2+0+0+f+3+7+7+f+4+0+0+f+5+0+0+f+6+0+0+f");
        QCOMPARE(t.client.activeseat(), 3);
        QCOMPARE(t.client.panel().timeperturn, QString("Time Per Turn: 45secs"));
        QCOMPARE(t.client.panel().playtoscore, QString("Play To Score: 300"));
        QCOMPARE(t.client.panel().gametype, QString("Game Type: SCRAMBLED"));
        QCOMPARE(t.client.row(1).score, QString("50"));
        QCOMPARE(t.client.row(1).bonus, QString("20"));
        QVERIFY(t.client.row(1).foundit);
        QCOMPARE(t.client.row(3).score, QString("7"));
        QVERIFY(!t.client.turntimeEnabled());
        t.click(1, 1);
        QCOMPARE(t.client.board().selectedcount(), 1);
    }
};

ZARVEX_TEST_MAIN(TestClientGame)
#include "tst_clientgame.moc"
