#include "client/boardview.h"
#include "client/gamepanelview.h"
#include "client/settingsmenus.h"
#include "client/tilestrip.h"
#include "protocol/wire.h"
#include "server/tgamestart.h"
#include "server/tserver.h"
#include "resources/artwork.h"
#include "social/chatpane.h"
#include "social/richtextview.h"
#include "support/files.h"
#include "support/gametable.h"
#include "support/reports.h"
#include "support/testmain.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QScreen>

namespace {

QString home()
{
    return qEnvironmentVariable("ZARVEX_HOME");
}

QString iniPath()
{
    return home() + "/quorblobby.ini";
}

QByteArray readIni()
{
    QFile f(iniPath());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

void writeIni(const QByteArray &bytes)
{
    QFile f(iniPath());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QAction *action(Tchat *chat, const QString &name)
{
    QAction *a = chat->findChild<QAction *>(name);
    if (!a)
        qWarning("no action %s", qPrintable(name));
    return a;
}

// A strip whose tile i is filled with a colour made of i and the set's own
// shade, with a white square in its corner that must come out see-through.
QImage strip(int shade, int width = 55 * 44, int height = 44)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    for (int i = 0; i < 55; ++i) {
        p.fillRect(i * 44, 0, 44, 44, QColor(i * 4, shade, 255 - shade));
        p.fillRect(i * 44, 0, 6, 6, Qt::white);
    }
    return image;
}

void saveStrip(const QString &name, const QImage &image)
{
    QDir().mkpath(home() + "/zarvextiles");
    QVERIFY(image.save(home() + "/zarvextiles/" + name + ".bmp", "BMP"));
}

QRgb pixelOf(const QPixmap &pixmap, int x, int y)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32).pixel(x, y);
}

WindowOptions optionsOn(const QByteArray &port, const QStringList &arguments, QStringList *boxes)
{
    WindowOptions options;
    options.timers = Ticker::Manual;
    options.gamePort = port;
    options.lobbyPort = Loopback::freePort();
    options.arguments = arguments;
    options.messageBox = [boxes](QWidget *, const QString &text) { *boxes << text; };
    return options;
}

// Lets one set of windows with hand-driven timers talk until its settings
// are loaded.
bool loadedAfterLogin(WindowSet &windows)
{
    QCoreApplication::processEvents();
    TServer *server = windows.registry().server;
    GameClient &client = windows.registry().chat->client();
    while (server && server->queued() > 0)
        server->socktimerTimer();
    while (client.queued() > 0)
        client.Timer1Timer();
    return client.settings().isLoaded();
}

} // namespace

class TestSettingsWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(iniPath());
        QDir(home() + "/zarvextiles").removeRecursively();
    }

    void theOptionsShowTheirDesignStatesBeforeLogin()
    {
        WindowSet windows;
        Tchat *chat = windows.registry().chat;
        for (const char *name : {"TextColor1", "N8", "N10", "N12", "N14", "ResetScreenLocation1",
                                 "PlaySounds1", "PlayChatterSounds1", "Classic1", "New1"})
            QVERIFY2(action(chat, name), name);
        QCOMPARE(action(chat, "TextColor1")->text(), QString("Text Color"));
        QCOMPARE(action(chat, "ResetScreenLocation1")->text(), QString("Reset Screen Location"));
        QCOMPARE(action(chat, "N12")->text(), QString("12"));
        QCOMPARE(action(chat, "N12")->property("Tag").toInt(), 12);
        QVERIFY(action(chat, "PlaySounds1")->isChecked());
        QVERIFY(!action(chat, "PlayChatterSounds1")->isChecked());
        QVERIFY(action(chat, "Classic1")->isChecked());
        QVERIFY(!action(chat, "New1")->isChecked());
        QCOMPARE(chat->findChild<QMenu *>("menu_tiles")->title(), QString("&Tiles"));
        QVERIFY(chat->minimumSizeHint().width() >= 769);
    }

    void closingBeforeLoginLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("at once") << "at once";
        QTest::newRow("refused connection") << "refused";
        QTest::newRow("game is full") << "full";
    }

    void closingBeforeLoginLeavesTheFileAsItWas()
    {
        QFETCH(QString, how);
        const QByteArray stored = "; kept by hand\n[Zarvex]\nTextsize=12\nTop=-4000\nLeft=9\n"
                                  "Width=10\nHeight=10\nTiles=nothing\n[Other]\nx=1";
        writeIni(stored);
        QStringList boxes;
        Loopback::Listener listener;
        const QByteArray port = how == "full" ? listener.port() : QByteArray::number(Loopback::freePort());
        {
            WindowSet windows(optionsOn(port, {"Ann", "127.0.0.1", "join"}, &boxes));
            Tchat *chat = windows.registry().chat;
            bool closed = false;
            connect(chat, &Tchat::closed, this, [&closed] { closed = true; });
            chat->show();
            if (how == "full") {
                QTRY_VERIFY(listener.accepted);
                listener.accepted->Send(Wire::message("CMD_full", {""}));
                QTRY_VERIFY_WITH_TIMEOUT((QCoreApplication::processEvents(), chat->client().Timer1Timer(), closed), 5000);
                QCOMPARE(boxes, QStringList({"Game is full"}));
            } else {
                if (how == "refused")
                    QTest::qWait(200);
                // Options touched before login keep their state but are not written.
                chat->settingsMenus()->N14Click(14);
                action(chat, "PlaySounds1")->trigger();
                chat->move(300, 200);
                chat->resize(900, 700);
                chat->close();
                QVERIFY(closed);
            }
            QVERIFY(!chat->client().settings().isLoaded());
        }
        QCOMPARE(readIni(), stored);
    }

    // An option changed before the login keeps its new state through the
    // load, which writes it at once; every other value comes from the file.
    void anOptionChangedBeforeTheLoginOutlivesTheLoad_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("Play Sounds off") << "PlaySounds1" << QByteArray("Playsounds=false");
        QTest::newRow("Play Chatter Sounds on") << "PlayChatterSounds1" << QByteArray("ChatterSounds=true");
        QTest::newRow("New turn sound") << "New1" << QByteArray("Turnsound=1");
        QTest::newRow("text size 14") << "N14" << QByteArray("Textsize=14");
        QTest::newRow("text colour") << "TextColor1" << QByteArray("Textcolor=clRed");
        QTest::newRow("tile set b") << "b3" << QByteArray("Tiles=b");
    }
    void anOptionChangedBeforeTheLoginOutlivesTheLoad()
    {
        QFETCH(QString, item);
        QFETCH(QByteArray, written);
        saveStrip("a", strip(40));
        saveStrip("b", strip(200));
        const QList<QByteArray> lines{"Textsize=12", "Textcolor=clBlue", "Playsounds=true", "ChatterSounds=false",
                                      "Turnsound=0", "Tiles=a", "Phrase3=Kept"};
        const QByteArray stored = "[Zarvex]\r\n" + lines.join("\r\n") + "\r\n";
        writeIni(stored);
        QStringList boxes;
        WindowSet windows(optionsOn(QByteArray::number(Loopback::freePort()), {"Ann", "127.0.0.1", "true"}, &boxes));
        Tchat *chat = windows.registry().chat;
        chat->settingsMenus()->setColourPicker([](const QColor &) { return std::optional<QColor>(Qt::red); });
        action(chat, item)->trigger();
        const bool checked = action(chat, item)->isChecked();
        QCOMPARE(readIni(), stored);

        chat->processparams();
        QTRY_VERIFY2_WITH_TIMEOUT(loadedAfterLogin(windows), qPrintable(boxes.join(" | ")), 5000);
        const QByteArray after = readIni();
        QVERIFY2(after.contains(written + "\r\n"), after.constData());
        const QByteArray key = written.left(written.indexOf('=') + 1);
        for (const QByteArray &line : lines)
            if (!line.startsWith(key))
                QVERIFY2(after.contains(line + "\r\n"), line.constData());
        QCOMPARE(action(chat, item)->isChecked(), checked);
        QCOMPARE(boxes, QStringList());
    }

    // A tile file that is no picture, chosen from the menu or stored: the
    // error report names it, the set in use stays checked and on the board,
    // and the broken choice is never saved.
    void aTileFileThatIsNoPictureIsReportedAndLeftOut_data()
    {
        QTest::addColumn<QString>("inUse");    // empty for the built-in set
        QTest::addColumn<bool>("stored");      // the broken set is the stored one
        QTest::newRow("chosen over the built-in set") << "" << false;
        QTest::newRow("chosen over set a") << "a" << false;
        QTest::newRow("stored") << "" << true;
    }
    void aTileFileThatIsNoPictureIsReportedAndLeftOut()
    {
        QFETCH(QString, inUse);
        QFETCH(bool, stored);
        saveStrip("a", strip(40));
        writeAll(home() + "/zarvextiles/broken.bmp", "BM but no picture follows");
        if (stored)
            writeIni("[Zarvex]\r\nTiles=broken\r\n");
        Reports reports;
        GameTable t;
        Player &ann = t.host("Ann");
        if (!inUse.isEmpty())
            action(ann.chat, inUse + "3")->trigger();
        BoardView *board = ann.chat->gamePanel()->board();
        const QImage tile = board->tilePicture(7).toImage();
        const QByteArray file = readIni();
        if (!stored)
            action(ann.chat, "broken3")->trigger();

        QCOMPARE(reports.texts.size(), 1);
        QVERIFY(reports.texts.first().startsWith("The tile set \"broken\" could not be read as a picture: "));
        QVERIFY(reports.texts.first().endsWith("/zarvextiles/broken.bmp"));
        QVERIFY(!action(ann.chat, "broken3")->isChecked());
        QCOMPARE(action(ann.chat, "a3")->isChecked(), inUse == "a");
        QCOMPARE(board->tilePicture(7).toImage(), tile);
        QCOMPARE(readIni(), file);
        if (stored)
            QCOMPARE(tile, Artwork::tile(7).toImage());
        // The next save keeps the set in use.
        action(ann.chat, "PlaySounds1")->trigger();
        QVERIFY(readIni().contains("\r\nTiles=" + inUse.toUtf8() + "\r\n"));
    }

    // A strip file is read within a bound, as any file from outside: one
    // padded to exactly the bound still shows, one byte more is reported as
    // a set that cannot be read, and the set in use stays.
    void aTileFileIsReadWithinItsBound_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<bool>("shown");
        QTest::newRow("at the bound") << TileStrip::MaxFileBytes << true;
        QTest::newRow("one byte over") << TileStrip::MaxFileBytes + 1 << false;
    }
    void aTileFileIsReadWithinItsBound()
    {
        QFETCH(qint64, size);
        QFETCH(bool, shown);
        saveStrip("big", strip(200));
        QFile file(home() + "/zarvextiles/big.bmp");
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.resize(size));   // padding after the picture
        file.close();
        Reports reports;
        GameTable t;
        Player &ann = t.host("Ann");
        action(ann.chat, "big3")->trigger();
        QCOMPARE(action(ann.chat, "big3")->isChecked(), shown);
        QCOMPARE(reports.texts.size(), shown ? 0 : 1);
        const QImage tile = ann.chat->gamePanel()->board()->tilePicture(7).toImage();
        QCOMPARE(tile == Artwork::tile(7).toImage(), !shown);
    }

    void aFirstRunShowsTheDefaultsAfterConnecting()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        Tchat *chat = ann.chat;
        const ClientSettings &s = ann.client().settings();
        QVERIFY(s.isLoaded());
        QVERIFY(action(chat, "N8")->isChecked());
        for (const char *other : {"N10", "N12", "N14"})
            QVERIFY(!action(chat, other)->isChecked());
        QCOMPARE(chat->settingsMenus()->placement().topLeft(), QPoint(3, 3));
        QCOMPARE(s.remembered(), QRect(3, 3, 772, 535));
        QVERIFY(action(chat, "PlaySounds1")->isChecked());
        QVERIFY(action(chat, "PlayChatterSounds1")->isChecked());
        QVERIFY(action(chat, "Classic1")->isChecked());
        QCOMPARE(s.textColour(), 0u);
        QCOMPARE(ann.registry().gamestart()->options().scrambledTag(), 1);
        QCOMPARE(ann.registry().gamestart()->options().onlylettersTag(), 1);
        QCOMPARE(chat->gamePanel()->board()->tilePicture(1).toImage(), Artwork::tile(1).toImage());
        // The window's minimum size is larger than the default placement.
        QVERIFY(chat->width() >= 769);
        QCOMPARE(readIni(), QByteArray("<none>"));
    }

    void theSavedOptionsComeBackOnTheNextRun()
    {
        writeIni("[Zarvex]\r\nTextsize=12\r\nTurnsound=1\r\nChatterSounds=false\r\nPlaysounds=false\r\n"
                 "Playtoscore=450\r\nTimeperturn=45\r\nScrambled=false\r\n");
        GameTable t;
        Player &ann = t.host("Ann");
        QVERIFY(action(ann.chat, "N12")->isChecked());
        QVERIFY(action(ann.chat, "New1")->isChecked());
        QVERIFY(!action(ann.chat, "Classic1")->isChecked());
        QVERIFY(!action(ann.chat, "PlaySounds1")->isChecked());
        QVERIFY(!action(ann.chat, "PlayChatterSounds1")->isChecked());
        Tgamestart *dialog = ann.registry().gamestart();
        QCOMPARE(dialog->findChild<QLineEdit *>("edit_playtoscore")->text(), QString("450"));
        QCOMPARE(dialog->findChild<QLineEdit *>("edit_creationtime")->text(), QString("45"));
        QCOMPARE(dialog->options().straightTag(), 1);

        // Each option saves at once.
        action(ann.chat, "Classic1")->trigger();
        QVERIFY(readIni().contains("Turnsound=0\r\n"));
        action(ann.chat, "PlaySounds1")->trigger();
        QVERIFY(readIni().contains("Playsounds=true\r\n"));
        action(ann.chat, "PlayChatterSounds1")->trigger();
        QVERIFY(readIni().contains("ChatterSounds=true\r\n"));
        QVERIFY(ann.client().settings().chatterSounds());
    }

    void theTextSizeShowsOnTheNextLineOnly()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        RichTextView *view = ann.chat->chatPane()->mainchat();
        QVERIFY(view->itemCount() > 0);
        QCOMPARE(view->formatAt(0).fontPointSize(), 8.0);
        action(ann.chat, "N14")->trigger();
        QVERIFY(action(ann.chat, "N14")->isChecked());
        QVERIFY(!action(ann.chat, "N8")->isChecked());
        QVERIFY(readIni().contains("Textsize=14\r\n"));
        QCOMPARE(view->formatAt(0).fontPointSize(), 8.0);
        ann.chat->addlinetochat("0+one more line");
        QCOMPARE(view->formatAt(0).fontPointSize(), 14.0);
    }

    void theTextColourComesFromTheColourDialog()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        SettingsMenus *menus = ann.chat->settingsMenus();
        QList<QColor> offered;
        std::optional<QColor> answer;
        menus->setColourPicker([&](const QColor &initial) {
            offered << initial;
            return answer;
        });
        // Cancel: nothing changes and nothing is written.
        action(ann.chat, "TextColor1")->trigger();
        QCOMPARE(offered, QList<QColor>({QColor(Qt::black)}));
        QCOMPARE(readIni(), QByteArray("<none>"));
        answer = QColor(0x40, 0x80, 0xFF);
        action(ann.chat, "TextColor1")->trigger();
        QCOMPARE(ann.client().settings().textColour(), 0x00FF8040u);
        QVERIFY(readIni().contains("Textcolor=$00FF8040\r\n"));
        action(ann.chat, "TextColor1")->trigger();
        QCOMPARE(offered.last(), QColor(0x40, 0x80, 0xFF));
    }

    void resetScreenLocationMovesTheWindowWithoutSaving()
    {
        writeIni("[Zarvex]\r\nLeft=10\r\nTop=80\r\nWidth=780\r\nHeight=600\r\n");
        GameTable t;
        Player &ann = t.host("Ann");
        SettingsMenus *menus = ann.chat->settingsMenus();
        QCOMPARE(menus->placement(), QRect(10, 80, 780, 600));
        action(ann.chat, "ResetScreenLocation1")->trigger();
        QCOMPARE(menus->placement().topLeft(), QPoint(3, 3));
        QCOMPARE(readIni(), QByteArray("[Zarvex]\r\nLeft=10\r\nTop=80\r\nWidth=780\r\nHeight=600\r\n"));
    }

    void closingWithoutAMoveAfterTheLoadWritesNothing()
    {
        const QByteArray stored = "[Zarvex]\r\nLeft=10\r\nTop=80\r\nWidth=780\r\nHeight=600\r\n";
        writeIni(stored);
        GameTable t;
        Player &ann = t.host("Ann");
        ann.chat->close();
        QVERIFY(ann.closed);
        QCOMPARE(readIni(), stored);
    }

    void closingAWindowLargerThanTheWorkAreaStoresItSmaller()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        const QRect work = ann.chat->screen()->availableGeometry();
        const QRect big(work.left() - 4, work.top() - 4, work.width() + 8, work.height() + 8);
        ann.chat->settingsMenus()->setPlacement(big);
        QCOMPARE(ann.chat->settingsMenus()->placement(), big);
        ann.chat->close();
        ClientSettings stored(iniPath());
        stored.loadinifile();
        QCOMPARE(stored.remembered(), QRect(big.left(), big.top(), big.width() - 15, big.height() - 15));
    }

    void aStoredPlacementIsShownWhollyOnTheScreen_data()
    {
        QTest::addColumn<QByteArray>("placement");
        QTest::newRow("far off") << QByteArray("Left=-20000\r\nTop=30000\r\nWidth=800\r\nHeight=600");
        QTest::newRow("huge, around the screen") << QByteArray("Left=-50000\r\nTop=3\r\nWidth=100000\r\nHeight=100000");
        QTest::newRow("partly off") << QByteArray("Left=300\r\nTop=200\r\nWidth=772\r\nHeight=535");
    }
    void aStoredPlacementIsShownWhollyOnTheScreen()
    {
        QFETCH(QByteArray, placement);
        writeIni("[Zarvex]\r\n" + placement + "\r\n");
        GameTable t;
        Player &ann = t.host("Ann");
        const QRect shown = ann.chat->settingsMenus()->placement();
        const QRect work = ann.chat->screen()->availableGeometry();
        QVERIFY2(work.contains(shown), qPrintable(QString("%1,%2 %3x%4 on %5x%6").arg(shown.left()).arg(shown.top())
                                                      .arg(shown.width()).arg(shown.height())
                                                      .arg(work.width()).arg(work.height())));
        QVERIFY(shown.width() >= ClientSettings::MinClientWidth);
    }

    void theTilesMenuListsTheSetsAndSwitchesAtOnce()
    {
        saveStrip("a", strip(40));
        saveStrip("b", strip(200));
        saveStrip("bad-name", strip(90));
        GameTable t;
        Player &ann = t.host("Ann");
        t.join("Bob");
        QMenu *tiles = ann.chat->findChild<QMenu *>("menu_tiles");
        QStringList items;
        for (QAction *item : tiles->actions())
            items << item->text();
        QVERIFY(items.contains("a") && items.contains("b"));
        QVERIFY(!items.contains("bad-name"));
        QVERIFY(!action(ann.chat, "a3")->isChecked() && !action(ann.chat, "b3")->isChecked());

        // A word with letters in the slots, so that they show the new set too.
        ann.client().send(Wire::message("CMD_startgame", {"Ann", "250", "30", "t", "f", ""}));
        t.settle();
        QLabel *slot1 = ann.chat->findChild<QLabel *>("letter_1");
        QVERIFY(ann.client().board().slot(1).code > 0);

        action(ann.chat, "b3")->trigger();
        BoardView *board = ann.chat->gamePanel()->board();
        const QList<QPixmap> b = TileStrip::cut(strip(200));
        QCOMPARE(board->tilePicture(5).toImage(), b.at(5).toImage());
        QCOMPARE(pixelOf(board->tilePicture(5), 20, 20), qRgb(20, 200, 55));
        QCOMPARE(qAlpha(pixelOf(board->tilePicture(5), 2, 2)), 0);
        QCOMPARE(slot1->pixmap().toImage(), b.at(ann.client().board().slot(1).code).toImage());
        QVERIFY(action(ann.chat, "b3")->isChecked());
        QVERIFY(!action(ann.chat, "a3")->isChecked());
        QVERIFY(readIni().contains("Tiles=b\r\n"));

        action(ann.chat, "a3")->trigger();
        QVERIFY(action(ann.chat, "a3")->isChecked());
        QVERIFY(!action(ann.chat, "b3")->isChecked());
        QCOMPARE(pixelOf(board->tilePicture(5), 20, 20), qRgb(20, 40, 215));
    }

    void theStoredSetIsAppliedAtLogin_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("builtIn");
        QTest::newRow("b") << QByteArray("b") << false;
        QTest::newRow("Classic") << QByteArray("Classic") << true;
        QTest::newRow("CLASSIC") << QByteArray("CLASSIC") << true;
        QTest::newRow("missing") << QByteArray("wood") << true;
    }

    void theStoredSetIsAppliedAtLogin()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, builtIn);
        saveStrip("a", strip(40));
        saveStrip("b", strip(200));
        writeIni("[Zarvex]\r\nTiles=" + stored + "\r\n");
        GameTable t;
        Player &ann = t.host("Ann");
        BoardView *board = ann.chat->gamePanel()->board();
        const QImage expected = builtIn ? Artwork::tile(7).toImage() : TileStrip::cut(strip(200)).at(7).toImage();
        QCOMPARE(board->tilePicture(7).toImage(), expected);
        QCOMPARE(action(ann.chat, "b3")->isChecked(), !builtIn);
        QVERIFY(!action(ann.chat, "a3")->isChecked());
    }

    void aShortStripGivesBlankTiles()
    {
        const QList<QPixmap> tiles = TileStrip::cut(strip(90, 44 * 3 + 20, 30));
        QCOMPARE(tiles.size(), 55);
        QCOMPARE(tiles.at(2).size(), QSize(44, 44));
        QCOMPARE(pixelOf(tiles.at(2), 20, 20), qRgb(8, 90, 165));
        QCOMPARE(qAlpha(pixelOf(tiles.at(2), 20, 35)), 0);     // below the strip
        QCOMPARE(pixelOf(tiles.at(3), 10, 10), qRgb(12, 90, 165));
        QCOMPARE(qAlpha(pixelOf(tiles.at(3), 30, 10)), 0);     // past its end
        QCOMPARE(qAlpha(pixelOf(tiles.at(40), 20, 20)), 0);
        QVERIFY(TileStrip::load(home() + "/no such file.bmp").isEmpty());
    }

    // A set is read as BMP first; one saved as PNG under a .bmp name still
    // loads, and bytes that are no picture give no tiles.
    void aStripIsReadByItsContents()
    {
        QDir().mkpath(home() + "/strips");
        const QString bmp = home() + "/strips/plain.bmp", png = home() + "/strips/renamed.bmp",
                      junk = home() + "/strips/junk.bmp";
        QVERIFY(strip(90).save(bmp, "BMP"));
        QVERIFY(strip(120).save(png, "PNG"));
        QFile bad(junk);
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("BM" + QByteArray(200, 'x'));
        bad.close();
        QCOMPARE(pixelOf(TileStrip::load(bmp).at(2), 20, 20), qRgb(8, 90, 165));
        QCOMPARE(pixelOf(TileStrip::load(png).at(2), 20, 20), qRgb(8, 120, 135));
        QVERIFY(TileStrip::load(junk).isEmpty());
    }
};

ZARVEX_TEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
