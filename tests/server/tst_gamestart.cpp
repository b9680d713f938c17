#include "resources/artwork.h"
#include "resources/imagebutton.h"
#include "server/gameoptions.h"
#include "server/tgamestart.h"
#include "shell/windowregistry.h"
#include "support/testmain.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QToolButton>

namespace {

bool showsTick(const ImageButton *box)
{
    return box->pixmap().toImage() == Artwork::checkBox(true).toImage();
}

} // namespace

class TestGameStart : public QObject
{
    Q_OBJECT

private slots:
    // Clicks on the type boxes, by hint, and which box is ticked after them.
    void theTypeBoxesAreAPair_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("scrambled");
        QTest::addColumn<int>("straight");
        QTest::newRow("neither before a click") << QList<int>{} << 0 << 0;
        QTest::newRow("scrambled") << QList<int>{1} << 1 << 0;
        QTest::newRow("straight") << QList<int>{2} << 0 << 1;
        QTest::newRow("scrambled clicked again stays") << QList<int>{1, 1} << 1 << 0;
        QTest::newRow("straight clicked again stays") << QList<int>{2, 2} << 0 << 1;
        QTest::newRow("scrambled then straight") << QList<int>{1, 2} << 0 << 1;
        QTest::newRow("straight then scrambled") << QList<int>{2, 1, 1} << 1 << 0;
    }
    void theTypeBoxesAreAPair()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(int, scrambled);
        QFETCH(int, straight);
        GameOptions options;
        for (int hint : clicks)
            options.clickTypeBox(hint);
        QCOMPARE(options.scrambledTag(), scrambled);
        QCOMPARE(options.straightTag(), straight);
    }

    void checkscramIgnoresNumbersThatNameNoBox()
    {
        GameOptions options;
        options.checkscram(2);
        options.checkscram(0);
        options.checkscram(7);
        QCOMPARE(options.scrambledTag(), 0);
        QCOMPARE(options.straightTag(), 1);
    }

    void theOnlyLettersBoxToggles()
    {
        GameOptions options;
        options.clickOnlyletters();
        QCOMPARE(options.onlylettersTag(), 1);
        options.clickOnlyletters();
        QCOMPARE(options.onlylettersTag(), 0);
        options.checkonly(5);   // a stray number from a settings file still just ticks it
        QCOMPARE(options.onlylettersTag(), 1);
        options.clickOnlyletters();
        QCOMPARE(options.onlylettersTag(), 0);
    }

    void theValuesStopAtTheEndsOfTheirRanges_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("oneUp");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("bottom");
        QTest::newRow("play to score") << int(GameOptions::PlayToScore) << 250 << 300 << 1000 << 100;
        QTest::newRow("creation time") << int(GameOptions::CreationTime) << 30 << 35 << 120 << 20;
    }
    void theValuesStopAtTheEndsOfTheirRanges()
    {
        QFETCH(int, value);
        QFETCH(int, start);
        QFETCH(int, oneUp);
        QFETCH(int, top);
        QFETCH(int, bottom);
        const auto which = GameOptions::Value(value);
        GameOptions options;
        QCOMPARE(options.position(which), start);
        options.up(which);
        QCOMPARE(options.position(which), oneUp);
        for (int i = 0; i < 40; ++i)
            options.up(which);
        QCOMPARE(options.position(which), top);
        for (int i = 0; i < 40; ++i)
            options.down(which);
        QCOMPARE(options.position(which), bottom);

        // Values from outside are kept within the range, and an arrow never
        // steps past an end from a value off the steps.
        options.setPosition(which, 100000);
        QCOMPARE(options.position(which), top);
        options.setPosition(which, -7);
        QCOMPARE(options.position(which), bottom);
        options.setPosition(which, top - 1);
        options.up(which);
        QCOMPARE(options.position(which), top);
    }

    void theStartRequestCarriesTheOptions_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("playto");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("typeBox");
        QTest::addColumn<int>("only");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("scrambled, only letters")
            << QByteArray("Ann") << 300 << 45 << 1 << 1
            << QByteArray("CMD_startgame+Ann+300+45+t+t+\xFF");
        QTest::newRow("straight, all letters")
            << QByteArray("Bob") << 1000 << 120 << 2 << 0
            << QByteArray("CMD_startgame+Bob+1000+120+f+f+\xFF");
        QTest::newRow("neither type box set is straight")
            << QByteArray("You") << 250 << 30 << 0 << 1
            << QByteArray("CMD_startgame+You+250+30+f+t+\xFF");
    }
    void theStartRequestCarriesTheOptions()
    {
        QFETCH(QByteArray, name);
        QFETCH(int, playto);
        QFETCH(int, seconds);
        QFETCH(int, typeBox);
        QFETCH(int, only);
        QFETCH(QByteArray, expected);
        GameOptions options;
        options.setPosition(GameOptions::PlayToScore, playto);
        options.setPosition(GameOptions::CreationTime, seconds);
        options.checkscram(typeBox);
        options.checkonly(only);
        QCOMPARE(options.startRequest(name), expected);
    }

    void theDialogSendsWhatItsControlsShow()
    {
        WindowRegistry registry;
        Tgamestart dialog(registry);
        QCOMPARE(dialog.size(), QSize(257, 237));
        QCOMPARE(dialog.windowTitle(), QString("Zarvex - Game Start"));
        QVERIFY(!dialog.isModal());
        dialog.setPlayerName("Ann");
        dialog.show();

        auto *playto = dialog.findChild<QLineEdit *>("edit_playtoscore");
        auto *seconds = dialog.findChild<QLineEdit *>("edit_creationtime");
        auto *upDown1 = dialog.findChild<QWidget *>("UpDown1");
        auto *upDown2 = dialog.findChild<QWidget *>("UpDown2");
        auto *scrambled = dialog.findChild<ImageButton *>("checkbox_1");
        auto *straight = dialog.findChild<ImageButton *>("checkbox_2");
        auto *only = dialog.findChild<ImageButton *>("checkbox_onlyletters");
        auto *start = dialog.findChild<ImageButton *>("button_start");
        QVERIFY(playto && seconds && upDown1 && upDown2 && scrambled && straight && only && start);
        QVERIFY(playto->isReadOnly() && seconds->isReadOnly());
        QCOMPARE(playto->text(), QString("250"));
        QCOMPARE(seconds->text(), QString("30"));
        QVERIFY(!showsTick(scrambled) && !showsTick(straight) && !showsTick(only));

        QTest::mouseClick(upDown1->findChild<QToolButton *>("up"), Qt::LeftButton);
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(upDown2->findChild<QToolButton *>("up"), Qt::LeftButton);
        QCOMPARE(playto->text(), QString("300"));
        QCOMPARE(seconds->text(), QString("45"));

        QTest::mouseClick(straight, Qt::LeftButton);
        QVERIFY(showsTick(straight) && !showsTick(scrambled));
        QTest::mouseClick(scrambled, Qt::LeftButton);
        QTest::mouseClick(scrambled, Qt::LeftButton);
        QVERIFY(showsTick(scrambled) && !showsTick(straight));
        QTest::mouseClick(only, Qt::LeftButton);
        QTest::mouseClick(only, Qt::LeftButton);
        QVERIFY(!showsTick(only));
        QTest::mouseClick(only, Qt::LeftButton);
        QVERIFY(showsTick(only));

        QSignalSpy sent(&dialog, &Tgamestart::startRequested);
        QSignalSpy saved(&dialog, &Tgamestart::settingsChanged);
        // Each signal notes whether the dialog was still showing when it came.
        QList<bool> visibleAt;
        const auto note = [&] { visibleAt << dialog.isVisible(); };
        connect(&dialog, &Tgamestart::startRequested, this, note);
        connect(&dialog, &Tgamestart::settingsChanged, this, note);
        QTest::mouseClick(start, Qt::LeftButton);
        QCOMPARE(sent.count(), 1);
        QCOMPARE(sent.first().first().toByteArray(), QByteArray("CMD_startgame+Ann+300+45+t+t+\xFF"));
        QCOMPARE(saved.count(), 1);
        QCOMPARE(visibleAt, (QList<bool>{true, false}));
        QVERIFY(dialog.isHidden());
    }

    void theDialogsArrowsStopAtTheEndsAndFollowTheKeys()
    {
        WindowRegistry registry;
        Tgamestart dialog(registry);
        dialog.show();
        auto *seconds = dialog.findChild<QLineEdit *>("edit_creationtime");
        auto *down = dialog.findChild<QWidget *>("UpDown2")->findChild<QToolButton *>("down");
        for (int i = 0; i < 5; ++i)
            QTest::mouseClick(down, Qt::LeftButton);
        QCOMPARE(seconds->text(), QString("20"));
        QCOMPARE(dialog.options().creationtime(), 20);

        auto *playto = dialog.findChild<QLineEdit *>("edit_playtoscore");
        for (int i = 0; i < 20; ++i)
            QTest::keyClick(playto, Qt::Key_Up);
        QCOMPARE(playto->text(), QString("1000"));
        QTest::keyClick(playto, Qt::Key_Down);
        QCOMPARE(playto->text(), QString("950"));
    }

    void optionsSetFromOutsideAreShown()
    {
        WindowRegistry registry;
        Tgamestart dialog(registry);
        dialog.options().setPosition(GameOptions::PlayToScore, 600);
        dialog.options().checkscram(2);
        dialog.showOptions();
        QCOMPARE(dialog.findChild<QLineEdit *>("edit_playtoscore")->text(), QString("600"));
        QVERIFY(showsTick(dialog.findChild<ImageButton *>("checkbox_2")));
        QVERIFY(!showsTick(dialog.findChild<ImageButton *>("checkbox_1")));
    }
};

ZARVEX_TEST_MAIN(TestGameStart)
#include "tst_gamestart.moc"
