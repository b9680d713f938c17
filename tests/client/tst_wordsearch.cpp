#include "client/wordsearch.h"
#include "protocol/boarddirections.h"
#include "server/board.h"
#include "server/dictionary.h"
#include "server/random.h"
#include "support/testmain.h"

#include <QHash>
#include <QSet>

namespace {

// The board and the word as a player's window holds them after the round's
// CMD_loadboard and CMD_theword.
BoardSelection seen(const Board &board)
{
    BoardSelection selection;
    selection.setScrambled(board.scrambled());
    FieldReader tiles(board.boardText().mid(1));
    selection.loadTiles(tiles);
    FieldReader word(board.wordtext().mid(1));
    selection.theword(word);
    return selection;
}

// A board whose tiles are all 'z' but the given letters, in a game of the type.
BoardSelection handMade(const QByteArray &word, bool scrambled, const QList<std::tuple<int, int, char>> &letters)
{
    QByteArray tiles;
    for (int c = 1; c <= 10; ++c)
        for (int r = 1; r <= 9; ++r) {
            int code = 26;
            for (const auto &[lc, lr, letter] : letters)
                if (lc == c && lr == r)
                    code = letter - 'a' + 1;
            tiles += '+' + QByteArray::number(c) + '+' + QByteArray::number(r) + '+' + QByteArray::number(code);
        }
    QByteArray text;
    for (int k = 1; k <= word.size(); ++k)
        text += '+' + QByteArray::number(k) + '+' + QByteArray::number(word[k - 1] - 'a' + 1);
    BoardSelection selection;
    selection.setScrambled(scrambled);
    FieldReader t(tiles.mid(1));
    selection.loadTiles(t);
    FieldReader w(text.mid(1));
    selection.theword(w);
    return selection;
}

QByteArray listOf(const WordSearch::Placement &placement)
{
    QByteArray list;
    for (const QPoint &p : placement)
        list += '+' + QByteArray::number(p.x()) + '+' + QByteArray::number(p.y());
    return list;
}

// Words of each length from the word list.
const QHash<int, QList<QByteArray>> &wordsByLength()
{
    static const QHash<int, QList<QByteArray>> words = [] {
        QHash<int, QList<QByteArray>> out;
        for (int id = 0; id < Dictionary::count(); ++id) {
            const QByteArray w = Dictionary::GetString(id);
            out[int(w.size())].append(w);
        }
        return out;
    }();
    return words;
}

} // namespace

// How a computer player finds the word: on real boards of every kind, and
// by the same rules the player's own clicks must pass.
class TestWordSearch : public QObject
{
    Q_OBJECT

private slots:
    void directionsAreSharedByBothEnds()
    {
        // The neighbour each code leads to, as the board and the selection
        // both read it.
        const QList<QPoint> steps = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
        for (int d = 1; d <= 8; ++d) {
            QCOMPARE(QPoint(BoardDirections::columnStep(d), BoardDirections::rowStep(d)), steps[d - 1]);
            QCOMPARE(BoardDirections::between(5, 5, 5 + steps[d - 1].x(), 5 + steps[d - 1].y()), d);
        }
        QCOMPARE(BoardDirections::columnStep(0), 0);
        QCOMPARE(BoardDirections::rowStep(9), 0);
        QCOMPARE(BoardDirections::between(5, 5, 7, 5), 0);
        QCOMPARE(BoardDirections::between(5, 5, 5, 5), 0);
    }

    void findsEveryWordOnRealBoards_data()
    {
        QTest::addColumn<bool>("scrambled");
        QTest::addColumn<int>("length");
        // Every length a game of the type plays: straight 3 to 8, and 9 and
        // 10 with only the word's letters; scrambled 5 to 10.
        for (const bool scrambled : {false, true})
            for (int length = scrambled ? 5 : 3; length <= Board::MaxWordLength; ++length)
                QTest::addRow("%s, %d letters", scrambled ? "scrambled" : "straight", length) << scrambled << length;
    }
    void findsEveryWordOnRealBoards()
    {
        QFETCH(bool, scrambled);
        QFETCH(int, length);
        const QList<QByteArray> &words = wordsByLength()[length];
        QVERIFY(!words.isEmpty());
        Random::seed(quint32(length * 2 + scrambled));
        Board board;
        board.setScrambled(scrambled);
        for (int n = 0; n < 2000; ++n) {
            // Every other board is filled with the word's letters only,
            // where copies and near misses crowd the search.
            board.setOnlyLetters(n % 2 == 1);
            const QByteArray word = words[Random::uniform(int(words.size()))];
            QVERIFY(board.createboard(word));
            const BoardSelection selection = seen(board);

            const WordSearch::Placement found = WordSearch::find(selection);
            QCOMPARE(found.size(), length);
            QSet<int> tiles;
            for (int k = 1; k <= length; ++k) {
                const QPoint at = found[k - 1];
                // The server's check: the letters on the tiles spell the word.
                QCOMPARE(board.tile(at.x(), at.y()), board.wordLetter(k));
                tiles.insert(at.x() * 16 + at.y());
                if (k == 1)
                    continue;
                const int direction = BoardDirections::between(found[k - 2].x(), found[k - 2].y(), at.x(), at.y());
                QVERIFY2(direction != 0, word.constData());
                if (!scrambled && k > 2) {
                    const int before = BoardDirections::between(found[k - 3].x(), found[k - 3].y(),
                                                                found[k - 2].x(), found[k - 2].y());
                    QCOMPARE(direction, before);
                }
            }
            QCOMPARE(tiles.size(), length);
            // And the window's rules take the same tiles in the same order.
            QCOMPARE(WordSearch::select(selection, found), listOf(found));
        }
    }

