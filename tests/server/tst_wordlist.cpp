#include "server/wordlist.h"
#include "support/strangefiles.h"
#include "support/testmain.h"
#include "support/wordlists.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArrayList list(std::initializer_list<const char *> words)
{
    QByteArrayList out;
    for (const char *w : words)
        out << QByteArray(w);
    return out;
}

// `n` distinct words of `length` letters: "aaa", "aab", ... for length 3.
QByteArray wordsOfLength(int length, int n, char first = 'a')
{
    QByteArray text;
    for (int i = 0; i < n; ++i) {
        QByteArray word(length, first);
        int v = i;
        for (int k = length - 1; k >= 0 && v > 0; --k, v /= 26)
            word[k] = char(first + v % 26);
        text += word + '\n';
    }
    return text;
}


} // namespace

class TestWordList : public QObject
{
    Q_OBJECT

private slots:
    void linesBecomeWords_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArrayList>("words");
        QTest::addColumn<int>("skipped");
        QTest::addColumn<int>("duplicates");

        QTest::newRow("one a line, sorted") << QByteArray("pear\napple\nfig\n") << list({"apple", "fig", "pear"}) << 0 << 0;
        QTest::newRow("no newline at the end") << QByteArray("b\na") << list({"a", "b"}) << 0 << 0;
        QTest::newRow("comments and blanks")
            << QByteArray("# fruit\n\napple\n   \n\t\n  # indented comment\nfig\n#pear\n") << list({"apple", "fig"}) << 0 << 0;
        QTest::newRow("surrounding blanks dropped") << QByteArray("  apple \t\n\tfig\r\n") << list({"apple", "fig"}) << 0 << 0;
        QTest::newRow("CR LF line ends") << QByteArray("pear\r\napple\r\n\r\n") << list({"apple", "pear"}) << 0 << 0;
        QTest::newRow("folded to small letters") << QByteArray("Apple\nFIG\npEaR\n") << list({"apple", "fig", "pear"}) << 0 << 0;
        QTest::newRow("duplicates after folding")
            << QByteArray("cat\nCat\nCAT\ndog\n cat \n") << list({"cat", "dog"}) << 0 << 3;
        QTest::newRow("anything but a to z skipped")
            << QByteArray("don't\nx-ray\nice cream\nr2d2\nok\n") << list({"ok"}) << 4 << 0;
        QTest::newRow("letters beyond a to z skipped")
            << QByteArray("caf\xC3\xA9\n\xC3\x89LAN\nstra\xC3\x9F" "e\nplain\n") << list({"plain"}) << 3 << 0;
        // Unicode folding turns the Kelvin sign into a plain "k".
        QTest::newRow("Unicode folding to plain letters") << QByteArray("\xE2\x84\xAAiss\n") << list({"kiss"}) << 0 << 0;
        QTest::newRow("Unicode blanks around a word") << QByteArray("\xC2\xA0" "apple\xC2\xA0\n\xC2\xA0\n") << list({"apple"}) << 0 << 0;
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBFzebra\napple\n") << list({"apple", "zebra"}) << 0 << 0;
        QTest::newRow("bytes that are no UTF-8") << QByteArray("ab\xFF\xFE" "cd\nok\n") << list({"ok"}) << 1 << 0;
        QTest::newRow("NUL inside a line") << QByteArray("ab\0cd\nok\n", 9) << list({"ok"}) << 1 << 0;
        QTest::newRow("empty file") << QByteArray() << list({}) << 0 << 0;
    }

    void linesBecomeWords()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArrayList, words);
        QFETCH(int, skipped);
        QFETCH(int, duplicates);
        const WordList wl = WordList::fromText(text, "test.txt");
        QCOMPARE(wl.words(), words);
        QCOMPARE(wl.count(), words.size());
        QCOMPARE(wl.skipped(), skipped);
        QCOMPARE(wl.duplicates(), duplicates);
    }

    void idsRunInAlphabeticalOrder()
    {
        const WordList wl = WordList::fromText("delta\nalpha\ncharlie\nbravo\n", "x");
        QCOMPARE(wl.word(0), QByteArray("alpha"));
        QCOMPARE(wl.word(3), QByteArray("delta"));
        QCOMPARE(wl.word(4), QByteArray());
        QCOMPARE(wl.word(-1), QByteArray());
    }

    void skippedLinesAreShownWithTheirNumbers()
    {
        const WordList wl = WordList::fromText("# list\nfine\ndon't\n\nx-ray\nok\ncaf\xC3\xA9\nr2d2\n", "mine.txt");
        QCOMPARE(wl.skipped(), 4);
        QCOMPARE(wl.skippedLines().size(), WordList::SkippedSamples);
        QCOMPARE(wl.skippedLines().at(0).line, 3);
        QCOMPARE(wl.skippedLines().at(0).text, QString("don't"));
        QCOMPARE(wl.skippedLines().at(1).line, 5);
        QCOMPARE(wl.skippedLines().at(2).text, QString::fromUtf8("caf\xC3\xA9"));
        const QString summary = wl.summary();
        QVERIFY2(summary.contains("4 lines skipped"), qPrintable(summary));
        QVERIFY2(summary.contains("line 3 \"don't\", line 5 \"x-ray\", line 7 \"caf"), qPrintable(summary));
        QVERIFY2(summary.endsWith(", ...)."), qPrintable(summary));
    }

    void aLongOrOddSkippedLineIsShownSafely()
    {
        const WordList wl = WordList::fromText(QByteArray(200, 'q') + "1\nab\x01" "cd\n", "x");
        QCOMPARE(wl.skippedLines().at(0).text, QString(40, 'q') + "...");
        QCOMPARE(wl.skippedLines().at(1).text, QString("ab?cd"));
    }

    void usabilityPerGameType_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("straight");
        QTest::addColumn<bool>("scrambled");
        QTest::addColumn<bool>("straightOnly");
        QTest::addColumn<bool>("scrambledOnly");
        QTest::addColumn<bool>("usable");

        // 3 to 8 letters for STRAIGHT, 5 to 10 for SCRAMBLED, and with only
        // letters of the word also 6 to 10.
        QTest::newRow("ten of 3 letters") << wordsOfLength(3, 10) << true << false << false << false << true;
        QTest::newRow("nine of 3 letters") << wordsOfLength(3, 9) << false << false << false << false << false;
        QTest::newRow("ten of 9 letters") << wordsOfLength(9, 10) << false << true << false << true << true;
        QTest::newRow("ten of 5 letters") << wordsOfLength(5, 10) << true << true << false << false << true;
        QTest::newRow("ten of 6 letters") << wordsOfLength(6, 10) << true << true << true << true << true;
        QTest::newRow("five of 4 and five of 8") << wordsOfLength(4, 5) + wordsOfLength(8, 5)
                                                 << true << false << false << false << true;
        QTest::newRow("nine of 5 and nine of 11") << wordsOfLength(5, 9) + wordsOfLength(11, 9)
                                                  << false << false << false << false << false;
        QTest::newRow("only short and long words") << wordsOfLength(2, 50) + wordsOfLength(11, 50)
                                                   << false << false << false << false << false;
        QTest::newRow("duplicates do not count") << wordsOfLength(5, 9) + wordsOfLength(5, 9)
                                                 << false << false << false << false << false;
    }

    void usabilityPerGameType()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, straight);
        QFETCH(bool, scrambled);
        QFETCH(bool, straightOnly);
        QFETCH(bool, scrambledOnly);
        QFETCH(bool, usable);
        const WordList wl = WordList::fromText(text, "list.txt");
        QCOMPARE(wl.serves(false, false), straight);
        QCOMPARE(wl.serves(true, false), scrambled);
        QCOMPARE(wl.serves(false, true), straightOnly);
        QCOMPARE(wl.serves(true, true), scrambledOnly);
        QCOMPARE(wl.usable(), usable);
        QCOMPARE(wl.refusal().isEmpty(), usable);
        QCOMPARE(wl.shortfall(false, false).isEmpty(), straight);
    }

    void countsByLength()
    {
        const WordList wl = WordList::fromText(wordsOfLength(3, 4) + wordsOfLength(7, 6) + wordsOfLength(10, 2)
                                                   + wordsOfLength(40, 3),
                                               "x");
        QCOMPARE(wl.count(), 15);
        QCOMPARE(wl.countBetween(3, 8), 10);
        QCOMPARE(wl.countBetween(5, 10), 8);
        QCOMPARE(wl.countBetween(11, 100), 3);
        QCOMPARE(wl.countBetween(0, 2), 0);
    }

    void theHostIsToldWhatIsMissing()
    {
        const WordList wl = WordList::fromText(wordsOfLength(4, 12) + "solitaire\n\xC3\xA9t\xC3\xA9\n", "class.txt");
        QCOMPARE(wl.shortfall(true, false), QString("class.txt has only 1 word of 5 to 10 letters"));
        QCOMPARE(wl.shortfall(false, true), QString("class.txt has only 1 word of 6 to 10 letters"));
        QCOMPARE(wl.shortfall(false, false), QString());
        QCOMPARE(WordList::fromText(wordsOfLength(3, 12), "a").shortfall(true, false),
                 QString("a has no words of 5 to 10 letters"));
        QCOMPARE(wl.summary(), QString("class.txt: 13 words, 12 of 3 to 8 letters, 1 of 5 to 10 letters; "
                                       "1 line skipped for letters outside a to z (line 14 \"\xC3\xA9t\xC3\xA9\")."));

        const WordList poor = WordList::fromText("cat\ncat\ndog\n", "poor.txt");
        const QString refusal = poor.refusal();
        QVERIFY2(refusal.startsWith("The word list poor.txt cannot be used: a game needs at least 10 words of 3 to 8 "
                                    "letters or 10 of 5 to 10 letters."),
                 qPrintable(refusal));
        QVERIFY2(refusal.contains("poor.txt: 2 words, 2 of 3 to 8 letters, 0 of 5 to 10 letters; 1 duplicate dropped."),
                 qPrintable(refusal));
    }

    void filesThatCannotBeRead_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing.txt" << "there is no such file.";
        QTest::newRow("folder") << "folder" << "it is a folder.";
        QTest::newRow("unreadable") << "locked.txt" << "Permission denied.";
        QTest::newRow("too large") << "huge.txt" << "it is larger than 32 MB.";
        QTest::newRow("endless device") << "zero.txt" << "it is no plain file.";
        QTest::newRow("pipe without a writer") << "pipe.txt" << "it is no plain file.";
    }

    void filesThatCannotBeRead()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QDir(dir.path()).mkdir("folder");
        const QString locked = writeTestFile(dir, "locked.txt", wordsOfLength(5, 20));
        QFile::setPermissions(locked, QFileDevice::Permissions());
        if (name == "locked.txt" && QFile(locked).open(QIODevice::ReadOnly))
            QSKIP("this user reads files without read permission");
        QFile huge(dir.filePath("huge.txt"));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(WordList::MaxFileBytes + 1));
        huge.close();
        QVERIFY(makeStrangeFile("device", dir.filePath("zero.txt")));
        QVERIFY(makeStrangeFile("pipe", dir.filePath("pipe.txt")));

        const QString path = dir.filePath(name);
        PipeUnblocker unblocker(dir.filePath("pipe.txt"));
        QElapsedTimer clock;
        clock.start();
        const WordList wl = WordList::readFile(path);
        QVERIFY2(clock.elapsed() < 1000, "waited on the file");
        QCOMPARE(wl.error(), "Cannot read the word list " + path + ": " + reason);
        QCOMPARE(wl.refusal(), wl.error());
        QCOMPARE(wl.count(), 0);
        QVERIFY(!wl.usable());
    }

    void aFileAtTheBoundIsRead()
    {
        QTemporaryDir dir;
        QFile full(dir.filePath("full.txt"));
        QVERIFY(full.open(QIODevice::WriteOnly));
        // Twenty words, then zero bytes to the bound: one more line, skipped.
        full.write(wordsOfLength(5, 20));
        QVERIFY(full.resize(WordList::MaxFileBytes));
        full.close();
        QCOMPARE(full.size(), WordList::MaxFileBytes);
        const WordList wl = WordList::readFile(full.fileName());
        QCOMPARE(wl.error(), QString());
        QCOMPARE(wl.count(), 20);
        QCOMPARE(wl.skipped(), 1);
    }

    void aFileIsReadUnderItsName()
    {
        QTemporaryDir dir;
        const QString path = writeTestFile(dir, "spelling words.txt", "# week 3\nRabbit\nballoon\n" + wordsOfLength(6, 10));
        const WordList wl = WordList::readFile(path);
        QCOMPARE(wl.error(), QString());
        QCOMPARE(wl.name(), QString("spelling words.txt"));
        QCOMPARE(wl.path(), path);
        QCOMPARE(wl.count(), 12);
        QVERIFY(wl.words().contains("rabbit"));
        QVERIFY(wl.usable());
        QCOMPARE(wl.refusal(), QString());
    }

    void aLargeListIsReadWhole()
    {
        // About 2 MB of distinct words of 4 to 7 letters (each number written
        // in base 12 with the letters "a" to "l" as digits), every tenth in
        // capitals and every hundredth given twice.
        QByteArray text;
        int n = 0;
        for (; text.size() < 2 * 1024 * 1024; ++n) {
            QByteArray word = QByteArray::number(n, 12);
            for (char &c : word)
                c = c >= 'a' ? char(c - 'a' + 'k') : char(c - '0' + 'a');
            const int length = 4 + n % 4;
            if (word.size() < length)
                word.prepend(QByteArray(length - word.size(), 'a'));
            if (n % 10 == 0)
                word = word.toUpper();
            text += word + '\n';
            if (n % 100 == 0)
                text += word.toLower() + '\n';
        }
        const WordList wl = WordList::fromText(text, "big.txt");
        QCOMPARE(wl.skipped(), 0);
        QCOMPARE(wl.count() + wl.duplicates(), text.count('\n'));
        QCOMPARE(wl.duplicates(), (n + 99) / 100);
        const QList<QByteArray> words = wl.words();
        QCOMPARE(words.size(), wl.count());
        QVERIFY(std::is_sorted(words.begin(), words.end()));
        QVERIFY(std::adjacent_find(words.begin(), words.end()) == words.end());
        QCOMPARE(wl.word(0), words.first());
        QCOMPARE(wl.word(wl.count() - 1), words.last());
        QCOMPARE(wl.word(wl.count()), QByteArray());
        QCOMPARE(wl.word(-1), QByteArray());
        QVERIFY(wl.serves(false, false) && wl.serves(true, false));
    }
};

ZARVEX_TEST_MAIN(TestWordList)
#include "tst_wordlist.moc"
