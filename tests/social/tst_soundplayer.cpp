#include "resources/imagebutton.h"
#include "social/chatinputview.h"
#include "social/chatpane.h"
#include "social/richtextview.h"
#include "social/shoutmenu.h"
#include "social/soundcues.h"
#include "social/soundplayer.h"
#include "support/gametable.h"
#include "support/quietwindow.h"
#include "support/recordingsink.h"
#include "support/testmain.h"

#include <QAction>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QSet>
#include <QSignalSpy>
#include <QSoundEffect>
#include <QUrl>

namespace {

QAction *item(QMenu *menu, const QString &name)
{
    for (QAction *a : menu->actions())
        if (a->objectName() == name)
            return a;
    return nullptr;
}

} // namespace

// The speakers, the shout menu, and shouts between two windows.
class TestSoundPlayer : public QObject
{
    Q_OBJECT

private slots:
    // Nothing is loaded, and the sound service is not started, before a
    // sound plays; each sound is loaded from the resources as it first
    // plays, and kept.
    void eachSoundIsLoadedOnceAsItFirstPlays()
    {
        // It holds the game's sounds, no more and no fewer.
        QCOMPARE(QSet<QString>(SoundPlayer::names().begin(), SoundPlayer::names().end()),
                 QSet<QString>(SoundCues::resourceNames().begin(), SoundCues::resourceNames().end()));
        SoundPlayer player(nullptr, SoundPlayer::Loading::Always);
        QVERIFY(player.findChildren<QSoundEffect *>().isEmpty());
        QVERIFY(player.findChildren<QMediaDevices *>().isEmpty());
        int beeps = 0;
        player.setBeep([&beeps] { ++beeps; });
        for (const QString &name : SoundCues::resourceNames()) {
            QVERIFY2(!player.effect(name), qPrintable(name));
            player.play(name.toUpper());
            const QSoundEffect *effect = player.effect(name);
            QVERIFY2(effect, qPrintable(name));
            QCOMPARE(effect->source(), QUrl("qrc:/zarvex/sounds/" + name + ".wav"));
            QCOMPARE(player.effect(name.toUpper()), effect);
            player.play(name);
            QCOMPARE(player.effect(name), effect);
        }
        QCOMPARE(player.findChildren<QSoundEffect *>().size(), 27);
        QCOMPARE(beeps, 0);
        // Loading runs in the background and ends with every file read.
        for (const QString &name : SoundCues::resourceNames())
            QTRY_COMPARE_WITH_TIMEOUT(player.effect(name)->status(), QSoundEffect::Ready, 10000);
    }

    void withoutAnAudioOutputNothingIsLoadedAndNothingHeard()
    {
        SoundPlayer player;
        int beeps = 0;
        player.setBeep([&beeps] { ++beeps; });
        QVERIFY(player.findChildren<QMediaDevices *>().isEmpty());
        player.play("tick");
        player.play("wave3");
        // The first sound starts watching the outputs.
        QCOMPARE(player.findChildren<QMediaDevices *>().size(), 1);
        const bool output = !QMediaDevices::audioOutputs().isEmpty();
        QCOMPARE(player.findChildren<QSoundEffect *>().size(), output ? 2 : 0);
        // A known sound is never mistaken for an unknown one.
        QCOMPARE(beeps, 0);
        QCOMPARE(player.current() != nullptr, output);
    }

    void aNewSoundCutsOffTheOneStillPlaying()
    {
        SoundPlayer player(nullptr, SoundPlayer::Loading::Always);
        int beeps = 0;
        player.setBeep([&beeps] { ++beeps; });
        player.play("wave13");
        QCOMPARE(player.current(), player.effect("wave13"));
        player.play("TICK");
        QCOMPARE(player.current(), player.effect("tick"));
        QVERIFY(!player.effect("wave13")->isPlaying());
        player.play("tick");     // the same sound again starts over
        QCOMPARE(player.current(), player.effect("tick"));
        QCOMPARE(beeps, 0);
    }

