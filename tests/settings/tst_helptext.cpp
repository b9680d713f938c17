#include "settings/aboutlink.h"
#include "settings/credits.h"
#include "settings/helptopics.h"
#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

// The help pages, the credits and the about window's link, without windows.
class TestHelpText : public QObject
{
    Q_OBJECT

private slots:
    void topicsComeInButtonOrderWithTheirTagsAndTitles_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("tag");
        QTest::addColumn<QString>("title");
        QTest::newRow("overview") << 0 << "Overview" << 1 << "Overview";
        QTest::newRow("connecting") << 1 << "Connecting" << 2 << "Connecting";
        QTest::newRow("game play") << 2 << "Game Play" << 3 << "Game Play";
        QTest::newRow("scoring") << 3 << "Scoring" << 4 << "Scoring";
        QTest::newRow("documentation") << 4 << "Documentation" << 5 << "History";
        QTest::newRow("license") << 5 << "License" << 6 << "License";
        QTest::newRow("lobby") << 6 << "The Lobby" << 11 << "The Lobby";
    }
    void topicsComeInButtonOrderWithTheirTagsAndTitles()
    {
        QFETCH(int, index);
        QFETCH(QString, button);
        QFETCH(int, tag);
        QFETCH(QString, title);
        QCOMPARE(HelpTopics::all().size(), 7);
        const HelpTopic &topic = HelpTopics::all().at(index);
        QCOMPARE(topic.button, button);
        QCOMPARE(topic.tag, tag);
        QCOMPARE(topic.title(), title);
        QCOMPARE(topic.pageName(), QStringLiteral("memo%1").arg(tag));
        QCOMPARE(HelpTopics::byTag(tag), &topic);
    }

    void anUnknownTagHasNoTopic()
    {
        for (int tag : {0, 7, 8, 9, 10, 12, -1})
            QVERIFY2(!HelpTopics::byTag(tag), qPrintable(QString::number(tag)));
    }

    void givenTextsStandAsWritten_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QStringList>("paragraphs");
        QTest::newRow("overview") << 1 << QStringList{
            "I wanted to create a new word game and this is what I came up with. I hope you enjoy it!"};
        QTest::newRow("game play") << 3 << QStringList{
            "All players are shown a board with a mixture of letters. They are also given a word "
            "that can be found on the board. All the letters of the word will be connecting.",
            "Click on the letters of the word in order on the board to find it. After you find a "
            "word, you are given points equal to the time left on the clock. So the quicker you "
            "find the word, the more points you receive.",
            "If you pick a wrong letter, clear your selection by clicking the \"Clear Word\" "
            "button or simply right clicking on the board.",
            "The first player to reach the play to score will win the game."};
        QTest::newRow("scoring") << 4 << QStringList{
            "When you find the word you receive points equal to the time left on the clock.",
            "The first person to reach the play to score will win the game."};
    }
    void givenTextsStandAsWritten()
    {
        QFETCH(int, tag);
        QFETCH(QStringList, paragraphs);
        const HelpTopic *topic = HelpTopics::byTag(tag);
        QVERIFY(topic);
        QStringList body = topic->lines.mid(1);
        body.removeAll(QString());
        QCOMPARE(body, paragraphs);
        // The title stands alone, an empty line below it.
        QCOMPARE(topic->lines.value(1), QString());
    }

    // The pages we write ourselves tell the player what this program does.
    void ourPagesNameWhatAPlayerNeeds_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<QStringList>("needles");
        QTest::newRow("connecting") << 2 << QStringList{"7772", "zarvex-server", "true", "Add Computer Player", "disconnects, all game play ends"};
        QTest::newRow("history") << 5 << QStringList{"1.0.5.4", "1.0.5"};
        QTest::newRow("license") << 6 << QStringList{"MIT License", "SCOWL", "dictionary-copyright.txt"};
        QTest::newRow("lobby") << 11 << QStringList{"9001", "three arguments"};
    }
    void ourPagesNameWhatAPlayerNeeds()
    {
        QFETCH(int, tag);
        QFETCH(QStringList, needles);
        const QString text = HelpTopics::byTag(tag)->text();
        for (const QString &needle : needles)
            QVERIFY2(text.contains(needle), qPrintable(needle));
    }

    void yearTextIsTheYearInFourDigits_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("year");
        QTest::newRow("2031") << QDate(2031, 1, 1) << "2031";
        QTest::newRow("last day") << QDate(2026, 12, 31) << "2026";
        QTest::newRow("early") << QDate(999, 5, 5) << "0999";
        QTest::newRow("no clock") << QDate() << "2007";
    }
    void yearTextIsTheYearInFourDigits()
    {
        QFETCH(QDate, today);
        QFETCH(QString, year);
        QCOMPARE(Credits::yearText(today), year);
    }

    void theNoticeEndsInTheDashBeforeTheYear()
    {
        QVERIFY(Credits::notice().endsWith("2007-"));
        QVERIFY(Credits::credit().contains("the Zarvex developers"));
    }

    void aHomePageIsShownWithoutItsSchemeAndOpenedAsItIs_data()
    {
        QTest::addColumn<QString>("homepage");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("url");
        QTest::newRow("https") << "https://zarvex.example.org/" << "zarvex.example.org" << "https://zarvex.example.org/";
        QTest::newRow("path") << "https://example.org/games/zarvex" << "example.org/games/zarvex" << "https://example.org/games/zarvex";
        QTest::newRow("no scheme") << "www.example.org" << "www.example.org" << "http://www.example.org";
        QTest::newRow("blanks") << "  http://example.org  " << "example.org" << "http://example.org";
    }
    void aHomePageIsShownWithoutItsSchemeAndOpenedAsItIs()
    {
        QFETCH(QString, homepage);
        QFETCH(QString, text);
        QFETCH(QString, url);
        const AboutLink link = AboutLink::resolve(homepage, "/nowhere/bin", "../share/doc/zarvex", "/usr/share/doc/zarvex");
        QCOMPARE(link.text, text);
        QCOMPARE(link.url, QUrl(url));
    }

    void withoutAHomePageTheReadmeBesideTheProgramWins()
    {
        QTemporaryDir prefix;
        QVERIFY(QDir(prefix.path()).mkpath("bin"));
        QVERIFY(QDir(prefix.path()).mkpath("share/doc/zarvex"));
        QFile readme(prefix.filePath("share/doc/zarvex/README.md"));
        QVERIFY(readme.open(QIODevice::WriteOnly));
        readme.close();

        const AboutLink link = AboutLink::resolve("", prefix.filePath("bin"), "../share/doc/zarvex", "/usr/share/doc/zarvex");
        QCOMPARE(link.text, prefix.filePath("share/doc/zarvex/README.md"));
        QCOMPARE(link.url, QUrl::fromLocalFile(prefix.filePath("share/doc/zarvex/README.md")));
        QVERIFY(link.url.isLocalFile());
    }

    void withoutAHomePageOrALocalReadmeTheInstalledOneIsNamed()
    {
        QTemporaryDir prefix;
        for (const QString &blank : {QString(), QStringLiteral("   ")}) {
            const AboutLink link = AboutLink::resolve(blank, prefix.path(), "../share/doc/zarvex", "/opt/z/share/doc/zarvex/");
            QCOMPARE(link.text, QString("/opt/z/share/doc/zarvex/README.md"));
            QCOMPARE(link.url, QUrl("file:///opt/z/share/doc/zarvex/README.md"));
        }
    }

    void thisBuildsLinkIsAHomePageOrAReadme()
    {
        const AboutLink link = AboutLink::forThisProgram();
        QVERIFY(link.url.isValid());
        QVERIFY(!link.text.isEmpty());
        if (link.url.isLocalFile())
            QVERIFY(link.text.endsWith("/README.md"));
        else
            QVERIFY(link.url.scheme().startsWith("http"));
    }
};

ZARVEX_TEST_MAIN(TestHelpText)
#include "tst_helptext.moc"
