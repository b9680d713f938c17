#include "support/fakeserver.h"
#include "support/testmain.h"

// The word selection as the player's clicks meet it: which tiles are taken,
// which are refused, and what leaves for the server. Every case is played
// twice, with the mouse and with the keys that do the same on the board.
class TestSelection : public QObject
{
    Q_OBJECT

private:
    // A client in seat 2 whose turn it is, with the word on the board.
    static void startTurn(ClientUnderTest &t, const QByteArray &word, bool scrambled,
                          const QList<std::tuple<int, int, char>> &letters)
    {
        t.startTurn(boardMessage(1, letters), wordMessage(word), scrambled);
        QFETCH_GLOBAL(bool, byKeys);
        t.byKeys = byKeys;
    }

private slots:
    void initTestCase_data()
    {
        QTest::addColumn<bool>("byKeys");
        QTest::newRow("mouse") << false;
        QTest::newRow("keys") << true;
    }

    void pointsMapToTiles_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<QPoint>("tile");
        QTest::newRow("top left") << QPoint(0, 0) << QPoint(1, 1);
        QTest::newRow("bottom right") << QPoint(439, 395) << QPoint(10, 9);
        QTest::newRow("edge of a tile") << QPoint(44, 43) << QPoint(2, 1);
        QTest::newRow("right of the board") << QPoint(440, 10) << QPoint();
        QTest::newRow("below the board") << QPoint(10, 396) << QPoint();
        QTest::newRow("left of it") << QPoint(-1, 10) << QPoint();
    }
    void pointsMapToTiles()
    {
        QFETCH(QPoint, point);
        QFETCH(QPoint, tile);
        QCOMPARE(BoardSelection::tileAt(point.x(), point.y()), tile);
    }

    void aStraightSelectionKeepsItsDirection()
    {
        ClientUnderTest t(2);
        startTurn(t, "abcd", false, {{3, 3, 'a'}, {4, 4, 'b'}, {5, 5, 'c'}, {5, 4, 'c'}, {6, 6, 'd'}, {4, 3, 'b'}, {5, 3, 'c'}});
        t.click(3, 3);
        t.click(4, 4);
        QCOMPARE(t.client.board().linedirection(), 5);
        t.click(5, 4);   // the right letter, off the line
        QCOMPARE(t.sounds.last(), QString("invalid"));
        QCOMPARE(t.client.board().selectedcount(), 2);
        t.click(5, 5);
        QCOMPARE(t.client.board().selectedcount(), 3);

        // Back to one tile, the next may go another way.
        t.click(5, 5, true);
        t.click(4, 4, true);
        QCOMPARE(t.client.board().selectedcount(), 1);
        QCOMPARE(t.client.board().linedirection(), 0);
        t.click(4, 3);
        t.click(5, 3);
        QCOMPARE(t.client.board().selectedcount(), 3);
        QCOMPARE(t.client.board().linedirection(), 1);
    }

    void aScrambledSelectionIsAChainOfNeighbours()
    {
        ClientUnderTest t(2);
        startTurn(t, "abcde", true, {{3, 3, 'a'}, {4, 4, 'b'}, {4, 5, 'c'}, {3, 6, 'd'}, {5, 6, 'e'}, {3, 8, 'e'}});
        t.click(3, 3);
        t.click(4, 4);
        t.click(4, 5);
        t.click(3, 6);
        QCOMPARE(t.client.board().selectedcount(), 4);
        t.click(3, 8);   // two steps away
        QCOMPARE(t.sounds.last(), QString("invalid"));
        QCOMPARE(t.client.board().selectedcount(), 4);
        QVERIFY(t.sentWith("CMD_myword").isEmpty());
    }

    void aRepeatedLetterNeedsATileOfItsOwn()
    {
        ClientUnderTest t(2);
        startTurn(t, "noon", true, {{2, 2, 'n'}, {3, 2, 'o'}, {4, 2, 'o'}, {5, 2, 'n'}});
        t.click(2, 2);
        t.click(3, 2);
        t.click(3, 2);   // the same o again: it is highlighted now
        QCOMPARE(t.sounds.last(), QString("invalid"));
        QCOMPARE(t.client.board().selectedcount(), 2);
        t.click(4, 2);
        t.click(5, 2);
        QCOMPARE(t.sentWith("CMD_myword"), QList<QByteArray>({"CMD_myword+2+2+2+3+2+4+2+5+2"}));
    }

    void theRightButtonUnselectsOrClears()
    {
        ClientUnderTest t(2);
        startTurn(t, "abcd", false, {{1, 1, 'a'}, {2, 1, 'b'}, {3, 1, 'c'}, {4, 1, 'd'}});
        t.click(1, 1);
        t.click(2, 1);
        t.click(3, 1);
        t.sounds.clear();
        t.click(2, 1, true);   // highlighted, not the last: nothing
        QCOMPARE(t.client.board().selectedcount(), 3);
        t.click(3, 1, true);   // the last: only that one goes, silently
        QCOMPARE(t.client.board().selectedcount(), 2);
        QCOMPARE(t.client.board().lastSelected(), QPoint(2, 1));
        QCOMPARE(t.client.board().code(3, 1), 3);
        QCOMPARE(t.client.board().slot(3).picture, BoardSelection::Picture::Plain);
        QVERIFY(t.sounds.isEmpty());
        t.click(7, 7, true);   // a plain tile clears everything
        QCOMPARE(t.sounds, QStringList({"clear"}));
        QCOMPARE(t.client.board().selectedcount(), 0);
        QCOMPARE(t.client.board().code(1, 1), 1);
        QCOMPARE(t.client.board().code(2, 1), 2);
    }

    void theWordLeavesOnItsLastTile_data()
    {
        QTest::addColumn<QByteArray>("word");
        QTest::newRow("three letters") << QByteArray("cat");
        QTest::newRow("ten letters") << QByteArray("abcdefghij");
    }
    void theWordLeavesOnItsLastTile()
    {
        QFETCH(QByteArray, word);
        ClientUnderTest t(2);
        QList<std::tuple<int, int, char>> letters;
        for (int k = 0; k < word.size(); ++k)
            letters.append({k + 1, 7, word[k]});
        if (word == "cat")
            letters = {{4, 7, 'c'}, {5, 7, 'a'}, {6, 7, 't'}};
        startTurn(t, word, false, letters);
        for (int k = 0; k < word.size() - 1; ++k) {
            t.click(std::get<0>(letters[k]), 7);
            QVERIFY(t.sentWith("CMD_myword").isEmpty());
        }
        t.click(std::get<0>(letters.last()), 7);
        const QList<QByteArray> words = t.sentWith("CMD_myword");
        QCOMPARE(words.size(), 1);
        if (word == "cat")
            QCOMPARE(words.first(), QByteArray("CMD_myword+2+4+7+5+7+6+7"));
        QCOMPARE(t.sounds.last(), QString("sendword"));
        QCOMPARE(t.client.activeseat(), 0);
        // Nothing more is taken or cleared until the server answers.
        t.click(1, 1, true);
        QCOMPARE(t.client.board().selectedcount(), word.size());
    }

    void wrongLettersAndOtherTurnsAreRefused()
    {
        ClientUnderTest t(2);
        startTurn(t, "cat", false, {{4, 7, 'c'}, {5, 7, 'a'}, {6, 7, 't'}});
        t.click(5, 7);   // not the first letter
        QCOMPARE(t.sounds, QStringList({"invalid"}));
        t.feed("CMD_nextplayer+3+");   // another seat's turn
        t.sounds.clear();
        t.click(4, 7);
        QVERIFY(t.sounds.isEmpty());
        QCOMPARE(t.client.board().selectedcount(), 0);
    }

    void justWatchingPlayersCannotSelect()
    {
        ClientUnderTest t(2);
        startTurn(t, "cat", false, {{4, 7, 'c'}, {5, 7, 'a'}, {6, 7, 't'}});
        t.feed("CMD_justwatching+2+1");
        t.click(4, 7);
        QCOMPARE(t.boxes, QStringList({"You cannot play when you have \"Just Watching\" set."}));
        QCOMPARE(t.client.board().selectedcount(), 0);
    }
};

ZARVEX_TEST_MAIN(TestSelection)
#include "tst_selection.moc"
