#include "server/tserver.h"
#include "server/wordlist.h"
#include "server/wordlistchoice.h"
#include "settings/inifile.h"
#include "support/testmain.h"
#include "support/wordlists.h"

#include <QDir>

namespace {

const QByteArray Birds = "finch\nrobin\nwren\nheron\nstork\ncrane\nraven\nmagpie\nswift\nplover\nsnipe\n";

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The host's choice of list, kept in the settings file and handed to the
// server.
class TestWordListChoice : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_settings;
    QString m_birds;

private slots:
    void init()
    {
        m_settings = m_dir.filePath("quorblobby.ini");
        QFile::remove(m_settings);
        m_birds = writeTestFile(m_dir, "birds.txt", Birds);
        QVERIFY(!m_birds.isEmpty());
    }

    void withoutASettingTheBuiltInListServes()
    {
        WordListChoice choice(m_settings);
        QCOMPARE(choice.load(), QString());
        QCOMPARE(choice.list(), nullptr);
        QCOMPARE(choice.description(), QString("Built-in list: 21109 words."));
        QVERIFY(!QFile::exists(m_settings));
    }

    void aChosenListIsUsedStoredAndReadBack()
    {
        TServer server(nullptr, Ticker::Manual);
        WordListChoice choice(m_settings);
        choice.setServer(&server);
        QCOMPARE(choice.choose(m_birds), QString());
        QVERIFY(choice.list());
        QCOMPARE(server.wordList(), choice.list().get());
        QCOMPARE(choice.description(), QString("birds.txt: 11 words, 11 of 3 to 8 letters, 10 of 5 to 10 letters."));
        QCOMPARE(IniFile(m_settings).readString("ZARVEX", "WORDLIST"), m_birds);

        // The next run of the program finds it again.
        TServer later(nullptr, Ticker::Manual);
        WordListChoice next(m_settings);
        QCOMPARE(next.load(), QString());
        next.setServer(&later);
        QVERIFY(later.wordList());
        QCOMPARE(later.wordList()->words(), choice.list()->words());
    }

    void aRefusedListLeavesThePreviousOne_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("why");
        QTest::newRow("missing") << "missing.txt" << "there is no such file.";
        QTest::newRow("too few words") << "few.txt" << "cannot be used";
        QTest::newRow("a folder") << "." << "it is a folder.";
    }

    void aRefusedListLeavesThePreviousOne()
    {
        QFETCH(QString, name);
        QFETCH(QString, why);
        writeTestFile(m_dir, "few.txt", "owl\nemu\n");
        TServer server(nullptr, Ticker::Manual);
        WordListChoice choice(m_settings);
        choice.setServer(&server);
        QCOMPARE(choice.choose(m_birds), QString());
        const QByteArray stored = readAll(m_settings);
        const WordList *before = choice.list().get();

        const QString refusal = choice.choose(m_dir.filePath(name));
        QVERIFY2(refusal.contains(why), qPrintable(refusal));
        QCOMPARE(choice.list().get(), before);
        QCOMPARE(server.wordList(), before);
        QCOMPARE(readAll(m_settings), stored);
    }

    void backToTheBuiltInList()
    {
        TServer server(nullptr, Ticker::Manual);
        WordListChoice choice(m_settings);
        choice.setServer(&server);
        choice.choose(m_birds);
        QCOMPARE(choice.useBuiltIn(), QString());
        QCOMPARE(choice.list(), nullptr);
        QCOMPARE(server.wordList(), nullptr);
        IniFile ini(m_settings);
        QVERIFY(ini.hasKey("Zarvex", "Wordlist"));
        QCOMPARE(ini.readString("Zarvex", "Wordlist", "unset"), QString());
    }

    void aStoredListThatIsGoneFallsBackAndStaysStored()
    {
        IniFile(m_settings).writeString("Zarvex", "Wordlist", m_dir.filePath("gone.txt"));
        TServer server(nullptr, Ticker::Manual);
        WordListChoice choice(m_settings);
        choice.setServer(&server);
        const QString line = choice.load();
        QCOMPARE(line, "Cannot read the word list " + m_dir.filePath("gone.txt")
                           + ": there is no such file. Words come from the built-in list.");
        QCOMPARE(server.wordList(), nullptr);
        QCOMPARE(IniFile(m_settings).readString("Zarvex", "Wordlist"), m_dir.filePath("gone.txt"));

        // Once the file is back, the next start uses it.
        writeTestFile(m_dir, "gone.txt", Birds);
        QCOMPARE(choice.load(), QString());
        QVERIFY(server.wordList());
    }

    void aPathTypedIntoTheFileMayBeRelativeToIt()
    {
        QDir(m_dir.path()).mkdir("lists");
        writeTestFile(m_dir, "lists/mine.txt", Birds);
        IniFile(m_settings).writeString("Zarvex", "Wordlist", "lists/mine.txt");
        WordListChoice choice(m_settings);
        QCOMPARE(choice.load(), QString());
        QVERIFY(choice.list());
        QCOMPARE(choice.list()->path(), m_dir.filePath("lists/mine.txt"));
    }

    // The settings reader drops surrounding blanks and enclosing quotes.
    void awkwardPathsSurviveTheSettingsFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("leading blank") << " birds.txt";
        QTest::newRow("trailing blank") << "birds.txt ";
        QTest::newRow("quoted") << "\"birds\"";
        QTest::newRow("letters beyond ASCII") << QString::fromUtf8("v\xC3\xB6gel.txt");
    }

    void awkwardPathsSurviveTheSettingsFile()
    {
        QFETCH(QString, name);
        const QString path = writeTestFile(m_dir, name, Birds);
        QVERIFY(!path.isEmpty());
        WordListChoice choice(m_settings);
        QCOMPARE(choice.choose(path), QString());
        WordListChoice next(m_settings);
        QCOMPARE(next.load(), QString());
        QVERIFY(next.list());
        QCOMPARE(next.list()->path(), path);
    }

    void aChoiceThatCannotBeStoredStillServes()
    {
        const QString settings = m_dir.filePath("no such folder/quorblobby.ini");
        TServer server(nullptr, Ticker::Manual);
        WordListChoice choice(settings);
        choice.setServer(&server);
        const QString problem = choice.choose(m_birds);
        QVERIFY2(problem.startsWith("Unable to write to "), qPrintable(problem));
        QVERIFY(server.wordList());
    }

    void otherSettingsStayAsTheyWere()
    {
        const QByteArray before = "; my settings\r\n[Zarvex]\r\nTextsize=12\r\n[Other]\r\nWordlist=keep\r\n";
        writeTestFile(m_dir, "quorblobby.ini", before);
        WordListChoice choice(m_settings);
        choice.choose(m_birds);
        QCOMPARE(readAll(m_settings), QByteArray("; my settings\r\n[Zarvex]\r\nTextsize=12\r\nWordlist=")
                                          + m_birds.toUtf8() + "\r\n[Other]\r\nWordlist=keep\r\n");
    }
};

ZARVEX_TEST_MAIN(TestWordListChoice)
#include "tst_wordlistchoice.moc"
