#include "settings/clientsettings.h"
#include "social/colourtext.h"
#include "support/reports.h"
#include "support/testmain.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

class TestClientSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;

    QByteArray defaultsFile() const
    {
        return "[Zarvex]\r\nTextsize=8\r\nTop=3\r\nLeft=3\r\nWidth=772\r\nHeight=535\r\n"
               "Textcolor=clBlack\r\nTiles=\r\nPlaytoscore=100\r\nTimeperturn=20\r\n"
               "Playsounds=true\r\nScrambled=true\r\nOnlyletters=true\r\nTurnsound=0\r\n"
               "ChatterSounds=true\r\n";
    }

private slots:
    void init()
    {
        m_path = m_dir.filePath("quorblobby.ini");
        QFile::remove(m_path);
    }

    void theFileLiesInTheProgramFolder()
    {
        ClientSettings settings;
        QCOMPARE(settings.path(), qEnvironmentVariable("ZARVEX_HOME") + "/quorblobby.ini");
    }

    void beforeTheLoadTheDesignStatesShow()
    {
        ClientSettings s(m_path);
        QVERIFY(!s.isLoaded());
        QCOMPARE(s.textSize(), 10);
        QVERIFY(s.playSounds());
        QVERIFY(!s.chatterSounds());
        QCOMPARE(s.turnSound(), 0);
    }

    void aFirstRunTakesEveryDefault()
    {
        ClientSettings s(m_path);
        QSignalSpy sizes(&s, &ClientSettings::textSizeChanged);
        QSignalSpy placements(&s, &ClientSettings::placementLoaded);
        QSignalSpy tiles(&s, &ClientSettings::tilesLoaded);
        s.loadinifile();
        QVERIFY(s.isLoaded());
        QCOMPARE(s.textSize(), 8);
        QCOMPARE(sizes.size(), 1);
        QCOMPARE(sizes.first(), QVariantList({8, true}));
        QCOMPARE(s.remembered(), QRect(3, 3, 772, 535));
        QCOMPARE(placements.first().first().toRect(), QRect(3, 3, 772, 535));
        QCOMPARE(s.textColour(), ColourText::clBlack);
        QVERIFY(s.playSounds());
        QVERIFY(s.chatterSounds());
        QCOMPARE(s.turnSound(), 0);
        QCOMPARE(s.gameOptions().scrambledTag(), 1);
        QCOMPARE(s.gameOptions().straightTag(), 0);
        QCOMPARE(s.gameOptions().onlylettersTag(), 1);
        // The stored defaults 30 and 1 lie below the spinners' ranges.
        QCOMPARE(s.gameOptions().playtoscore(), 100);
        QCOMPARE(s.gameOptions().creationtime(), 20);
        QCOMPARE(tiles.first().first().toString(), QString());
        for (int n = 1; n <= 10; ++n)
            QCOMPARE(s.phrase(n), QString());
        // Reading never creates the file; the first save does, in its order.
        QVERIFY(!QFile::exists(m_path));
        QVERIFY(s.saveinifile());
        QCOMPARE(readAll(m_path), defaultsFile());
    }

    void eachKeyHasItsRule_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("what");
        QTest::addColumn<qint64>("expected");

        QTest::newRow("text size") << QByteArray("Textsize=12") << "size" << qint64(12);
        QTest::newRow("text size not a number") << QByteArray("Textsize=big") << "size" << qint64(8);
        QTest::newRow("tiny text size") << QByteArray("Textsize=1") << "size" << qint64(6);
        QTest::newRow("negative text size") << QByteArray("Textsize=-40") << "size" << qint64(6);
        QTest::newRow("huge text size") << QByteArray("Textsize=5000") << "size" << qint64(48);
        QTest::newRow("colour in hex") << QByteArray("Textcolor=$00FF8040") << "colour" << qint64(0x00FF8040);
        QTest::newRow("colour by name") << QByteArray("Textcolor=clRED") << "colour" << qint64(ColourText::clRed);
        QTest::newRow("colour nonsense") << QByteArray("Textcolor=nonsense") << "colour" << qint64(0);
        QTest::newRow("colour empty") << QByteArray("Textcolor=") << "colour" << qint64(0);
        QTest::newRow("sounds FALSE stay on") << QByteArray("Playsounds=FALSE") << "sounds" << qint64(1);
        QTest::newRow("sounds false") << QByteArray("Playsounds=false") << "sounds" << qint64(0);
        QTest::newRow("sounds quoted false") << QByteArray("Playsounds=\"false\"") << "sounds" << qint64(0);
        QTest::newRow("sounds no") << QByteArray("Playsounds=no") << "sounds" << qint64(1);
        QTest::newRow("chatter false") << QByteArray("ChatterSounds=false") << "chatter" << qint64(0);
        QTest::newRow("chatter False stays on") << QByteArray("ChatterSounds=False") << "chatter" << qint64(1);
        QTest::newRow("turn sound new") << QByteArray("Turnsound=1") << "turn" << qint64(1);
        QTest::newRow("turn sound other") << QByteArray("Turnsound=2") << "turn" << qint64(0);
        QTest::newRow("turn sound text") << QByteArray("Turnsound=new") << "turn" << qint64(0);
        QTest::newRow("straight games") << QByteArray("Scrambled=false") << "straight" << qint64(1);
        QTest::newRow("scrambled games") << QByteArray("Scrambled=true") << "straight" << qint64(0);
        QTest::newRow("letters anywhere") << QByteArray("Onlyletters=false") << "only" << qint64(0);
        QTest::newRow("play-to score") << QByteArray("Playtoscore=300") << "playto" << qint64(300);
        QTest::newRow("play-to score too high") << QByteArray("Playtoscore=99999") << "playto" << qint64(1000);
        QTest::newRow("play-to score not a number") << QByteArray("Playtoscore=lots") << "playto" << qint64(250);
        QTest::newRow("play-to score empty") << QByteArray("Playtoscore=") << "playto" << qint64(250);
        QTest::newRow("creation time") << QByteArray("Timeperturn=45") << "creation" << qint64(45);
        QTest::newRow("creation time negative") << QByteArray("Timeperturn=-3") << "creation" << qint64(20);
        QTest::newRow("creation time beyond int") << QByteArray("Timeperturn=99999999999") << "creation" << qint64(30);
        QTest::newRow("placement left") << QByteArray("Left=120") << "left" << qint64(120);
        QTest::newRow("placement left not a number") << QByteArray("Left=x") << "left" << qint64(3);
        QTest::newRow("placement width") << QByteArray("Width=900") << "width" << qint64(900);
        QTest::newRow("placement width zero") << QByteArray("Width=0") << "width" << qint64(1);
    }

    void eachKeyHasItsRule()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, what);
        QFETCH(qint64, expected);
        writeAll(m_path, "[Zarvex]\r\n" + line + "\r\n");
        ClientSettings s(m_path);
        s.loadinifile();
        const GameOptions &o = s.gameOptions();
        const QHash<QString, qint64> got = {
            {"size", s.textSize()}, {"colour", s.textColour()}, {"sounds", s.playSounds()},
            {"chatter", s.chatterSounds()}, {"turn", s.turnSound()}, {"straight", o.straightTag()},
            {"only", o.onlylettersTag()}, {"playto", o.playtoscore()}, {"creation", o.creationtime()},
            {"left", s.remembered().left()}, {"width", s.remembered().width()}};
        QVERIFY(got.contains(what));
        QCOMPARE(got.value(what), expected);
    }

    void phrasesComeFromTheFileWhenNotEmpty()
    {
        writeAll(m_path, "[Zarvex]\r\nPhrase1=Hello all\r\nPhrase3=\r\nphrase10=  \"bye now\" \r\nPhrase11=never\r\n");
        ClientSettings s(m_path);
        QSignalSpy phrases(&s, &ClientSettings::phrasesLoaded);
        s.loadinifile();
        QCOMPARE(phrases.size(), 1);
        QCOMPARE(s.phrase(1), QString("Hello all"));
        QCOMPARE(s.phrase(3), QString());
        QCOMPARE(s.phrase(10), QString("bye now"));
        QCOMPARE(s.phrase(0), QString());
        QCOMPARE(s.phrase(11), QString());
        // The phrases belong to the phrase dialog: a save leaves them alone.
        s.setTextSize(14);
        QVERIFY(readAll(m_path).startsWith("[Zarvex]\r\nPhrase1=Hello all\r\nPhrase3=\r\nphrase10=  \"bye now\" \r\n"));
    }

    void nothingIsWrittenBeforeTheLoad()
    {
        const QByteArray stored = "; mine\n[Zarvex]\nTextsize=12\nTop=900\n";
        writeAll(m_path, stored);
        ClientSettings s(m_path);
        s.setTextSize(14);
        s.setPlaySounds(false);
        s.setChatterSounds(true);
        s.setTurnSound(1);
        s.setTextColour(ColourText::clRed);
        s.gameOptionsConfirmed();
        QVERIFY(!s.saveinifile());
        QVERIFY(!s.windowClosing(QRect(50, 60, 800, 600), QRect(0, 0, 1920, 1040)));
        QCOMPARE(readAll(m_path), stored);
        // The options keep what was chosen, for as long as the program runs.
        QCOMPARE(s.textSize(), 14);
        QVERIFY(!s.playSounds());
    }

    void everyOptionChangeSavesTheWholeSet()
    {
        ClientSettings s(m_path);
        QRect window(10, 20, 800, 600);
        s.setPlacementSource([&window] { return window; });
        s.loadinifile();
        s.setTextSize(12);
        QVERIFY(readAll(m_path).contains("Textsize=12\r\nTop=20\r\nLeft=10\r\nWidth=800\r\nHeight=600\r\n"));
        s.setTextColour(0x00FF8040);
        QVERIFY(readAll(m_path).contains("Textcolor=$00FF8040\r\n"));
        s.setPlaySounds(false);
        QVERIFY(readAll(m_path).contains("Playsounds=false\r\n"));
        s.setChatterSounds(false);
        QVERIFY(readAll(m_path).contains("ChatterSounds=false\r\n"));
        s.setTurnSound(1);
        QVERIFY(readAll(m_path).contains("Turnsound=1\r\n"));
        s.gameOptions().checkscram(2);
        s.gameOptions().clickOnlyletters();
        s.gameOptions().setPosition(GameOptions::PlayToScore, 450);
        s.gameOptionsConfirmed();
        QVERIFY(readAll(m_path).contains("Playtoscore=450\r\nTimeperturn=20\r\n"));
        QVERIFY(readAll(m_path).contains("Scrambled=false\r\nOnlyletters=false\r\n"));
        s.setCurrenttiles("wood");
        s.saveinifile();
        QVERIFY(readAll(m_path).contains("Tiles=wood\r\n"));

        // What was saved comes back.
        ClientSettings again(m_path);
        again.loadinifile();
        QCOMPARE(again.textSize(), 12);
        QCOMPARE(again.textColour(), quint32(0x00FF8040));
        QCOMPARE(again.remembered(), QRect(10, 20, 800, 600));
        QVERIFY(!again.playSounds());
        QVERIFY(!again.chatterSounds());
        QCOMPARE(again.turnSound(), 1);
        QCOMPARE(again.gameOptions().straightTag(), 1);
        QCOMPARE(again.gameOptions().onlylettersTag(), 0);
        QCOMPARE(again.gameOptions().playtoscore(), 450);
    }

    void closingWithoutAMoveWritesNothing()
    {
        writeAll(m_path, "[Zarvex]\nTop=40\nLeft=50\nWidth=800\nHeight=600\n");
        ClientSettings s(m_path);
        s.loadinifile();
        QVERIFY(!s.windowClosing(QRect(50, 40, 800, 600), QRect(0, 0, 1920, 1040)));
        QCOMPARE(readAll(m_path), QByteArray("[Zarvex]\nTop=40\nLeft=50\nWidth=800\nHeight=600\n"));
    }

    void closingRemembersTheNewPlacement_data()
    {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QRect>("stored");
        const QRect work(0, 0, 1920, 1040);
        QTest::newRow("moved") << QRect(100, 200, 772, 535) << QRect(100, 200, 772, 535);
        QTest::newRow("maximised over the work area")
            << QRect(-8, -8, 1936, 1056) << QRect(-8, -8, 1921, 1041);
        QTest::newRow("only too wide") << QRect(0, 0, 2000, 700) << QRect(0, 0, 1985, 700);
        QTest::newRow("only too tall") << QRect(0, 0, 900, 1100) << QRect(0, 0, 900, 1085);
        QTest::newRow("exactly the work area") << QRect(0, 0, 1920, 1040) << QRect(0, 0, 1920, 1040);
    }

    void closingRemembersTheNewPlacement()
    {
        QFETCH(QRect, window);
        QFETCH(QRect, stored);
        ClientSettings s(m_path);
        s.setPlacementSource([window] { return window; });
        s.loadinifile();
        QVERIFY(s.windowClosing(window, QRect(0, 0, 1920, 1040)));
        QCOMPARE(s.remembered(), stored);
        ClientSettings again(m_path);
        again.loadinifile();
        QCOMPARE(again.remembered(), stored);
        // Closing once more with the same window writes nothing new.
        const QByteArray once = readAll(m_path);
        s.windowClosing(stored, QRect(0, 0, 1920, 1040));
        QCOMPARE(readAll(m_path), once);
    }

    void aSaveThatFailsIsReportedAndTheOptionKeepsItsState()
    {
        // A plain file stands where the folder should be.
        const QString blocker = m_dir.filePath("blocker");
        writeAll(blocker, "x");
        const QString path = blocker + "/quorblobby.ini";
        ClientSettings s(path);
        s.loadinifile();
        Reports reports;
        s.setTextSize(14);
        QCOMPARE(reports.texts, QStringList({"Unable to write to " + path}));
        QCOMPARE(s.textSize(), 14);
        s.setPlaySounds(false);
        QCOMPARE(reports.texts.size(), 2);
        QVERIFY(!s.playSounds());
    }

    void storedPlacementsAreFittedToAScreen_data()
    {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<QSize>("minimum");
        QTest::addColumn<QRect>("shown");
        const QList<QRect> one = {QRect(0, 0, 1920, 1040)};
        const QList<QRect> two = {QRect(0, 0, 1920, 1040), QRect(1920, 0, 1280, 1000)};
        const QList<QRect> panelAbove = {QRect(0, 30, 1280, 994)};
        const QSize none;
        const QSize board(700, 500);
        QTest::newRow("on the screen") << QRect(3, 3, 772, 535) << one << board << QRect(3, 3, 772, 535);
        QTest::newRow("fills the screen exactly") << QRect(0, 0, 1920, 1040) << one << board << QRect(0, 0, 1920, 1040);
        QTest::newRow("one pixel too wide") << QRect(0, 0, 1921, 1040) << one << board << QRect(0, 0, 1920, 1040);
        QTest::newRow("one pixel past the right edge") << QRect(1, 0, 1920, 1040) << one << board << QRect(0, 0, 1920, 1040);
        QTest::newRow("partly off is moved on") << QRect(1800, 900, 772, 535) << one << none << QRect(1148, 505, 772, 535);
        QTest::newRow("far right") << QRect(5000, 100, 772, 535) << one << none << QRect(1148, 100, 772, 535);
        QTest::newRow("far above left") << QRect(-3000, -2000, 772, 535) << one << none << QRect(0, 0, 772, 535);
        QTest::newRow("below") << QRect(300, 4000, 772, 535) << one << none << QRect(300, 505, 772, 535);
        QTest::newRow("nearest of two") << QRect(4000, 50, 772, 535) << two << none << QRect(2428, 50, 772, 535);
        QTest::newRow("on the second screen") << QRect(2000, 50, 772, 535) << two << none << QRect(2000, 50, 772, 535);
        QTest::newRow("mostly on the second screen") << QRect(1800, 50, 772, 535) << two << none
                                                     << QRect(1920, 50, 772, 535);
        QTest::newRow("larger than the screen") << QRect(9000, 9000, 3000, 2000) << one << board
                                                << QRect(0, 0, 1920, 1040);
        QTest::newRow("huge, around the screen") << QRect(-50000, 3, 100000, 100000) << one << board
                                                 << QRect(0, 0, 1920, 1040);
        QTest::newRow("under a panel") << QRect(3, 3, 772, 535) << panelAbove << board << QRect(3, 30, 772, 535);
        QTest::newRow("smaller than the minimum") << QRect(100, 100, 300, 200) << one << board
                                                  << QRect(100, 100, 700, 500);
        QTest::newRow("screen smaller than the minimum") << QRect(50, 50, 772, 535) << QList<QRect>{QRect(0, 0, 640, 480)}
                                                         << board << QRect(0, 0, 700, 500);
        QTest::newRow("no screens known") << QRect(9000, 9000, 772, 535) << QList<QRect>() << board
                                          << QRect(9000, 9000, 772, 535);
    }

    void storedPlacementsAreFittedToAScreen()
    {
        QFETCH(QRect, stored);
        QFETCH(QList<QRect>, screens);
        QFETCH(QSize, minimum);
        QFETCH(QRect, shown);
        QCOMPARE(ClientSettings::ontoScreens(stored, screens, minimum), shown);

        writeAll(m_path, QString("[Zarvex]\nLeft=%1\nTop=%2\nWidth=%3\nHeight=%4\n")
                             .arg(stored.left()).arg(stored.top()).arg(stored.width()).arg(stored.height()).toUtf8());
        ClientSettings s(m_path);
        s.setScreens([screens] { return screens; }, [minimum] { return minimum; });
        QSignalSpy placements(&s, &ClientSettings::placementLoaded);
        s.loadinifile();
        QCOMPARE(placements.first().first().toRect(), shown);
        // What the file said is what is remembered: closing the window where
        // it was put writes the fitted placement back.
        QCOMPARE(s.remembered(), stored);
    }

    void theLoadAnnouncesInItsOrder()
    {
        ClientSettings s(m_path);
        QStringList order;
        connect(&s, &ClientSettings::textSizeChanged, this, [&] { order << "size"; });
        connect(&s, &ClientSettings::placementLoaded, this, [&] { order << "placement"; });
        connect(&s, &ClientSettings::textColourChanged, this, [&] { order << "colour"; });
        connect(&s, &ClientSettings::phrasesLoaded, this, [&] { order << "phrases"; });
        connect(&s, &ClientSettings::gameOptionsLoaded, this, [&] { order << "options"; });
        connect(&s, &ClientSettings::soundOptionsChanged, this, [&] { order << "sounds"; });
        connect(&s, &ClientSettings::tilesLoaded, this, [&] { order << "tiles"; });
        connect(&s, &ClientSettings::loaded, this, [&] { order << "loaded"; });
        s.loadinifile();
        QCOMPARE(order, QStringList({"size", "placement", "colour", "phrases", "options", "sounds", "tiles", "loaded"}));
    }
};

ZARVEX_TEST_MAIN(TestClientSettings)
#include "tst_clientsettings.moc"
