#include "server/random.h"
#include "support/serverharness.h"
#include "support/testmain.h"

#include <QRegularExpression>

namespace {

QByteArray myword(int seat, const QByteArray &positions)
{
    return "CMD_myword+" + QByteArray::number(seat) + positions + Wire::Terminator;
}

void start(ScriptedClient &host, const QByteArray &playto, const QByteArray &seconds,
           const QByteArray &type = "f", const QByteArray &only = "f")
{
    host.send("CMD_startgame", {"Ann", playto, seconds, type, only, ""});
}

// Tiles that spell the word, taking for each letter the first tile on the
// board that carries it rather than the tile the word was laid on.
QByteArray decoyPositions(Board &board, bool &differs)
{
    QByteArray positions;
    const QList<QByteArray> placed = board.wordpositions().mid(1).split('+');
    differs = false;
    for (int k = 1; k <= board.wordLength(); ++k) {
        int column = placed[2 * (k - 1)].toInt(), row = placed[2 * k - 1].toInt();
        for (int c = 1; c <= 10; ++c)
            for (int r = 1; r <= 9; ++r)
                if (board.tile(c, r) == board.wordLetter(k) && (c != column || r != row) && !differs) {
                    column = c;
                    row = r;
                    differs = true;
                }
        positions += '+' + QByteArray::number(column) + '+' + QByteArray::number(row);
    }
    return positions;
}

} // namespace

class TestServerGame : public QObject
{
    Q_OBJECT

private slots:
    void init() { Random::seed(7772); }

    void theWireExampleByteForByte()
    {
        ServerHarness h;
        h.server.chooseNextWord("cat");
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        start(ann, "250", "30");
        h.settle();
        h.tick(8);
        bob.sendRaw(myword(2, h.server.board().wordpositions()));
        h.settle();

        const QRegularExpression board(R"(^CMD_loadboard\+1(\+\d+\+\d+\+\d+){90}$)");
        for (ScriptedClient *c : {&ann, &bob}) {
            const QList<QByteArray> got = c->received;
            QCOMPARE(got.size(), 8);
            QVERIFY(board.match(QString::fromLatin1(got[4])).hasMatch());
            QCOMPARE(got[5], QByteArray("CMD_theword+1+3+2+1+3+20"));
            QCOMPARE(got[7], QByteArray("CMD_hefoundit+2+22+22+"));
        }
        QCOMPARE(ann.received.mid(0, 4), QList<QByteArray>({"CMD_sendlogininfo+1", "CMD_newplayerinfo+1+Ann",
                                                            "CMD_newplayerinfo+2+Bob", "CMD_startgame+Ann+250+30+f+f+"}));
        QCOMPARE(ann.received[6], QByteArray("CMD_nextplayer+1+"));
        QCOMPARE(bob.received.mid(0, 4), QList<QByteArray>({"CMD_sendlogininfo+2", "CMD_newplayerinfo+2+Bob",
                                                            "CMD_existingplayers+1+Ann", "CMD_startgame+Ann+250+30+f+f+"}));
        QCOMPARE(bob.received[6], QByteArray("CMD_nextplayer+2+"));

        // Column by column, rows within each column.
        QList<QByteArray> fields = ann.received[4].split('+').mid(2);
        for (int i = 0; i < 90; ++i) {
            QCOMPARE(fields[3 * i].toInt(), i / 9 + 1);
            QCOMPARE(fields[3 * i + 1].toInt(), i % 9 + 1);
        }
    }

