#include "server/board.h"
#include "protocol/boarddirections.h"
#include "server/random.h"
#include "shell/errorreport.h"
#include "support/testmain.h"

#include <QSet>

namespace {

// The numbers of a "+a+b+c..." text.
QList<int> numbers(const QByteArray &text)
{
    QList<int> values;
    const QList<QByteArray> fields = text.split('+');
    for (int i = 1; i < fields.size(); ++i)
        values << fields.at(i).toInt();
    return values;
}

struct Tile
{
    int column;
    int row;
};

QList<Tile> positions(const Board &board)
{
    const QList<int> values = numbers(board.wordpositions());
    QList<Tile> tiles;
    for (int i = 0; i + 1 < values.size(); i += 2)
        tiles.append({values.at(i), values.at(i + 1)});
    return tiles;
}

QString where(const Board &board)
{
    return QString(" (word \"%1\", positions %2)")
        .arg(QString::fromLatin1(board.word()), QString::fromLatin1(board.wordpositions()));
}

// What every finished board must show, whatever the game type: all 90 tiles
// in the board text column by column, the word's letters and text, and the
// word's tiles spelling it. Answers the first fault, or an empty text.
QString boardFault(const Board &board)
{
    const QList<int> triples = numbers(board.boardText());
    if (triples.size() != 3 * Board::Columns * Board::Rows)
        return QString("board text holds %1 numbers").arg(triples.size());
    for (int i = 0; i < Board::Columns * Board::Rows; ++i) {
        const int column = i / Board::Rows + 1;
        const int row = i % Board::Rows + 1;
        const int code = triples.at(3 * i + 2);
        if (triples.at(3 * i) != column || triples.at(3 * i + 1) != row)
            return QString("triple %1 is not tile (%2, %3)").arg(i).arg(column).arg(row);
        if (code < 1 || code > 26 || code != board.tile(column, row))
            return QString("tile (%1, %2) reads %3").arg(column).arg(row).arg(code);
    }

    QByteArray wordtext;
    for (int k = 1; k <= Board::MaxWordLength; ++k) {
        const int expected = k <= board.wordLength() ? board.word().at(k - 1) - 'a' + 1 : 0;
        if (board.wordLetter(k) != expected)
            return QString("letter %1 has code %2").arg(k).arg(board.wordLetter(k)) + where(board);
        if (expected)
            wordtext += "+" + QByteArray::number(k) + "+" + QByteArray::number(expected);
    }
    if (board.wordtext() != wordtext)
        return "word text " + QString::fromLatin1(board.wordtext()) + where(board);

    const QList<Tile> tiles = positions(board);
    if (tiles.size() != board.wordLength())
        return "wrong number of positions" + where(board);
    QSet<int> seen;
    for (int k = 1; k <= tiles.size(); ++k) {
        const Tile &t = tiles.at(k - 1);
        if (!Board::onBoard(t.column, t.row) || board.tile(t.column, t.row) != board.wordLetter(k))
            return QString("letter %1 is not at its position").arg(k) + where(board);
        seen << t.column * 100 + t.row;
    }
    if (seen.size() != tiles.size())
        return "the word uses a tile twice" + where(board);
    return QString();
}

// The direction code of a straight word, 0 when its tiles are no straight line.
int straightDirection(const QList<Tile> &tiles)
{
    if (tiles.size() < 2)
        return 0;
    const int dc = tiles.at(1).column - tiles.at(0).column;
    const int dr = tiles.at(1).row - tiles.at(0).row;
    for (int k = 2; k < tiles.size(); ++k) {
        if (tiles.at(k).column - tiles.at(k - 1).column != dc || tiles.at(k).row - tiles.at(k - 1).row != dr)
            return 0;
    }
    for (int d = 1; d <= 8; ++d) {
        if (BoardDirections::columnStep(d) == dc && BoardDirections::rowStep(d) == dr)
            return d;
    }
    return 0;
}

// The ranges a straight word keeps to. Answers the first fault.
QString straightFault(const Board &board, int *directionSeen = nullptr)
{
    const QList<Tile> tiles = positions(board);
    const int length = int(tiles.size());
    const int direction = straightDirection(tiles);
    if (direction == 0)
        return "not a straight line" + where(board);
    if (directionSeen)
        *directionSeen = direction;
    const bool across = BoardDirections::columnStep(direction) != 0;
    const bool upDown = BoardDirections::rowStep(direction) != 0;
    const auto touches = [&tiles](auto edge) { return std::any_of(tiles.begin(), tiles.end(), edge); };

    if (length == 10 && (upDown || tiles.first().column != (direction == 1 ? 1 : 10)))
        return "a 10-letter word must fill a row" + where(board);
    if (length < 10 && across && touches([](const Tile &t) { return t.column == 10; }))
        return "reaches column 10" + where(board);
    if (length <= 8 && upDown && touches([](const Tile &t) { return t.row == 9; }))
        return "reaches row 9" + where(board);
    if (length == 9 && upDown) {
        const Tile &a = tiles.first();
        const Tile &b = tiles.last();
        const bool column = !across && qMin(a.row, b.row) == 1 && qMax(a.row, b.row) == 9;
        const bool corners = across && qMin(a.column, b.column) == 1 && qMax(a.column, b.column) == 9
            && qMin(a.row, b.row) == 1 && qMax(a.row, b.row) == 9;
        if (!column && !corners)
            return "a 9-letter word must span the rows" + where(board);
    }
    return QString();
}

QString scrambledFault(const Board &board)
{
    const QList<Tile> tiles = positions(board);
    for (int k = 1; k < tiles.size(); ++k) {
        const int dc = qAbs(tiles.at(k).column - tiles.at(k - 1).column);
        const int dr = qAbs(tiles.at(k).row - tiles.at(k - 1).row);
        if (qMax(dc, dr) != 1)
            return QString("letter %1 does not touch the one before").arg(k + 1) + where(board);
    }
    return QString();
}

QString onlyLettersFault(const Board &board)
{
    for (int column = 1; column <= Board::Columns; ++column) {
        for (int row = 1; row <= Board::Rows; ++row) {
            const char letter = char('a' + board.tile(column, row) - 1);
            if (!board.word().contains(letter))
                return QString("tile (%1, %2) holds %3").arg(column).arg(row).arg(letter) + where(board);
        }
    }
    return QString();
}

} // namespace

