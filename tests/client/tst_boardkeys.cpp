#include "server/board.h"
#include "server/random.h"
#include "support/fakeserver.h"
#include "support/testmain.h"

#include <random>

namespace {

using Letters = QList<std::tuple<int, int, char>>;

// The tiles the server laid the word on.
QList<QPoint> laidTiles(const Board &board)
{
    const QList<QByteArray> fields = board.wordpositions().mid(1).split('+');
    QList<QPoint> tiles;
    for (int i = 0; i + 1 < fields.size(); i += 2)
        tiles << QPoint(fields[i].toInt(), fields[i + 1].toInt());
    return tiles;
}

// How many tiles the selection accepts next that carry the letter of a tile.
int choices(const BoardSelection &board, QPoint tile)
{
    int count = 0;
    for (int c = 1; c <= BoardSelection::columns; ++c)
        for (int r = 1; r <= BoardSelection::rows; ++r)
            count += board.code(c, r) == board.code(tile.x(), tile.y()) && board.accepts(c, r);
    return count;
}

} // namespace

// Playing the board with the keys: the cursor, and typed letters finding
// their tiles. That every click has its keys is played in tst_selection.
class TestBoardKeys : public QObject
{
    Q_OBJECT

private slots:
    void theCursorStepsToTheEdgesAndComesHome()
    {
        BoardCursor cursor;
        QCOMPARE(cursor.tile(), QPoint(1, 1));
        QVERIFY(!cursor.step(2));   // left of the first column
        QVERIFY(!cursor.step(4));
        for (int i = 0; i < 12; ++i)
            cursor.step(1);
        QCOMPARE(cursor.tile(), QPoint(10, 1));
        for (int i = 0; i < 12; ++i)
            cursor.step(3);
        QCOMPARE(cursor.tile(), QPoint(10, 9));
        QVERIFY(!cursor.step(1));
        cursor.step(8);
        QCOMPARE(cursor.tile(), QPoint(9, 8));
        cursor.home();
        QCOMPARE(cursor.tile(), QPoint(1, 1));
        cursor.moveTo(QPoint(11, 3));   // off the board: stays
        QCOMPARE(cursor.tile(), QPoint(1, 1));
    }

    void keysBecomeCommands()
    {
        using C = BoardCursor::Command;
        QCOMPARE(BoardCursor::commandFor(Qt::Key_Up, {}).kind, C::Step);
        QCOMPARE(BoardCursor::commandFor(Qt::Key_Up, {}).direction, 4);
        QCOMPARE(BoardCursor::commandFor(Qt::Key_Left, {}).direction, 2);
        QCOMPARE(BoardCursor::commandFor(Qt::Key_Enter, {}).kind, C::Act);
        QCOMPARE(BoardCursor::commandFor(Qt::Key_Return, QStringLiteral("\r")).kind, C::Act);
        QCOMPARE(BoardCursor::commandFor(Qt::Key_Space, QStringLiteral(" ")).kind, C::Act);
        QCOMPARE(BoardCursor::commandFor(Qt::Key_K, QStringLiteral("K")).letter, 11);
        QCOMPARE(BoardCursor::commandFor(Qt::Key_A, QStringLiteral("a")).letter, 1);
        QCOMPARE(BoardCursor::commandFor(Qt::Key_Z, QStringLiteral("z")).letter, 26);
        QCOMPARE(BoardCursor::commandFor(0, QStringLiteral("é")).kind, C::None);
        QCOMPARE(BoardCursor::commandFor(Qt::Key_1, QStringLiteral("1")).kind, C::None);
        QCOMPARE(BoardCursor::commandFor(Qt::Key_Tab, QStringLiteral("\t")).kind, C::None);
    }

    void everyNewBoardPutsTheCursorOnTheFirstTile()
    {
        ClientUnderTest t(2);
        t.startTurn(boardMessage(1, {}), wordMessage("zz"), false);
        t.walkTo(7, 4);
        QCOMPARE(t.client.cursor().tile(), QPoint(7, 4));
        QCOMPARE(t.client.cursor().description(t.client.board()), QString("Column 7, row 4: Z"));
        t.feed(boardMessage(2, {}));
        QCOMPARE(t.client.cursor().tile(), QPoint(1, 1));
    }

