#include "server/dictionary.h"
#include "server/random.h"
#include "support/testmain.h"

#include <QFile>
#include <QMap>
#include <QSet>

// The shipped word list as the program sees it, and the random generator the
// word draw relies on.
class TestDictionary : public QObject
{
    Q_OBJECT

private:
    QList<QByteArray> words;

    static QList<QByteArray> readLines(const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QList<QByteArray> lines;
        for (const QByteArray &line : file.readAll().split('\n')) {
            const QByteArray entry = line.trimmed();
            if (!entry.isEmpty() && !entry.startsWith('#'))
                lines << entry;
        }
        return lines;
    }

private slots:
    void initTestCase()
    {
        for (int id = 0; id < Dictionary::count(); ++id)
            words << Dictionary::GetString(id);
    }

    void theListHoldsItsWordsInAlphabeticalOrder()
    {
        QCOMPARE(Dictionary::count(), 21109);
        QCOMPARE(words.first(), QByteArray("aardvark"));
        QCOMPARE(words.last(), QByteArray("zymase"));
        for (int id = 1; id < words.size(); ++id) {
            if (!(words.at(id - 1) < words.at(id)))
                QFAIL(qPrintable(QString("id %1 \"%2\" does not follow \"%3\"")
                                     .arg(id).arg(words.at(id), words.at(id - 1))));
        }
    }

    void everyWordIsLowerCaseLettersOnly()
    {
        for (const QByteArray &word : std::as_const(words)) {
            const bool letters = !word.isEmpty()
                && std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
            if (!letters)
                QFAIL(qPrintable("not a word of letters a to z: \"" + word + "\""));
        }
    }

    void wordLengths_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("expected");   // -1: present, count not fixed
        const QMap<int, int> fixed = {{3, 532}, {4, 1751}, {5, 2457}, {6, 3273},
                                      {7, 3433}, {8, 3094}, {9, 2674}, {10, 1816}};
        for (int length = 1; length <= 19; ++length)
            QTest::addRow("%d letters", length) << length << fixed.value(length, -1);
        QTest::addRow("20 letters") << 20 << 0;
    }

    void wordLengths()
    {
        QFETCH(int, length);
        QFETCH(int, expected);
        const int found = int(std::count_if(words.begin(), words.end(),
                                            [length](const QByteArray &w) { return w.size() == length; }));
        if (expected < 0)
            QVERIFY2(found > 0, "every length from 1 to 19 is present");
        else
            QCOMPARE(found, expected);
    }

    void idsOutsideTheListGiveNoWord_data()
    {
        QTest::addColumn<int>("id");
        QTest::newRow("negative") << -1;
        QTest::newRow("one past the last") << 21109;
        QTest::newRow("far out") << 1000000;
    }

    void idsOutsideTheListGiveNoWord()
    {
        QFETCH(int, id);
        QVERIFY(Dictionary::GetString(id).isEmpty());
    }

    void theBuiltInListIsTheCommittedFile()
    {
        QCOMPARE(readLines(ZARVEX_SOURCE_DIR "/resources/dictionary.txt"), words);
    }

    void noWordIsOnTheBlocklist()
    {
        const QList<QByteArray> entries = readLines(ZARVEX_SOURCE_DIR "/tools/dictionary_blocklist.txt");
        QVERIFY(entries.size() > 50);
        const QSet<QByteArray> list(words.begin(), words.end());
        for (const QByteArray &entry : entries) {
            if (entry.endsWith('*')) {
                const QByteArray prefix = entry.chopped(1);
                for (const QByteArray &word : std::as_const(words))
                    QVERIFY2(!word.startsWith(prefix), word.constData());
            } else {
                QVERIFY2(!list.contains(entry), entry.constData());
            }
        }
    }

    void uniformDrawsStayInRangeAndReachEveryValue_data()
    {
        QTest::addColumn<int>("n");
        QTest::newRow("one") << 1;
        QTest::newRow("two") << 2;
        QTest::newRow("eight") << 8;
        QTest::newRow("dictionary ids") << 21107;
    }

    void uniformDrawsStayInRangeAndReachEveryValue()
    {
        QFETCH(int, n);
        Random::seed(7);
        const int draws = qMin(n, 100) * 200;
        QSet<int> seen;
        for (int i = 0; i < draws; ++i) {
            const int value = Random::uniform(n);
            QVERIFY(value >= 0 && value < n);
            seen << value;
        }
        if (n <= 100)
            QCOMPARE(seen.size(), n);
        else
            QVERIFY(seen.size() > draws / 2);
    }

    void uniformOfNothingIsZero()
    {
        for (int n : {0, -1, -100})
            QCOMPARE(Random::uniform(n), 0);
    }

    void seedingRepeatsTheDraws()
    {
        const auto drawSome = [] {
            QList<int> values;
            for (int i = 0; i < 50; ++i)
                values << Random::uniform(1000);
            return values;
        };
        Random::seed(1234);
        const QList<int> first = drawSome();
        Random::seed(1234);
        QCOMPARE(drawSome(), first);
        Random::seed(1235);
        QVERIFY(drawSome() != first);
    }
};

ZARVEX_TEST_MAIN(TestDictionary)
#include "tst_dictionary.moc"