class TestBoard : public QObject
{
    Q_OBJECT

private slots:
    void randomBoards_data()
    {
        QTest::addColumn<bool>("scrambled");
        QTest::addColumn<bool>("onlyletters");
        QTest::addColumn<int>("shortest");
        QTest::addColumn<int>("longest");
        QTest::newRow("straight") << false << false << 3 << 8;
        QTest::newRow("straight, only letters") << false << true << 6 << 10;
        QTest::newRow("scrambled") << true << false << 5 << 10;
        QTest::newRow("scrambled, only letters") << true << true << 6 << 10;
    }

    void randomBoards()
    {
        QFETCH(bool, scrambled);
        QFETCH(bool, onlyletters);
        QFETCH(int, shortest);
        QFETCH(int, longest);
        Random::seed(20240 + 2 * scrambled + onlyletters);
        Board board;
        board.setScrambled(scrambled);
        board.setOnlyLetters(onlyletters);
        QSet<int> lengths;
        QSet<int> directions;
        for (int round = 1; round <= 2500; ++round) {
            board.createboard();
            QString fault = boardFault(board);
            if (fault.isEmpty() && scrambled)
                fault = scrambledFault(board);
            int direction = 0;
            if (fault.isEmpty() && !scrambled)
                fault = straightFault(board, &direction);
            if (fault.isEmpty() && onlyletters)
                fault = onlyLettersFault(board);
            QVERIFY2(fault.isEmpty(), qPrintable(QString("board %1: %2").arg(round).arg(fault)));
            QVERIFY2(board.wordLength() >= shortest && board.wordLength() <= longest, board.word().constData());
            lengths << board.wordLength();
            directions << direction;
        }
        // Every length of the range comes up, and straight words run every way.
        QCOMPARE(lengths.size(), longest - shortest + 1);
        if (!scrambled)
            QCOMPARE(directions.size(), 8);
    }

    void straightWordsKeepTheirRanges_data()
    {
        QTest::addColumn<QByteArray>("word");
        for (const char *word : {"cat", "tree", "zebra", "barrel", "octopus", "aardvark", "dinosaurs", "chandelier"})
            QTest::newRow(word) << QByteArray(word);
    }

    void straightWordsKeepTheirRanges()
    {
        QFETCH(QByteArray, word);
        Random::seed(uint(word.size()));
        Board board;
        QSet<int> directions;
        for (int i = 0; i < 1000; ++i) {
            QVERIFY(board.createboard(word));
            int direction = 0;
            QString fault = boardFault(board);
            if (fault.isEmpty())
                fault = straightFault(board, &direction);
            QVERIFY2(fault.isEmpty(), qPrintable(fault));
            directions << direction;
        }
        // A 10-letter word only lies in a row, both ways; shorter ones run every way.
        QCOMPARE(directions.size(), word.size() == 10 ? 2 : 8);
    }

