#include "client/computerplayer.h"
#include "client/computerseats.h"
#include "client/wordsearch.h"
#include "server/board.h"
#include "server/random.h"
#include "support/loopback.h"
#include "support/serverharness.h"
#include "support/testmain.h"

#include <algorithm>

namespace {

using Level = ComputerLevel::Level;

int median(QList<int> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

// A computer player on a connection of its own whose server the test plays
// by hand: the test queues the server's messages straight into the player
// and reads what it sent on the wire.
struct PlayerOnTheWire
{
    Loopback::Listener listener;
    ComputerPlayer player;
    MessageAssembler assembler;
    QList<QByteArray> sent;

    explicit PlayerOnTheWire(Level level, quint32 seed = 1, int seat = 2)
        : player("Pippa", level, Ticker::Manual)
    {
        player.seed(seed);
        player.connectTo("127.0.0.1", listener.port());
        QTRY_VERIFY(listener.accepted);
        listener.accepted->OnRead = [this](TSock *s, int) { sent += assembler.feed(s->Receive()); };
        feed("CMD_sendlogininfo+" + QByteArray::number(seat));
    }

    void feed(const QByteArray &message)
    {
        player.receive(message);
        while (player.queued() > 0)
            player.dispatchTimer();
    }
    // Lets this many ms of the player's time pass, both timers running, and
    // answers how long until something went out ("CMD_myword" or a phrase),
    // -1 when nothing did. Without the dispatch tick only the thinking runs.
    int think(int ms, bool dispatching = true)
    {
        const QList<QByteArray> before = outgoing();
        for (int t = ComputerPlayer::thinkStepMs; t <= ms; t += ComputerPlayer::thinkStepMs) {
            for (int tick = 0; dispatching && tick < ComputerPlayer::thinkStepMs / 10; ++tick)
                player.dispatchTimer();
            player.thinkTimer();
            if (outgoing().size() != before.size())
                return t;
        }
        return -1;
    }
    // What the player wrote, read from the wire.
    QList<QByteArray> outgoing()
    {
        QCoreApplication::processEvents();
        return sent;
    }
    QList<QByteArray> outgoingWith(const QByteArray &prefix)
    {
        QList<QByteArray> out;
        for (const QByteArray &m : outgoing())
            if (m.startsWith(prefix))
                out << m;
        return out;
    }
    void startGame(bool scrambled, int seconds = 30)
    {
        feed(Wire::message("CMD_startgame", {"Ann", "250", QByteArray::number(seconds), scrambled ? "t" : "f", "f", ""})
                 .chopped(1));
    }
    // A round on a real board around the word.
    void startRound(Board &board, int round, const QByteArray &word, int seat = 2)
    {
        board.createboard(word);
        feed(board.loadboardMessage(round).chopped(1));
        feed(board.thewordMessage().chopped(1));
        feed("CMD_nextplayer+" + QByteArray::number(seat) + "+");
    }
};

struct RoundFigures
{
    int rounds = 0;
    int found = 0;
    qint64 points = 0;
    QList<int> waits;
};

} // namespace

// Computer players by level and over the protocol, with hand-driven timers.
class TestComputerPlayer : public QObject
{
    Q_OBJECT

private slots:
    void waitsAreNeverUnderTwoSecondsAndOrderedByLevel_data()
    {
        QTest::addColumn<bool>("scrambled");
        QTest::addColumn<int>("length");
        for (const bool scrambled : {false, true})
            for (int length = 3; length <= 10; ++length)
                QTest::addRow("%s, %d letters", scrambled ? "scrambled" : "straight", length) << scrambled << length;
    }
    void waitsAreNeverUnderTwoSecondsAndOrderedByLevel()
    {
        QFETCH(bool, scrambled);
        QFETCH(int, length);
        QRandomGenerator random{quint32(length)};
        int medians[3] = {};
        for (Level level : {ComputerLevel::Easy, ComputerLevel::Normal, ComputerLevel::Hard}) {
            QList<int> waits;
            for (int n = 0; n < 4000; ++n) {
                const ComputerLevel::Attempt a = ComputerLevel::draw(level, length, scrambled, random);
                QVERIFY(a.waitMs >= 2000);
                waits << a.waitMs;
            }
            medians[level] = median(waits);
            // The drawn waits spread around the level's median.
            const int expected = ComputerLevel::medianWaitMs(level, length, scrambled);
            QVERIFY(std::abs(medians[level] - expected) < expected / 20);
            QVERIFY(*std::max_element(waits.begin(), waits.end()) > medians[level] * 5 / 4);
        }
        QVERIFY(medians[ComputerLevel::Easy] > medians[ComputerLevel::Normal]);
        QVERIFY(medians[ComputerLevel::Normal] > medians[ComputerLevel::Hard]);
        // Longer and scrambled words take longer.
        for (Level level : {ComputerLevel::Easy, ComputerLevel::Normal, ComputerLevel::Hard}) {
            QVERIFY(ComputerLevel::medianWaitMs(level, length, true) > ComputerLevel::medianWaitMs(level, length, false));
            QVERIFY(ComputerLevel::medianWaitMs(level, length + 1, scrambled)
                    > ComputerLevel::medianWaitMs(level, length, scrambled));
        }
    }