    // Random states of a selection over three letters, so that most tiles
    // are candidates: a tile is acceptable exactly when a click takes it.
    void acceptableTilesAreTheOnesAClickTakes_data()
    {
        QTest::addColumn<bool>("scrambled");
        QTest::newRow("STRAIGHT") << false;
        QTest::newRow("SCRAMBLED") << true;
    }
    void acceptableTilesAreTheOnesAClickTakes()
    {
        QFETCH(bool, scrambled);
        std::mt19937 random(scrambled ? 11 : 7);
        auto below = [&random](int n) { return int(random() % unsigned(n)); };
        for (int trial = 0; trial < 12; ++trial) {
            QByteArray word;
            for (int k = 0, length = 5 + below(4); k < length; ++k)
                word += char('a' + below(3));
            Letters letters;
            for (int c = 1; c <= 10; ++c)
                for (int r = 1; r <= 9; ++r)
                    letters.append({c, r, char('a' + below(3))});
            ClientUnderTest t(2);
            t.startTurn(boardMessage(1, letters), wordMessage(word), scrambled);
            // Clicks straight to the client: nothing here waits for the network.
            auto click = [&t](int c, int r, bool right = false) {
                t.client.paintbox_boardMouseUp((c - 1) * 44 + 20, (r - 1) * 44 + 20, right);
            };
            for (int move = 0; move < 30; ++move) {
                const BoardSelection &board = t.client.board();
                if (board.selectedcount() >= word.size() - 1 || below(5) == 0) {
                    click(board.lastSelected().x(), board.lastSelected().y(), true);
                    continue;
                }
                // Every tile is asked; one that is taken is given back.
                QList<QPoint> candidates;
                for (int c = 1; c <= 10; ++c)
                    for (int r = 1; r <= 9; ++r) {
                        const int before = board.selectedcount();
                        const bool acceptable = board.accepts(c, r);
                        if (acceptable)
                            candidates << QPoint(c, r);
                        click(c, r);
                        QCOMPARE(board.selectedcount() > before, acceptable);
                        if (board.selectedcount() > before)
                            click(c, r, true);
                        QCOMPARE(board.selectedcount(), before);
                    }
                // Then one step on, to one of them.
                if (!candidates.isEmpty()) {
                    const QPoint next = candidates[below(int(candidates.size()))];
                    click(next.x(), next.y());
                }
            }
            t.settle();
            QVERIFY(t.sentWith("CMD_myword").isEmpty());
        }
    }

    void aLetterGoesToTheNearestAcceptableTile_data()
    {
        QTest::addColumn<Letters>("letters");
        QTest::addColumn<QPoint>("chosen");
        // The cursor stands on (5, 5).
        QTest::newRow("its own tile") << Letters{{5, 5, 'a'}, {6, 5, 'a'}} << QPoint(5, 5);
        QTest::newRow("nearer first") << Letters{{7, 5, 'a'}, {4, 4, 'a'}} << QPoint(4, 4);
        QTest::newRow("right before left and down")
            << Letters{{4, 5, 'a'}, {5, 6, 'a'}, {6, 5, 'a'}} << QPoint(6, 5);
        QTest::newRow("left before down") << Letters{{5, 6, 'a'}, {4, 5, 'a'}} << QPoint(4, 5);
        QTest::newRow("down-right before up-left") << Letters{{4, 4, 'a'}, {6, 6, 'a'}} << QPoint(6, 6);
        QTest::newRow("then the column") << Letters{{7, 7, 'a'}, {6, 7, 'a'}} << QPoint(6, 7);
        QTest::newRow("then the row") << Letters{{7, 7, 'a'}, {7, 6, 'a'}} << QPoint(7, 6);
        QTest::newRow("far away") << Letters{{10, 1, 'a'}} << QPoint(10, 1);
    }
    void aLetterGoesToTheNearestAcceptableTile()
    {
        QFETCH(Letters, letters);
        QFETCH(QPoint, chosen);
        ClientUnderTest t(2);
        t.startTurn(boardMessage(1, letters), wordMessage("ab"), false);
        t.walkTo(5, 5);
        t.type("a");
        QCOMPARE(t.client.board().selectedcount(), 1);
        QCOMPARE(t.client.board().lastSelected(), chosen);
        QCOMPARE(t.client.cursor().tile(), chosen);
        QCOMPARE(t.sounds, QStringList({"valid"}));
    }

