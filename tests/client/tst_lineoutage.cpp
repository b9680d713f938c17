#include "support/outagegame.h"
#include "support/serverharness.h"
#include "support/testmain.h"

#include <memory>

namespace {

// Tiles that spell the window's word: for each letter, the first tile that
// carries it.
QByteArray positionsOfTheWord(const BoardSelection &board)
{
    QByteArray positions;
    for (int k = 1; k <= board.wordLength(); ++k) {
        bool found = false;
        for (int column = 1; column <= BoardSelection::columns && !found; ++column)
            for (int row = 1; row <= BoardSelection::rows && !found; ++row)
                if (board.code(column, row) % BoardSelection::highlight == board.slot(k).code) {
                    positions += '+' + QByteArray::number(column) + '+' + QByteArray::number(row);
                    found = true;
                }
    }
    return positions;
}

} // namespace

// A real line between a dedicated server and a player's window fails
// silently for 20 seconds during a round, and comes back.
class TestLineOutage : public QObject
{
    Q_OBJECT

    std::unique_ptr<NetLab> lab;

private slots:
    void initTestCase()
    {
        lab = std::make_unique<NetLab>();
        if (!lab->whyNot().isEmpty())
            QSKIP(qPrintable(lab->whyNot()));
        QVERIFY(lab->enterPlayerSide());
    }
    void cleanupTestCase() { lab.reset(); }

    void aSilentOutageDuringARound()
    {
        OutageGame g(*lab, ZARVEX_SERVER, ZARVEX_BOT, "hard");
        QVERIFY2(g.why.isEmpty(), qPrintable(g.why));
        GameClient &window = g.window;
        g.startGame(60);
        QTRY_VERIFY_WITH_TIMEOUT(g.inRound(), 10000);
        window.send("CMD_myword+1" + positionsOfTheWord(window.board()) + Wire::Terminator);
        QTRY_VERIFY_WITH_TIMEOUT(window.row(1).score != "0", 10000);
        const QString score = window.row(1).score;
        QTRY_VERIFY_WITH_TIMEOUT(window.panel().round == "ROUND: 2" && g.inRound(), 30000);

        QVERIFY(lab->cut());
        const qint64 cut = g.clock.elapsed();
        const QByteArray lost = "Pat lost the connection: seat 1 is held";
        QTRY_VERIFY_WITH_TIMEOUT(g.when(lost) >= 0, 35000);
        QVERIFY2(g.when(lost) - cut <= 30000, qPrintable(QString::number(g.when(lost) - cut)));
        // Nobody waits for the held seat: the bot's find ends the round.
        QTRY_VERIFY_WITH_TIMEOUT(g.when("Round 2 over") >= 0, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(g.windowLost >= 0, 35000);
        QVERIFY2(g.windowLost - cut <= 30000, qPrintable(QString::number(g.windowLost - cut)));
        QCOMPARE(window.panel().status, QString("Connection lost. Reconnecting..."));
        QVERIFY(g.reports.contains("Error #10060 (WSAETIMEDOUT)"));

        while (g.clock.elapsed() < cut + 20000)
            QTest::qWait(100);
        QVERIFY(lab->restore());
        const qint64 restored = g.clock.elapsed();
        QVERIFY2(g.when("Round 2 over") < restored, "the round waited for the line");
        const QByteArray back = "Pat is back in seat 1 with " + score.toUtf8() + " points";
        QTRY_VERIFY_WITH_TIMEOUT(g.when(back) >= 0, 10000);
        QVERIFY2(g.when(back) - restored <= 5000, qPrintable(QString::number(g.when(back) - restored)));
        QTRY_COMPARE_WITH_TIMEOUT(window.panel().status, QString("Reconnected."), 5000);
        QCOMPARE(window.myseat(), 1);
        // Its row, its score and the board of the round being played (begun
        // while the line was down) come back from the server.
        QTRY_VERIFY(window.row(1).name == "Pat" && window.row(2).name == "Bot");
        QTRY_COMPARE(window.row(1).score, score);
        QTRY_VERIFY_WITH_TIMEOUT(window.panel().round != "ROUND: 2" && window.board().wordLength() > 0, 15000);
        qInfo("held after %lld ms, window lost after %lld ms, back %lld ms after the line",
              g.when(lost) - cut, g.windowLost - cut, g.when(back) - restored);
    }

    // The window is back before the server has given the old line up: the
    // old connection, silent with a message waiting for an answer, is taken
    // for lost as the new one comes from its address, and the player goes
    // straight back to the held seat, never into a second one.
    void backBeforeTheServerGaveTheLineUp()
    {
        OutageGame g(*lab, ZARVEX_SERVER, ZARVEX_BOT, QString());
        QVERIFY2(g.why.isEmpty(), qPrintable(g.why));
        std::unique_ptr<ScriptedClient> sam;
        lab->onServerSide([&] { sam = std::make_unique<ScriptedClient>(OutageGame::port); });
        QTRY_COMPARE(sam->last("CMD_sendlogininfo"), QByteArray("CMD_sendlogininfo+2"));
        sam->sendRaw("CMD_logininfo+2+" + Wire::Version + "+Sam" + Wire::Terminator);
        QTRY_COMPARE(g.window.row(2).name, QString("Sam"));
        g.startGame(60);
        QTRY_VERIFY_WITH_TIMEOUT(g.inRound(), 10000);

        QVERIFY(lab->cut());
        const qint64 cut = g.clock.elapsed();
        const int silentMs = (Wire::KeepAliveIdle + Wire::KeepAliveInterval * Wire::KeepAliveCount) * 1000;
        QTest::qWait(4000);
        sam->send("CMD_chat", {"2", "still there?"});   // Pat's copy waits at the server
        const qint64 chat = g.clock.elapsed();
        QTRY_VERIFY_WITH_TIMEOUT(g.windowLost >= 0, silentMs + 2000);
        while (g.clock.elapsed() < cut + silentMs + 500)
            QTest::qWait(50);
        QVERIFY(lab->restore());
        const qint64 restored = g.clock.elapsed();
        QTRY_VERIFY_WITH_TIMEOUT(g.when("Pat is back in seat 1", cut) >= 0, 5000);
        const qint64 lost = g.when("Pat lost the connection: seat 1 is held", cut);
        QVERIFY2(lost >= restored && lost < chat + silentMs,
                 qPrintable(QString("lost at %1 ms, line back at %2 ms").arg(lost - cut).arg(restored - cut)));
        QVERIFY(g.when("Pat is back in seat 1", cut) - restored <= 3000);
        QCOMPARE(g.when("joined in seat", cut), -1);
        QTRY_COMPARE(g.window.panel().status, QString("Reconnected."));
    }
};

ZARVEX_TEST_MAIN(TestLineOutage)
#include "tst_lineoutage.moc"