    void selectionRulesRefuse_data()
    {
        QTest::addColumn<bool>("scrambled");
        QTest::addColumn<QList<QPoint>>("placement");
        // The word "cat" lies at (2,2), (3,2), (4,2) and again bent at (4,3).
        QTest::newRow("a gap") << false << QList<QPoint>{{2, 2}, {3, 2}, {5, 2}};
        QTest::newRow("a bend in a straight game") << false << QList<QPoint>{{2, 2}, {3, 2}, {4, 3}};
        QTest::newRow("a wrong letter") << true << QList<QPoint>{{2, 2}, {3, 2}, {3, 3}};
        QTest::newRow("the same tile twice") << true << QList<QPoint>{{2, 2}, {3, 2}, {3, 2}};
        QTest::newRow("too few tiles") << true << QList<QPoint>{{2, 2}, {3, 2}};
        QTest::newRow("too many tiles") << true << QList<QPoint>{{2, 2}, {3, 2}, {4, 2}, {4, 3}};
        QTest::newRow("no tiles") << true << QList<QPoint>{};
    }
    void selectionRulesRefuse()
    {
        QFETCH(bool, scrambled);
        QFETCH(QList<QPoint>, placement);
        const BoardSelection board = handMade("cat", scrambled, {{2, 2, 'c'}, {3, 2, 'a'}, {4, 2, 't'}, {4, 3, 't'}});
        QCOMPARE(WordSearch::select(board, placement), QByteArray());
    }

    void bentWordsCountOnlyWhenScrambled()
    {
        // c-a-t only as a bend: (2,2) (3,2) (3,3).
        const QList<std::tuple<int, int, char>> bent = {{2, 2, 'c'}, {3, 2, 'a'}, {3, 3, 't'}};
        QCOMPARE(WordSearch::find(handMade("cat", false, bent)), WordSearch::Placement());
        const WordSearch::Placement found = WordSearch::find(handMade("cat", true, bent));
        QCOMPARE(found, (WordSearch::Placement{{2, 2}, {3, 2}, {3, 3}}));
        QCOMPARE(WordSearch::select(handMade("cat", true, bent), found), QByteArray("+2+2+3+2+3+3"));
    }

    void aRepeatedLetterNeedsTilesOfItsOwn()
    {
        // "noon" over three o's that touch one n: the only chain takes the
        // o's at (4,4) and (5,4) and the second n at (6,4).
        const QList<std::tuple<int, int, char>> tiles = {{3, 4, 'n'}, {4, 4, 'o'}, {5, 4, 'o'}, {6, 4, 'n'}};
        const WordSearch::Placement found = WordSearch::find(handMade("noon", true, tiles));
        QCOMPARE(found.size(), 4);
        QCOMPARE(QSet<QPoint>(found.begin(), found.end()).size(), 4);
        // One n and one o do not make it.
        QCOMPARE(WordSearch::find(handMade("noon", true, {{3, 4, 'n'}, {4, 4, 'o'}})), WordSearch::Placement());
    }

    void aWordRunsAnyOfTheEightWays_data()
    {
        QTest::addColumn<int>("direction");
        for (int d = 1; d <= 8; ++d)
            QTest::addRow("direction %d", d) << d;
    }
    void aWordRunsAnyOfTheEightWays()
    {
        QFETCH(int, direction);
        QList<std::tuple<int, int, char>> tiles;
        const QByteArray word = "dog";
        for (int k = 0; k < 3; ++k)
            tiles.append({5 + k * BoardDirections::columnStep(direction), 5 + k * BoardDirections::rowStep(direction),
                          word[k]});
        const BoardSelection board = handMade(word, false, tiles);
        const WordSearch::Placement found = WordSearch::find(board);
        QCOMPARE(found.value(0), QPoint(5, 5));
        QCOMPARE(found.size(), 3);
        QVERIFY(!WordSearch::select(board, found).isEmpty());
    }
};

ZARVEX_TEST_MAIN(TestWordSearch)
#include "tst_wordsearch.moc"
