#include "client/tilesets.h"
#include "settings/clientsettings.h"
#include "support/fakeserver.h"
#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("BM");
}

QStringList names(const TileSets &sets)
{
    QStringList out;
    for (const TileSets::Set &s : sets.sets())
        out << s.name;
    return out;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestTileSets : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_home;
    QString m_installed;
    int m_round = 0;

private slots:
    void init()
    {
        // A fresh pair of folders for every test.
        ++m_round;
        m_home = m_dir.filePath(QString("home%1").arg(m_round));
        m_installed = m_dir.filePath(QString("share%1").arg(m_round));
        QDir().mkpath(m_home);
    }

    void setNamesAndIdentifiers_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("identifier");
        QTest::newRow("plain") << "wood.bmp" << "wood" << true;
        QTest::newRow("up to the first dot") << "wood.old.bmp" << "wood" << true;
        QTest::newRow("folder dropped") << "/x/y.z/stone.bmp" << "stone" << true;
        QTest::newRow("digits and underscore") << "_tiles_2.bmp" << "_tiles_2" << true;
        QTest::newRow("starts with a digit") << "2tiles.bmp" << "2tiles" << false;
        QTest::newRow("dash") << "my-tiles.bmp" << "my-tiles" << false;
        QTest::newRow("blank") << "my tiles.bmp" << "my tiles" << false;
        QTest::newRow("only an extension") << ".bmp" << "" << false;
        QTest::newRow("letter outside ASCII") << QString::fromUtf8("b\xC3\xA4r.bmp") << QString::fromUtf8("b\xC3\xA4r") << false;
    }

    void setNamesAndIdentifiers()
    {
        QFETCH(QString, file);
        QFETCH(QString, name);
        QFETCH(bool, identifier);
        QCOMPARE(TileSets::setName(file), name);
        QCOMPARE(TileSets::isIdentifier(name), identifier);
    }

    void storedValuesThatKeepTheBuiltInSet_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("builtIn");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("classic") << "classic" << true;
        QTest::newRow("Classic") << "Classic" << true;
        QTest::newRow("CLASSIC") << "CLASSIC" << true;
        QTest::newRow("cLaSsIc") << "cLaSsIc" << true;
        QTest::newRow("classic2") << "classic2" << false;
        QTest::newRow("wood") << "wood" << false;
    }

    void storedValuesThatKeepTheBuiltInSet()
    {
        QFETCH(QString, stored);
        QFETCH(bool, builtIn);
        QCOMPARE(TileSets::keepsBuiltIn(stored), builtIn);
    }

    void theScanListsEverySetAndSkipsWhatCannotBeAnItem()
    {
        touch(m_home + "/zarvextiles/a.bmp");
        touch(m_home + "/zarvextiles/b.BMP");
        touch(m_home + "/zarvextiles/A.bmp");           // clashes with a
        touch(m_home + "/zarvextiles/9lives.bmp");      // not an identifier
        touch(m_home + "/zarvextiles/letter_.bmp");     // letter_3 is a slot of the window
        touch(m_home + "/zarvextiles/notes.txt");
        touch(m_home + "/zarvextiles/c.bmp.txt");
        touch(m_home + "/zarvextiles/dbmp");
        touch(m_home + "/zarvextiles/.hidden.bmp");     // empty name
        touch(m_installed + "/zarvextiles/b.bmp");      // the player's own b comes first
        touch(m_installed + "/zarvextiles/slate.bmp");
        QDir().mkpath(m_home + "/zarvextiles/dir.bmp");

        ClientSettings settings(m_home + "/quorblobby.ini");
        TileSets sets(settings);
        sets.grouptilesmenu({m_home, m_dir.filePath("nowhere"), m_installed, m_home},
                            {"Tchat", "letter_3", "label_playername1"});
        // Of a and A only the first one listed gets an item.
        QCOMPARE(names(sets).join(',').toLower(), QString("a,b,slate"));
        QCOMPARE(sets.sets().at(1).path, m_home + "/zarvextiles/b.BMP");
        QCOMPARE(sets.problems().size(), 5);
        QCOMPARE(sets.problems().filter(QRegularExpression("/[aA]\\.bmp left out")).size(), 1);
        for (const char *file : {"9lives.bmp", "letter_.bmp", ".hidden.bmp"})
            QVERIFY2(sets.problems().filter(file).size() == 1, file);
        QCOMPARE(sets.problems().filter(m_installed + "/zarvextiles/b.bmp").size(), 1);
        QVERIFY(sets.checked().isEmpty());
    }

    void noFolderGivesAnEmptyMenu()
    {
        ClientSettings settings(m_home + "/quorblobby.ini");
        TileSets sets(settings);
        sets.grouptilesmenu({m_home, m_installed});
        QVERIFY(sets.sets().isEmpty());
        QVERIFY(sets.problems().isEmpty());
    }

    void theStoredSetIsLoadedWithTheSettings_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("checked");
        QTest::newRow("b") << "b" << "b";
        QTest::newRow("in other case") << "B" << "b";
        QTest::newRow("classic") << "classic" << "";
        QTest::newRow("Classic") << "Classic" << "";
        QTest::newRow("missing file") << "wood" << "";
        QTest::newRow("a path") << "../zarvextiles/b" << "";
        QTest::newRow("empty") << "" << "";
    }

    void theStoredSetIsLoadedWithTheSettings()
    {
        QFETCH(QString, stored);
        QFETCH(QString, checked);
        touch(m_home + "/zarvextiles/a.bmp");
        touch(m_home + "/zarvextiles/b.bmp");
        const QString ini = m_home + "/quorblobby.ini";
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Zarvex]\r\nTiles=" + stored.toUtf8() + "\r\n");
        f.close();

        ClientSettings settings(ini);
        TileSets sets(settings);
        sets.grouptilesmenu({m_home});
        QSignalSpy changes(&sets, &TileSets::tilesChanged);
        settings.loadinifile();
        QCOMPARE(sets.checked(), checked);
        QCOMPARE(settings.currenttiles(), checked);
        QCOMPARE(changes.size(), checked.isEmpty() ? 0 : 1);
        if (!checked.isEmpty())
            QCOMPARE(changes.first().first().toString(), m_home + "/zarvextiles/" + checked + ".bmp");
        QCOMPARE(sets.currentFile().isEmpty(), checked.isEmpty());
    }

    void choosingASetSwitchesAndSavesIt()
    {
        touch(m_home + "/zarvextiles/a.bmp");
        touch(m_home + "/zarvextiles/b.bmp");
        const QString ini = m_home + "/quorblobby.ini";
        ClientSettings settings(ini);
        TileSets sets(settings);
        sets.grouptilesmenu({m_home});
        settings.loadinifile();
        QSignalSpy changes(&sets, &TileSets::tilesChanged);
        QSignalSpy checks(&sets, &TileSets::checkedChanged);
        sets.grouptilesmenuClick("b");
        QCOMPARE(changes.size(), 1);
        QCOMPARE(checks.size(), 1);
        QCOMPARE(sets.checked(), QString("b"));
        QVERIFY(readAll(ini).contains("\r\nTiles=b\r\n"));

        // A set whose file has gone since the menu was built: nothing is
        // loaded, the check stays, but the choice is still recorded.
        QVERIFY(QFile::remove(m_home + "/zarvextiles/a.bmp"));
        sets.grouptilesmenuClick("a");
        QCOMPARE(changes.size(), 1);
        QCOMPARE(sets.checked(), QString("b"));
        QCOMPARE(sets.currentFile(), m_home + "/zarvextiles/b.bmp");
        QVERIFY(readAll(ini).contains("\r\nTiles=a\r\n"));
    }

    void aFileAddedAfterTheScanLoadsWithoutAnItem()
    {
        ClientSettings settings(m_home + "/quorblobby.ini");
        TileSets sets(settings);
        QDir().mkpath(m_home + "/zarvextiles");
        sets.grouptilesmenu({m_home});
        touch(m_home + "/zarvextiles/late.bmp");
        QVERIFY(sets.loadgrouptiles("late"));
        QVERIFY(sets.checked().isEmpty());
        QCOMPARE(settings.currenttiles(), QString("late"));
    }

    void theSettingsLoadAtLoginAndASwitchRedrawsTheSlotsPlain()
    {
        // The client's own settings file and tile folder lie in ZARVEX_HOME.
        const QString home = qEnvironmentVariable("ZARVEX_HOME");
        touch(home + "/zarvextiles/b.bmp");
        ClientUnderTest t(2);
        t.client.tileSets().grouptilesmenu({home});
        QVERIFY(!t.client.settings().isLoaded());
        t.feed("CMD_newplayerinfo+1+Ann");
        QVERIFY(!t.client.settings().isLoaded());
        t.feed("CMD_newplayerinfo+2+Bob");
        QVERIFY(t.client.settings().isLoaded());
        QCOMPARE(t.client.settings().textSize(), 8);

        t.feed(Wire::message("CMD_startgame", {"Ann", "250", "30", "t", "f", ""}).chopped(1));
        t.feed(boardMessage(1, {{3, 3, 'a'}, {4, 3, 'b'}, {5, 3, 'c'}}));
        t.feed(wordMessage("abc"));
        t.feed("CMD_nextplayer+2+");
        t.click(3, 3);
        t.click(4, 3);
        QCOMPARE(t.client.board().code(3, 3), 1 + BoardSelection::highlight);
        QCOMPARE(t.client.board().slot(1).picture, BoardSelection::Picture::Highlighted);
        QSignalSpy changed(&t.client, &GameClient::changed);
        t.client.tileSets().grouptilesmenuClick("b");
        QVERIFY(changed.size() >= 1);
        QCOMPARE(t.client.board().code(3, 3), 1 + BoardSelection::highlight);
        QCOMPARE(t.client.board().code(4, 3), 2 + BoardSelection::highlight);
        QCOMPARE(t.client.board().selectedcount(), 2);
        QCOMPARE(t.client.board().slot(1).picture, BoardSelection::Picture::Plain);
        QCOMPARE(t.client.board().slot(2).picture, BoardSelection::Picture::Plain);
        QCOMPARE(t.client.board().slot(3).picture, BoardSelection::Picture::Plain);
        QCOMPARE(t.client.board().slot(4).picture, BoardSelection::Picture::Empty);
        QVERIFY(readAll(home + "/quorblobby.ini").contains("Tiles=b\r\n"));
    }
};

ZARVEX_TEST_MAIN(TestTileSets)
#include "tst_tilesets.moc"