    void aLetterNoAcceptableTileCarriesChangesNothing()
    {
        ClientUnderTest t(2);
        t.startTurn(boardMessage(1, {{4, 7, 'c'}, {5, 7, 'a'}, {8, 7, 'a'}, {6, 7, 't'}}), wordMessage("cat"), false);
        t.type("a");   // an a is on the board, but the word starts with c
        t.type("x");
        QCOMPARE(t.sounds, QStringList({"invalid", "invalid"}));
        QCOMPARE(t.client.cursor().tile(), QPoint(1, 1));
        t.type("c");
        t.walkTo(8, 7);
        t.sounds.clear();
        t.type("t");   // t is not next
        QCOMPARE(t.sounds, QStringList({"invalid"}));
        QCOMPARE(t.client.board().selectedcount(), 1);
        QCOMPARE(t.client.cursor().tile(), QPoint(8, 7));
        t.type("a");   // the touching a, not the one under the cursor
        QCOMPARE(t.client.board().lastSelected(), QPoint(5, 7));
        t.type("t");
        QCOMPARE(t.sentWith("CMD_myword"), QList<QByteArray>({"CMD_myword+2+4+7+5+7+6+7"}));

        // Not this seat's turn, or just watching: as with the mouse.
        ClientUnderTest other(3);
        other.startTurn(boardMessage(1, {{4, 7, 'c'}}), wordMessage("cat"), false);
        other.feed("CMD_nextplayer+2+");
        other.sounds.clear();
        other.type("c");
        QVERIFY(other.sounds.isEmpty());
        other.feed("CMD_nextplayer+3+");
        other.feed("CMD_justwatching+3+1");
        other.type("c");
        QCOMPARE(other.boxes, QStringList({"You cannot play when you have \"Just Watching\" set."}));
        QCOMPARE(other.client.board().selectedcount(), 0);
    }

    // Generated boards of both types. A player who walks the cursor to each
    // tile and types its letter always finds the word. Typed straight on
    // from its first tile, each letter goes to the first touching tile that
    // carries it: where that is the laid tile every time the word is found
    // where it lies, and wherever the typing gets to the last letter the
    // tiles spell the word, which is all the server asks.
    void typingFindsTheWordOnGeneratedBoards_data()
    {
        QTest::addColumn<bool>("scrambled");
        QTest::newRow("STRAIGHT") << false;
        QTest::newRow("SCRAMBLED") << true;
    }
    void typingFindsTheWordOnGeneratedBoards()
    {
        QFETCH(bool, scrambled);
        int oneWay = 0, found = 0;
        const int boards = 30;
        for (int n = 0; n < boards; ++n) {
            Random::seed(quint32(1000 + n));
            Board board;
            board.setScrambled(scrambled);
            board.createboard();
            const QList<QPoint> tiles = laidTiles(board);
            const QByteArray expected = "CMD_myword+2" + board.wordpositions();
            const QByteArray loadboard = board.loadboardMessage(1).chopped(1);
            const QByteArray theword = board.thewordMessage().chopped(1);

            // The walker also counts the choices a typist will have.
            ClientUnderTest walker(2);
            walker.startTurn(loadboard, theword, scrambled);
            bool single = true;
            for (int k = 0; k < tiles.size(); ++k) {
                single = single && (k == 0 || choices(walker.client.board(), tiles[k]) == 1);
                walker.walkTo(tiles[k].x(), tiles[k].y());
                walker.type(board.word().mid(k, 1));
            }
            QCOMPARE(walker.sentWith("CMD_myword"), QList<QByteArray>({expected}));

            ClientUnderTest typist(2);
            typist.startTurn(loadboard, theword, scrambled);
            typist.walkTo(tiles[0].x(), tiles[0].y());
            typist.type(board.word());
            const QList<QByteArray> sent = typist.sentWith("CMD_myword");
            if (single)
                QCOMPARE(sent, QList<QByteArray>({expected}));
            oneWay += single;
            if (sent.isEmpty())
                continue;
            ++found;
            const QList<QByteArray> fields = sent.first().split('+');
            QCOMPARE(fields.size(), 2 + 2 * tiles.size());
            for (int k = 0; k < tiles.size(); ++k)
                QCOMPARE(board.tile(fields[2 + 2 * k].toInt(), fields[3 + 2 * k].toInt()), board.wordLetter(k + 1));
        }
        qInfo("%d of %d boards had one way to type, %d were found by typing", oneWay, boards, found);
        QVERIFY(oneWay > 0);
        QVERIFY(found >= oneWay && found > boards / 3);
    }
};

ZARVEX_TEST_MAIN(TestBoardKeys)
#include "tst_boardkeys.moc"