    void placementFollowsTheDirectionTable_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<QByteArray>("positions");
        QTest::newRow("1 right") << 1 << QByteArray("+6+5+7+5+8+5");
        QTest::newRow("2 left") << 2 << QByteArray("+4+5+3+5+2+5");
        QTest::newRow("3 down") << 3 << QByteArray("+5+6+5+7+5+8");
        QTest::newRow("4 up") << 4 << QByteArray("+5+4+5+3+5+2");
        QTest::newRow("5 down-right") << 5 << QByteArray("+6+6+7+7+8+8");
        QTest::newRow("6 up-right") << 6 << QByteArray("+6+4+7+3+8+2");
        QTest::newRow("7 down-left") << 7 << QByteArray("+4+6+3+7+2+8");
        QTest::newRow("8 up-left") << 8 << QByteArray("+4+4+3+3+2+2");
    }

    void placementFollowsTheDirectionTable()
    {
        QFETCH(int, direction);
        QFETCH(QByteArray, positions);
        Board board;
        QCOMPARE(board.placeletter("dog", 5, 5, direction), QByteArray("+1+4+2+15+3+7"));
        QCOMPARE(board.wordpositions(), positions);
        const QList<int> p = numbers(positions);
        QCOMPARE(board.tile(p[0], p[1]), 4);
        QCOMPARE(board.tile(p[4], p[5]), 7);
    }

    void catGivesItsWordText_data()
    {
        QTest::addColumn<bool>("scrambled");
        QTest::newRow("straight") << false;
        QTest::newRow("scrambled") << true;
    }

    void catGivesItsWordText()
    {
        QFETCH(bool, scrambled);
        Random::seed(3);
        Board board;
        board.setScrambled(scrambled);
        QVERIFY(board.createboard("cat"));
        QCOMPARE(board.wordtext(), QByteArray("+1+3+2+1+3+20"));
        QCOMPARE(board.thewordMessage(), QByteArray("CMD_theword+1+3+2+1+3+20\xff"));
        QCOMPARE(board.loadboardMessage(12), "CMD_loadboard+12" + board.boardText() + "\xff");
        QVERIFY(board.loadboardMessage(12).startsWith("CMD_loadboard+12+1+1+"));
        QCOMPARE(boardFault(board), QString());
    }

    void lettersOutsideAToZAreReportedAndGoOnAsEmptyTiles()
    {
        QStringList reports;
        const ErrorReport::Sink previous =
            ErrorReport::setSink([&reports](const QString &text) { reports << text; });
        Random::seed(5);
        Board board;
        QVERIFY(board.createboard("c-t"));
        ErrorReport::setSink(previous);

        QCOMPARE(reports, QStringList{"error creating word"});
        QCOMPARE(board.wordtext(), QByteArray("+1+3+2+0+3+20"));
        QCOMPARE(board.wordLetter(2), 0);
        // The fill covers the empty tile like any other.
        const QList<Tile> tiles = positions(board);
        QCOMPARE(tiles.size(), 3);
        QVERIFY(board.tile(tiles[1].column, tiles[1].row) >= 1);
        QCOMPARE(numbers(board.boardText()).size(), 270);
    }

    void convertToNum_data()
    {
        QTest::addColumn<char>("letter");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("reported");
        QTest::newRow("a") << 'a' << 1 << false;
        QTest::newRow("m") << 'm' << 13 << false;
        QTest::newRow("z") << 'z' << 26 << false;
        QTest::newRow("capital") << 'A' << 0 << true;
        QTest::newRow("apostrophe") << '\'' << 0 << true;
        QTest::newRow("high byte") << '\xe9' << 0 << true;
    }

    void convertToNum()
    {
        QFETCH(char, letter);
        QFETCH(int, code);
        QFETCH(bool, reported);
        int reports = 0;
        const ErrorReport::Sink previous = ErrorReport::setSink([&reports](const QString &) { ++reports; });
        QCOMPARE(Board::converttonum(letter), code);
        ErrorReport::setSink(previous);
        QCOMPARE(reports, reported ? 1 : 0);
    }

    void wordsTheRoundCannotHoldAreRefused()
    {
        Random::seed(9);
        Board board;
        QVERIFY(board.createboard("tree"));
        const QByteArray before = board.boardText();
        QVERIFY(!board.createboard(""));
        QVERIFY(!board.createboard("kaleidoscope"));
        QCOMPARE(board.boardText(), before);
        QCOMPARE(board.word(), QByteArray("tree"));
        QVERIFY(board.setwordscram("kaleidoscope").isEmpty());
        QVERIFY(board.setwordstraight("kaleidoscope").isEmpty());
    }

    void theSameSeedBuildsTheSameBoard()
    {
        const auto build = [](quint32 seed) {
            Random::seed(seed);
            Board board;
            board.setScrambled(true);
            board.createboard();
            return board.boardText() + board.wordtext() + board.wordpositions();
        };
        QCOMPARE(build(77), build(77));
        QVERIFY(build(77) != build(78));
    }
};

ZARVEX_TEST_MAIN(TestBoard)
#include "tst_board.moc"