    void aRoundEndsAtOnceWhenEveryActivePlayerHasTheWord()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        start(ann, "250", "30");
        h.settle();
        bob.send("CMD_justwatch", {"2", "1"});
        h.settle();
        h.clearAll();
        ann.sendRaw(myword(1, h.server.board().wordpositions()));
        h.settle();
        QCOMPARE(ann.last("CMD_roundover"), QByteArray("CMD_roundover+***+"));
        QCOMPARE(bob.last("CMD_roundover"), "CMD_roundover" + h.server.board().wordpositions());
        QCOMPARE(h.server.phase(), 2);
        QCOMPARE(h.server.countdown(), 7);
    }

    void aRoundEndsByTimeAndTheNextFollowsSevenSecondsLater()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        start(ann, "250", "30");
        h.settle();
        QCOMPARE(h.server.countdown(), 34);
        h.tick(10);
        ann.sendRaw(myword(1, h.server.board().wordpositions()));
        h.settle();
        QCOMPARE(ann.last("CMD_hefoundit"), QByteArray("CMD_hefoundit+1+20+20+"));

        h.tick(23);
        QVERIFY(ann.with("CMD_outoftime").isEmpty());
        h.tick(1);
        QCOMPARE(ann.last("CMD_outoftime"), QByteArray("CMD_outoftime+***+"));
        QCOMPARE(bob.last("CMD_outoftime"), "CMD_outoftime" + h.server.board().wordpositions());

        h.clearAll();
        h.tick(6);
        QVERIFY(ann.received.isEmpty());
        h.tick(1);
        QVERIFY(ann.last("CMD_loadboard").startsWith("CMD_loadboard+2+"));
        QCOMPARE(ann.last("CMD_nextplayer"), QByteArray("CMD_nextplayer+1+"));
        QCOMPARE(bob.last("CMD_nextplayer"), QByteArray("CMD_nextplayer+2+"));
        QCOMPARE(h.server.seat(1).score, 20);
        QVERIFY(!h.server.seat(1).found);
        QCOMPARE(h.server.countdown(), 34);
    }

    void aWrongWordIsAnsweredToItsSenderOnly()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        start(ann, "250", "30");
        h.settle();
        h.clearAll();
        QByteArray wrong = h.server.board().wordpositions();
        wrong.replace(0, wrong.indexOf('+', 1), "+11");   // first tile off the board
        bob.sendRaw(myword(2, wrong));
        h.settle();
        QCOMPARE(bob.received, QList<QByteArray>({"CMD_nomatch+2+"}));
        QVERIFY(ann.received.isEmpty());

        bob.sendRaw(myword(2, h.server.board().wordpositions()));
        h.settle();
        QVERIFY(bob.last("CMD_hefoundit").startsWith("CMD_hefoundit+2+30+30+"));
        h.clearAll();
        bob.sendRaw(myword(2, h.server.board().wordpositions()));   // already found
        h.settle();
        QVERIFY(bob.received.isEmpty());
    }

    // A seat that pours out chat lines holds up only itself: a word sent
    // behind sixty of its lines (just under the bound that drops a flooding
    // connection) is answered on the first dispatch tick, while the lines
    // are relayed one a tick, in the order they were sent.
    void aWordIsNotHeldUpByAnotherSeatsChatter()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        ScriptedClient &cid = h.join("Cid");
        start(ann, "250", "30");
        h.settle();
        h.clearAll();
        QByteArray lines;
        QList<QByteArray> relayed;
        for (int i = 1; i <= 60; ++i) {
            const QByteArray line = "line " + QByteArray::number(i) + "|clBlack";
            lines += Wire::message("CMD_chat", {"2", line});
            relayed << "CMD_chat+2+Bob chats: " + line;
        }
        bob.sendRaw(lines);
        QTRY_COMPARE(h.server.queued(), 60);
        cid.sendRaw(myword(3, h.server.board().wordpositions()));
        QTRY_COMPARE(h.server.queued(), 61);

        h.server.socktimerTimer();
        QCOMPARE(h.server.queued(), 59);
        QTRY_VERIFY(cid.last("CMD_hefoundit").startsWith("CMD_hefoundit+3+30+30+"));
        QVERIFY(!bob.closed);
        for (int tick = 2; tick <= 60; ++tick)
            h.server.socktimerTimer();
        QCOMPARE(h.server.queued(), 0);
        QTRY_COMPARE(ann.with("CMD_chat"), relayed);
    }

    void malformedSubmissions_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("first letter only") << QByteArray("first") << QByteArray("CMD_nomatch+2+");
        QTest::newRow("one pair too many") << QByteArray("extra") << QByteArray("CMD_nomatch+2+");
        QTest::newRow("row outside") << QByteArray("+1+10+2+1+3+1") << QByteArray("CMD_nomatch+2+");
        QTest::newRow("negative column") << QByteArray("+-1+1+2+1+3+1") << QByteArray("CMD_nomatch+2+");
        QTest::newRow("broken pair") << QByteArray("+4+5+6") << QByteArray();
        QTest::newRow("no positions") << QByteArray("") << QByteArray();
        QTest::newRow("placeholder") << QByteArray("+***+") << QByteArray();
    }
    void malformedSubmissions()
    {
        QFETCH(QByteArray, tail);
        QFETCH(QByteArray, reply);
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        start(ann, "250", "30");
        h.settle();
        h.clearAll();
        const QByteArray placed = h.server.board().wordpositions();
        if (tail == "first")
            tail = placed.left(placed.indexOf('+', placed.indexOf('+', 1) + 1));
        else if (tail == "extra")
            tail = placed + "+1+1";
        bob.sendRaw(myword(2, tail));
        h.settle();
        QCOMPARE(bob.received, reply.isEmpty() ? QList<QByteArray>() : QList<QByteArray>({reply}));
        QVERIFY(!h.server.seat(2).found);
    }

    void aDecoyCopyOfTheWordIsAccepted()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        start(ann, "250", "30");
        h.settle();
        bool differs = false;
        const QByteArray decoy = decoyPositions(h.server.board(), differs);
        QVERIFY(differs);
        ann.sendRaw(myword(1, decoy));
        h.settle();
        QVERIFY(h.server.seat(1).found);
    }

    void spectatorsAndOthersCannotSubmit()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        for (const char *name : {"B", "C", "D", "E", "F", "Spy"})
            h.join(name);
        start(ann, "250", "30");
        h.settle();
        ScriptedClient &spy = *h.clients[6];
        QCOMPARE(spy.seat, 7);
        QCOMPARE(spy.last("CMD_nextplayer"), QByteArray("CMD_nextplayer+1+"));
        h.clearAll();
        spy.sendRaw(myword(7, h.server.board().wordpositions()));
        spy.sendRaw(myword(1, h.server.board().wordpositions()));
        h.settle();
        QVERIFY(spy.received.isEmpty());
        QVERIFY(!h.server.seat(1).found);
    }

    void unreadableNumbersFallBackButTravelAsSent()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        start(ann, "lots", "", "x", "t");
        h.settle();
        QCOMPARE(ann.last("CMD_startgame"), QByteArray("CMD_startgame+Ann+lots++x+t+"));
        QCOMPARE(h.server.playtoscore(), 250);
        QCOMPARE(h.server.timeperturn(), 60);
        QVERIFY(h.server.scrambled());
        QVERIFY(h.server.onlyletters());
        QCOMPARE(h.server.countdown(), 64);
    }

    void aLateJoinerIsBroughtUpToDate()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        start(ann, "300", "30", "t");
        h.settle();
        h.tick(4);
        bob.sendRaw(myword(2, h.server.board().wordpositions()));
        h.settle();
        bob.sock.Close();
        h.settle();
        h.tick(2);

        ScriptedClient &dan = h.join("Dan");
        QCOMPARE(dan.seat, 2);
        const QList<QByteArray> got = dan.received;
        QCOMPARE(got.size(), 6);
        QCOMPARE(got[3], h.server.board().loadboardMessage(1).chopped(1));
        QCOMPARE(got[4], h.server.board().thewordMessage().chopped(1));
        QCOMPARE(got[5], QByteArray("CMD_loadstats+t+300+30+24+t+1+0+0+f+2+26+26+t+3+0+0+f+4+0+0+f+5+0+0+f+6+0+0+f"));
    }

    void winnerRules_data()
    {
        QTest::addColumn<int>("annAfter");     // ticks before Ann finds the word, -1 never
        QTest::addColumn<int>("bobAfter");
        QTest::addColumn<QByteArray>("seconds");
        QTest::addColumn<QByteArray>("winner");   // empty: another round
        QTest::newRow("251 and 251 play on") << 0 << 0 << QByteArray("251") << QByteArray();
        QTest::newRow("251 against 240 wins") << 0 << 11 << QByteArray("251") << QByteArray("Ann");
        QTest::newRow("240 against 251 wins") << 11 << 0 << QByteArray("251") << QByteArray("Bob");
        QTest::newRow("exactly 250 does not win") << 0 << -1 << QByteArray("250") << QByteArray();
    }
    void winnerRules()
    {
        QFETCH(int, annAfter);
        QFETCH(int, bobAfter);
        QFETCH(QByteArray, seconds);
        QFETCH(QByteArray, winner);
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        start(ann, "250", seconds);
        h.settle();
        for (int t = 0; h.server.phase() == 1; ++t) {
            if (t == annAfter)
                ann.sendRaw(myword(1, h.server.board().wordpositions()));
            if (t == bobAfter)
                bob.sendRaw(myword(2, h.server.board().wordpositions()));
            h.settle();
            if (h.server.phase() == 1)
                h.tick();
        }
        h.clearAll();
        h.tick(7);
        if (winner.isEmpty()) {
            QVERIFY(ann.with("CMD_winner").isEmpty());
            QVERIFY(ann.last("CMD_loadboard").startsWith("CMD_loadboard+2+"));
            QVERIFY(h.server.gameinprogress());
        } else {
            QCOMPARE(ann.received, QList<QByteArray>({"CMD_winner+" + winner + "+"}));
            QCOMPARE(bob.received, ann.received);
            QVERIFY(!h.server.gameinprogress());
            QVERIFY(!h.server.timer1Enabled());
        }
    }

    void aDepartedTiedSeatIsNamedByItsBuiltInName()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        ScriptedClient &cid = h.join("Cid");
        start(ann, "250", "251");
        h.settle();
        bob.send("CMD_justwatch", {"2", "1"});
        h.settle();
        ann.sendRaw(myword(1, h.server.board().wordpositions()));
        cid.sendRaw(myword(3, h.server.board().wordpositions()));
        h.settle();
        QCOMPARE(h.server.phase(), 2);
        cid.sock.Close();
        h.settle();
        // Gone for good once the seat is no longer held for its player.
        for (int second = 0; second < SeatHolds::holdSeconds; ++second)
            h.server.holdtimerTimer();
        h.clearAll();
        h.tick(7);
        QCOMPARE(ann.received, QList<QByteArray>({"CMD_winner+Ann and Klock+"}));
    }

    // The round's length is brought into range before the countdown is
    // worked out; the players still see the field as it was sent.
    void secondsPerRoundAreBroughtIntoRange_data()
    {
        QTest::addColumn<QByteArray>("seconds");
        QTest::addColumn<int>("timeperturn");
        QTest::newRow("largest integer") << QByteArray("2147483647") << 3600;
        QTest::newRow("an hour and a second") << QByteArray("3601") << 3600;
        QTest::newRow("an hour") << QByteArray("3600") << 3600;
        QTest::newRow("smallest integer") << QByteArray("-2147483648") << 1;
        QTest::newRow("none") << QByteArray("0") << 1;
        QTest::newRow("one") << QByteArray("1") << 1;
    }
    void secondsPerRoundAreBroughtIntoRange()
    {
        QFETCH(QByteArray, seconds);
        QFETCH(int, timeperturn);
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        start(ann, "250", seconds);
        h.settle();
        QCOMPARE(h.server.timeperturn(), timeperturn);
        QCOMPARE(h.server.countdown(), timeperturn + 4);
        QCOMPARE(bob.last("CMD_startgame"), "CMD_startgame+Ann+250+" + seconds + "+f+f+");
        bob.sendRaw(myword(2, h.server.board().wordpositions()));
        h.settle();
        QCOMPARE(bob.last("CMD_hefoundit"), "CMD_hefoundit+2+" + QByteArray::number(timeperturn) + "+"
                                                + QByteArray::number(timeperturn) + "+");
        h.tick(timeperturn + 4);
        QCOMPARE(bob.last("CMD_outoftime"), QByteArray("CMD_outoftime+***+"));
    }

    void aWordAfterTheWinnerChangesNothing()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        start(ann, "1", "30");
        h.settle();
        const QByteArray word = h.server.board().wordpositions();
        ann.sendRaw(myword(1, word));
        h.settle();
        h.tick(34 + 7);
        QCOMPARE(bob.with("CMD_winner"), QList<QByteArray>({"CMD_winner+Ann+"}));
        QVERIFY(!h.server.gameinprogress());

        h.clearAll();
        bob.sendRaw(myword(2, word));
        h.settle();
        h.tick(10);
        QCOMPARE(ann.received, QList<QByteArray>());
        QCOMPARE(bob.received, QList<QByteArray>());
        QCOMPARE(h.server.seat(2).score, 0);
        QVERIFY(!h.server.timer1Enabled());
    }

    // Between rounds a word still counts, for the round just ended.
    void aWordInThePauseStillScores()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        start(ann, "250", "30");
        h.settle();
        const QByteArray word = h.server.board().wordpositions();
        h.tick(34 + 2);
        QCOMPARE(h.server.phase(), 2);
        bob.sendRaw(myword(2, word));
        h.settle();
        QCOMPARE(ann.last("CMD_hefoundit"), QByteArray("CMD_hefoundit+2+1+1+"));
    }
};

ZARVEX_TEST_MAIN(TestServerGame)
#include "tst_servergame.moc"