    void anUnknownNameBeepsAndStopsTheSoundPlaying_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("a shout out of range") << "wave15";
        QTest::newRow("wave0") << "wave0";
        QTest::newRow("empty") << "";
        QTest::newRow("the cancel item") << "Cancel1";
        QTest::newRow("a path") << "../tick";
    }
    void anUnknownNameBeepsAndStopsTheSoundPlaying()
    {
        QFETCH(QString, name);
        SoundPlayer player(nullptr, SoundPlayer::Loading::Always);
        int beeps = 0;
        player.setBeep([&beeps] { ++beeps; });
        player.play("wave6");
        player.play(name);
        QCOMPARE(beeps, 1);
        QVERIFY(!player.current());
        QVERIFY(!player.effect("wave6")->isPlaying());
    }

    void theShoutMenuHasCancelAndFourteenShouts()
    {
        ShoutMenu menu;
        QCOMPARE(menu.objectName(), QString("popup_sounds"));
        const QList<QAction *> items = menu.actions();
        QCOMPARE(items.size(), 15);
        QStringList captions;
        for (int k = 0; k < items.size(); ++k) {
            QAction *a = items.at(k);
            QCOMPARE(a->objectName(), k == 0 ? QString("Cancel1") : QString("wave%1").arg(k));
            QCOMPARE(a->data().toInt(), k);
            QCOMPARE(a->toolTip(), a->text());      // the hint is the caption
            QCOMPARE(a->statusTip(), a->text());
            captions << a->text();
        }
        QCOMPARE(captions, QStringList({"<Cancel>", "Doh", "Cough", "Hello", "Thank You", "Where have you been?",
                                        "Snoring", "Sneezing", "Sorry", "Welcome", "Yeehaa", "Yippee", "Oh No",
                                        "Applause", "Honk"}));
    }

    void choosingAnItemReportsItsTag()
    {
        ShoutMenu menu;
        QSignalSpy chosen(&menu, &ShoutMenu::chosen);
        item(&menu, "wave5")->trigger();
        item(&menu, "Cancel1")->trigger();
        item(&menu, "wave14")->trigger();
        QCOMPARE(chosen.size(), 3);
        QCOMPARE(chosen.at(0).first().toInt(), 5);
        QCOMPARE(chosen.at(1).first().toInt(), 0);
        QCOMPARE(chosen.at(2).first().toInt(), 14);
    }

    // Phrase button 10 opens the main window's shout menu with its top-left
    // corner at the button's bottom-right corner.
    void theShoutButtonOpensTheMenuAtItsBottomRightCorner()
    {
        WindowRegistry registry{quietWindow()};
        Tchat chat(registry);
        // Far enough left that the menu fits on the screen beside the button.
        chat.move(-400, 100);
        chat.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chat));
        ImageButton *button = chat.chatInput()->phraseButton(10);
        ShoutMenu *menu = chat.popupSounds();
        QVERIFY(!menu->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->pos(), button->mapToGlobal(QPoint(button->width(), button->height())));
        menu->close();
    }

    void shoutsTravelBetweenWindows()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        Player &bob = t.join("Bob");
        // A first run hears shouts; both turn that off in the menu.
        QVERIFY(ann.client().sounds().chatterSounds());
        ann.client().settings().setChatterSounds(false);
        bob.client().settings().setChatterSounds(false);
        ann.lines.clear();
        bob.lines.clear();

        // Chatter sounds off: both see the line, the sender too.
        item(bob.chat->popupSounds(), "wave3")->trigger();
        t.settle();
        const QList<QByteArray> hello{"0+Bob: <Chatter Sound> Hello"};
        QCOMPARE(ann.lines, hello);
        QCOMPARE(bob.lines, hello);
        // In Ann's chat, in the status colour.
        const RichTextView *view = ann.chat->chatPane()->mainchat();
        const int at = view->plainText().indexOf("<Chatter Sound> Hello");
        QVERIFY(at > 0);
        QCOMPARE(view->formatAt(at + 1).foreground().color(), QColor(Qt::blue));

        // Chatter sounds on at Ann's: she hears the host's own honk instead.
        RecordingSink speakers;
        ann.client().sounds().setSink(&speakers);
        ann.client().settings().setChatterSounds(true);
        item(ann.chat->popupSounds(), "wave14")->trigger();
        item(ann.chat->popupSounds(), "Cancel1")->trigger();
        t.settle();
        QCOMPARE(speakers.played, QStringList({"wave14"}));
        QCOMPARE(ann.lines, hello);
        QCOMPARE(bob.lines, hello + QList<QByteArray>({"0+Ann: <Chatter Sound> Honk"}));
        ann.client().sounds().setSink(nullptr);
    }
};

ZARVEX_TEST_MAIN(TestSoundPlayer)
#include "tst_soundplayer.moc"