    void onlyEasyAndNormalGiveUp()
    {
        for (int length = 3; length <= 10; ++length) {
            for (const bool scrambled : {false, true}) {
                QCOMPARE(ComputerLevel::missChance(ComputerLevel::Hard, length, scrambled), 0.0);
                QVERIFY(ComputerLevel::missChance(ComputerLevel::Normal, length, scrambled) > 0.0);
                QVERIFY(ComputerLevel::missChance(ComputerLevel::Easy, length, scrambled)
                        > ComputerLevel::missChance(ComputerLevel::Normal, length, scrambled));
            }
        }
    }

    void levelsReadInAnyCase_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("level");
        QTest::newRow("easy") << "easy" << true << int(ComputerLevel::Easy);
        QTest::newRow("Normal") << "Normal" << true << int(ComputerLevel::Normal);
        QTest::newRow("HARD") << "HARD" << true << int(ComputerLevel::Hard);
        QTest::newRow("other") << "expert" << false << int(ComputerLevel::Normal);
        QTest::newRow("empty") << "" << false << int(ComputerLevel::Normal);
    }
    void levelsReadInAnyCase()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(int, level);
        Level read = ComputerLevel::Normal;
        QCOMPARE(ComputerLevel::fromText(text, read), ok);
        QCOMPARE(int(read), level);
    }

    // A thousand rounds of each level with the player's own clock driven by
    // hand: how often it finds the word and how many points it would score.
    void overAThousandRoundsHardBeatsNormalBeatsEasy()
    {
        RoundFigures figures[3];
        for (Level level : {ComputerLevel::Easy, ComputerLevel::Normal, ComputerLevel::Hard}) {
            PlayerOnTheWire t(level, 7);
            Random::seed(11);
            Board board;
            RoundFigures &f = figures[level];
            for (int game = 0; game < 2; ++game) {
                const bool scrambled = game == 1;
                board.setScrambled(scrambled);
                t.startGame(scrambled, 30);
                for (int round = 1; round <= 500; ++round) {
                    board.createboard();
                    t.feed(board.loadboardMessage(round).chopped(1));
                    t.feed(board.thewordMessage().chopped(1));
                    t.feed("CMD_nextplayer+2+");
                    const int wait = t.think(30000);
                    ++f.rounds;
                    if (wait < 0)
                        continue;
                    // A window's clock: the points are the whole seconds left.
                    QVERIFY2(wait >= 2000, QByteArray::number(wait).constData());
                    ++f.found;
                    f.points += 30 - wait / 1000;
                    f.waits << wait;
                    t.feed("CMD_hefoundit+2+" + QByteArray::number(30 - wait / 1000) + "+0+");
                }
            }
            // Every word went out as tiles that spell it, one pair a letter.
            QCOMPARE(t.outgoingWith("CMD_myword+2+").size(), f.found);
        }
        const RoundFigures &easy = figures[ComputerLevel::Easy];
        const RoundFigures &normal = figures[ComputerLevel::Normal];
        const RoundFigures &hard = figures[ComputerLevel::Hard];
        qInfo("found of 1000: easy %d, normal %d, hard %d; points: %lld, %lld, %lld; median ms: %d, %d, %d",
              easy.found, normal.found, hard.found, easy.points, normal.points, hard.points, median(easy.waits),
              median(normal.waits), median(hard.waits));
        QCOMPARE(hard.rounds, 1000);
        QVERIFY(hard.found > normal.found);
        QVERIFY(normal.found > easy.found);
        QVERIFY(hard.points > normal.points);
        QVERIFY(normal.points > easy.points);
        QVERIFY(median(easy.waits) > median(normal.waits));
        QVERIFY(median(normal.waits) > median(hard.waits));
        // Easy and Normal miss some words; Hard finds every one in time.
        QVERIFY(normal.found < 1000);
        QCOMPARE(hard.found, 1000);
    }

    void theWordGoesOutAsAWindowWouldSendIt()
    {
        PlayerOnTheWire t(ComputerLevel::Hard);
        QCOMPARE(t.outgoing().value(0), QByteArray("CMD_logininfo+2+1.0.5+Pippa"));
        // The login carries a window's second terminator: an empty message.
        QCOMPARE(t.outgoing().value(1), QByteArray());
        t.startGame(false);
        QByteArray tiles = "CMD_loadboard+1";
        for (int c = 1; c <= 10; ++c)
            for (int r = 1; r <= 9; ++r)
                tiles += '+' + QByteArray::number(c) + '+' + QByteArray::number(r) + '+'
                         + (r == 7 && c >= 4 && c <= 6 ? QByteArray::number("cat"[c - 4] - 'a' + 1) : "26");
        t.feed(tiles);
        t.feed("CMD_theword+1+3+2+1+3+20");
        t.feed("CMD_nextplayer+2+");
        QVERIFY(t.player.pendingMs() >= 2000);
        QVERIFY(t.think(30000) >= 2000);
        QCOMPARE(t.outgoingWith("CMD_myword").value(0), QByteArray("CMD_myword+2+4+7+5+7+6+7"));
    }

    void nothingGoesOutOfTurn_data()
    {
        QTest::addColumn<QByteArrayList>("messages");
        QTest::newRow("the round ends first") << QByteArrayList{"CMD_nextplayer+2+", "CMD_outoftime+4+7+5+7+6+7"};
        QTest::newRow("everybody else found it")
            << QByteArrayList{"CMD_nextplayer+2+", "CMD_roundover+4+7+5+7+6+7"};
        QTest::newRow("just watching") << QByteArrayList{"CMD_justwatching+2+1", "CMD_nextplayer+2+"};
        QTest::newRow("set to watch during the round")
            << QByteArrayList{"CMD_nextplayer+2+", "CMD_justwatching+2+1"};
        QTest::newRow("a spectator") << QByteArrayList{"CMD_sendlogininfo+7", "CMD_nextplayer+1+"};
        QTest::newRow("the game is over") << QByteArrayList{"CMD_nextplayer+2+", "CMD_winner+Ann+"};
    }
    void nothingGoesOutOfTurn()
    {
        QFETCH(QByteArrayList, messages);
        PlayerOnTheWire t(ComputerLevel::Hard);
        Random::seed(3);
        Board board;
        t.startGame(false);
        board.createboard("cat");
        t.feed(board.loadboardMessage(1).chopped(1));
        t.feed(board.thewordMessage().chopped(1));
        for (const QByteArray &m : messages)
            t.feed(m);
        t.think(40000);
        QCOMPARE(t.outgoingWith("CMD_myword").size(), 0);
        // Playing again, it plays the next round.
        t.feed("CMD_justwatching+2+2");
        t.feed("CMD_sendlogininfo+2");
        t.startRound(board, 2, "dog");
        QVERIFY(t.think(40000) >= 2000);
        QCOMPARE(t.outgoingWith("CMD_myword").size(), 1);
    }

    void theClockRunningOutEndsTheLook()
    {
        // Ten seconds a round: an Easy player looking at a long scrambled
        // word never gets there in time, and sends nothing late.
        PlayerOnTheWire t(ComputerLevel::Easy, 5);
        Random::seed(5);
        Board board;
        board.setScrambled(true);
        t.startGame(true, 3);
        for (int round = 1; round <= 20; ++round) {
            t.startRound(board, round, "lighthouse");
            QCOMPARE(t.think(60000), -1);
            QCOMPARE(t.player.pendingMs(), -1);
        }
        QCOMPARE(t.outgoingWith("CMD_myword").size(), 0);
    }

    void aRejectedWordIsTriedOnceMore()
    {
        PlayerOnTheWire t(ComputerLevel::Hard);
        Random::seed(9);
        Board board;
        t.startGame(false);
        t.startRound(board, 1, "bread");
        QVERIFY(t.think(30000) > 0);
        t.feed("CMD_nomatch+2+");
        QCOMPARE(t.think(30000), 2000);
        t.feed("CMD_nomatch+2+");
        QCOMPARE(t.think(30000), -1);
        // Another seat's rejection is not this player's business.
        t.startRound(board, 2, "bread");
        QVERIFY(t.think(30000) > 0);
        t.feed("CMD_nomatch+3+");
        QCOMPARE(t.think(30000), -1);
        QCOMPARE(t.outgoingWith("CMD_myword").size(), 3);
    }

    void phrasesComeAtMostOnceARoundAndNeverInTheCooldown()
    {
        PlayerOnTheWire t(ComputerLevel::Easy, 21);
        Random::seed(21);
        Board board;
        t.startGame(false, 30);
        int rounds = 0;
        int said = 0;
        bool triedWithinCooldown = false;
        for (int round = 1; round <= 200; ++round) {
            t.feed("CMD_justwatching+2+1");   // watching: only the phrases go out
            t.startRound(board, round, "elephant");
            const int before = int(t.outgoingWith("CMD_action").size());
            // Two hard words found by others in one round.
            t.feed("CMD_hefoundit+3+20+20+");
            t.think(4000);
            // (think stops as soon as something goes out, and here lets no
            // dispatch tick pass, so a phrase just said is still cooling.)
            t.feed("CMD_hefoundit+4+19+19+");
            t.think(4000, false);
            const int now = int(t.outgoingWith("CMD_action").size());
            QVERIFY(now - before <= 1);
            ++rounds;
            if (now == before)
                continue;
            ++said;
            QCOMPARE(t.outgoingWith("CMD_action").last(), QByteArray("CMD_action+2+says: Good One!|clGreen"));
            if (!triedWithinCooldown) {
                // Straight into the next rounds, four dispatch ticks each
                // and the dispatch otherwise at rest: whatever it wants to
                // say within 101 ticks of the last phrase is held back.
                triedWithinCooldown = true;
                for (int r = 0; r < 20; ++r) {
                    t.startRound(board, 1000 + r, "elephant");
                    t.feed("CMD_hefoundit+3+20+20+");
                    t.think(4000, false);
                }
                QCOMPARE(int(t.outgoingWith("CMD_action").size()), now);
                // After the cooldown (101 dispatch ticks) it speaks again.
                for (int tick = 0; tick < 101; ++tick)
                    t.player.dispatchTimer();
            }
        }
        QVERIFY(triedWithinCooldown);
        // Now and then, not always.
        QVERIFY2(said > rounds / 5 && said < rounds * 4 / 5, QByteArray::number(said).constData());
        // A short word earns no praise.
        const int before = int(t.outgoingWith("CMD_action").size());
        for (int round = 1; round <= 20; ++round) {
            t.startRound(board, 2000 + round, "cat");
            t.feed("CMD_hefoundit+3+20+20+");
            t.think(4000);
            for (int tick = 0; tick < 101; ++tick)
                t.player.dispatchTimer();
        }
        QCOMPARE(int(t.outgoingWith("CMD_action").size()), before);
    }

    void goodGameAfterTheWinner()
    {
        int said = 0;
        for (quint32 seed = 1; seed <= 20; ++seed) {
            PlayerOnTheWire t(ComputerLevel::Normal, seed);
            t.feed("CMD_winner+Ann+");
            t.think(4000);
            const QList<QByteArray> actions = t.outgoingWith("CMD_action");
            QVERIFY(actions.size() <= 1);
            if (!actions.isEmpty()) {
                QCOMPARE(actions.first(), QByteArray("CMD_action+2+says: Good Game Everyone!|clTeal"));
                ++said;
            }
        }
        QVERIFY(said > 2 && said < 20);
    }

    void playsARealServerRound()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        ComputerPlayer bot("Rufus", ComputerLevel::Hard, Ticker::Manual);
        QList<int> finds;
        connect(&bot, &ComputerPlayer::wordFound, [&](int bonus, int) { finds << bonus; });
        bot.connectTo("127.0.0.1", QByteArray::number(h.port()));
        const auto settle = [&] {
            settleUntilQuiet([&] {
                bool moved = false;
                for (; h.server.queued() > 0; moved = true)
                    h.server.socktimerTimer();
                for (; bot.queued() > 0; moved = true)
                    bot.dispatchTimer();
                return moved;
            });
        };
        settle();
        QCOMPARE(bot.myseat(), 2);
        QCOMPARE(h.server.seat(2).name, QByteArray("Rufus"));
        QVERIFY(!ann.with("CMD_newplayerinfo+2+Rufus").isEmpty());

        h.server.chooseNextWord("garden");
        ann.send("CMD_startgame", {"Ann", "250", "30", "t", "f", ""});
        settle();
        ann.send("CMD_justwatch", {"1", "1"});
        settle();
        // Seconds pass on the server and in the player's head alike.
        int seconds = 0;
        while (finds.isEmpty() && seconds < 30) {
            for (int tenth = 0; tenth < 10; ++tenth)
                bot.thinkTimer();
            h.tick();
            settle();
            ++seconds;
        }
        QCOMPARE(finds.size(), 1);
        QVERIFY(seconds >= 2);
        QCOMPARE(h.server.seat(2).score, finds.first());
        QCOMPARE(finds.first(), 30 - seconds);
        // Ann watched and gets the word's tiles; the round ended early.
        QCOMPARE(ann.last("CMD_roundover"), "CMD_roundover" + h.server.board().wordpositions());
    }

    void friendlyNamesAvoidEveryNameInUse_data()
    {
        QTest::addColumn<QByteArrayList>("taken");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("nobody") << QByteArrayList{} << QByteArray("Pippa");
        QTest::newRow("the local player") << QByteArrayList{"You"} << QByteArray("Pippa");
        QTest::newRow("a player of that name") << QByteArrayList{"You", "pippa"} << QByteArray("Rufus");
        QTest::newRow("two taken") << QByteArrayList{"PIPPA", "Rufus"} << QByteArray("Mabel");
        QByteArrayList all = ComputerSeats::friendlyNames();
        QTest::newRow("all taken") << all << QByteArray("Pippa2");
        all << "Pippa2";
        QTest::newRow("the first numbered too") << all << QByteArray("Rufus2");
    }
    void friendlyNamesAvoidEveryNameInUse()
    {
        QFETCH(QByteArrayList, taken);
        QFETCH(QByteArray, name);
        QCOMPARE(ComputerSeats::friendlyName(taken), name);
    }

    void noFriendlyNameIsASeatsBuiltInName()
    {
        const QByteArrayList hints = {"Klot", "Klock", "Kling", "Klick", "Krazy", "You"};
        for (const QByteArray &name : ComputerSeats::friendlyNames())
            for (const QByteArray &hint : hints)
                QVERIFY(name.compare(hint, Qt::CaseInsensitive) != 0);
        QCOMPARE(ComputerSeats::builtInNames().size(), 5);
    }
};

ZARVEX_TEST_MAIN(TestComputerPlayer)
#include "tst_computerplayer.moc"
