#include "server/board.h"
#include "server/random.h"
#include "server/wordlist.h"
#include "support/testmain.h"

#include <QSet>

namespace {

std::shared_ptr<const WordList> listOf(const QByteArray &text)
{
    return std::make_shared<const WordList>(WordList::fromText(text, "test.txt"));
}

// Twelve words of 6 to 8 letters: every game type draws all of them.
const QByteArray Animals = "anchovy\nbadger\ncougar\ndonkey\nferret\ngiraffe\nhamster\n"
                           "lobster\nmarmoset\npelican\nreindeer\nzorilla\n";
// Ten of 3 to 8 letters, first and last among them, and two longer ones.
const QByteArray Short = "ant\nbee\ncrocodile\ndeer\neel\nfrog\ngiraffe\nhippopotamus\n"
                         "ibis\nkangaroo\nkoala\nyak\n";
// Ten of 5 to 10 letters, first and last among them, a shorter and a longer one.
const QByteArray Long = "badger\ncat\ndolphin\neagle\nferret\ngazelle\nhedgehog\njackal\n"
                        "lobster\norangutans\nsalamanders\nwolverine\n";

} // namespace

class TestWordDraw : public QObject
{
    Q_OBJECT

private slots:
    void everyWordOfTheListWithinBoundsIsDrawn_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("scrambled");
        QTest::addColumn<bool>("onlyletters");
        QTest::addColumn<int>("drawable");
        QTest::newRow("straight") << Animals << false << false << 12;
        QTest::newRow("straight, short words") << Short << false << false << 10;
        QTest::newRow("scrambled, long words") << Long << true << false << 10;
        QTest::newRow("straight, only letters") << Animals << false << true << 12;
        QTest::newRow("scrambled, only letters") << Animals << true << true << 12;
    }

    // 2,000 boards each, 10,000 in all.
    void everyWordOfTheListWithinBoundsIsDrawn()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, scrambled);
        QFETCH(bool, onlyletters);
        QFETCH(int, drawable);
        const auto list = listOf(text);
        QCOMPARE(list->count(), 12);
        QVERIFY(list->serves(scrambled, onlyletters));
        Random::seed(20 + 2 * scrambled + onlyletters);
        Board board;
        board.setScrambled(scrambled);
        board.setOnlyLetters(onlyletters);
        board.setWordList(list);
        const int shortest = onlyletters ? Board::OnlyLettersShortest : Board::shortestWord(scrambled);
        const int longest = onlyletters ? Board::OnlyLettersLongest : Board::longestWord(scrambled);

        QHash<QByteArray, int> drawn;
        for (int round = 0; round < 2000; ++round) {
            board.createboard();
            const QByteArray word = board.word();
            QVERIFY2(list->words().contains(word), word.constData());
            QVERIFY2(word.size() >= shortest && word.size() <= longest, word.constData());
            ++drawn[word];
        }
        QCOMPARE(drawn.size(), drawable);
        // The first and last entries come up like any other.
        QVERIFY(drawn.value(list->word(0)) > 0);
        QVERIFY(drawn.value(list->word(list->count() - 1)) > 0);
        // No word takes a share far from its own.
        for (auto it = drawn.cbegin(); it != drawn.cend(); ++it)
            QVERIFY2(it.value() > 2000 / drawable / 2, it.key().constData());
    }

    void aListThatCannotServeTheGameIsPassedOver_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("scrambled");
        QTest::addColumn<bool>("onlyletters");
        QTest::newRow("short words, scrambled") << Short << true << false;
        QTest::newRow("long words, straight only letters") << Long << false << true;
        QTest::newRow("nine words") << QByteArray("apple\nbanana\ncherry\ndamson\nelder\nfig\ngrape\nlemon\nmango\n") << false << false;
    }

    void aListThatCannotServeTheGameIsPassedOver()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, scrambled);
        QFETCH(bool, onlyletters);
        const auto list = listOf(text);
        QVERIFY(!list->serves(scrambled, onlyletters));
        Random::seed(11);
        Board board;
        board.setScrambled(scrambled);
        board.setOnlyLetters(onlyletters);
        board.setWordList(list);
        int fromList = 0;
        for (int round = 0; round < 200; ++round) {
            const QByteArray word = board.drawWord();
            const int shortest = onlyletters ? Board::OnlyLettersShortest : Board::shortestWord(scrambled);
            const int longest = onlyletters ? Board::OnlyLettersLongest : Board::longestWord(scrambled);
            QVERIFY2(word.size() >= shortest && word.size() <= longest, word.constData());
            fromList += list->words().contains(word);
        }
        // The built-in list's 21,109 words hold a few of these, rarely drawn.
        QVERIFY2(fromList < 5, qPrintable(QString::number(fromList)));
    }

    void withoutAListTheBuiltInOneIsUsed()
    {
        Random::seed(5);
        Board board;
        board.setWordList(listOf(Animals));
        board.setWordList(nullptr);
        QCOMPARE(board.wordList(), nullptr);
        QSet<QByteArray> drawn;
        for (int round = 0; round < 200; ++round)
            drawn << board.drawWord();
        // Far more words than any test list holds.
        QVERIFY(drawn.size() > 150);
    }
};

ZARVEX_TEST_MAIN(TestWordDraw)
#include "tst_worddraw.moc"
