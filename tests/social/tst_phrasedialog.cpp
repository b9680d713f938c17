#include "resources/imagebutton.h"
#include "settings/inifile.h"
#include "shell/errorreport.h"
#include "shell/programfolder.h"
#include "social/shoutmenu.h"
#include "social/chatinputview.h"
#include "social/phrasebuttons.h"
#include "social/tphrases.h"
#include "support/gametable.h"
#include "support/files.h"
#include "support/keys.h"
#include "support/showntip.h"
#include "support/testmain.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

// A host alone at its table, whose own actions come back from its server.
struct Host
{
    GameTable table;
    Player &ann = table.host("Ann");
    Tphrases *dialog = ann.registry().phrases();
    QList<QByteArray> heard;

    Host()
    {
        QObject::connect(&ann.client(), &GameClient::chatReceived, [this](const QByteArray &p) { heard << p; });
        ann.chat->show();
    }
    QLineEdit *field(int n) const { return dialog->phraseField(n); }
    ImageButton *button(int n) const { return ann.chat->chatInput()->phraseButton(n); }
    void open() { ann.chat->findChild<QAction *>("PrhaseList1")->trigger(); }
    void done() { QTest::mouseClick(dialog->findChild<QPushButton *>("button_done"), Qt::LeftButton); }
    void press(int n)
    {
        QTest::mouseClick(button(n), Qt::LeftButton);
        table.settle();
    }
    void coolDown()
    {
        for (int tick = 0; tick <= PhraseButtons::CooldownTicks; ++tick)
            ann.client().Timer1Timer();
    }
};

} // namespace

class TestPhraseDialog : public QObject
{
    Q_OBJECT

    QString m_ini;

private slots:
    void init()
    {
        m_ini = ProgramFolder::file("quorblobby.ini");
        QFile::remove(m_ini);
    }

    void theDialogShowsTheButtonsPhrases()
    {
        Host h;
        QCOMPARE(h.dialog->windowTitle(), QString("Zarvex - Phrase Buttons "));
        QCOMPARE(h.dialog->size(), QSize(368, 282));
        QCOMPARE(h.dialog->minimumSize(), h.dialog->maximumSize());
        h.open();
        QVERIFY(h.dialog->isVisible());
        QVERIFY(!h.dialog->isModal());
        for (int n = 1; n <= 10; ++n) {
            QLineEdit *edit = h.dialog->findChild<QLineEdit *>(QStringLiteral("phrase%1").arg(n));
            QCOMPARE(edit, h.field(n));
            QCOMPARE(edit->text(), PhraseButtons::builtIn(n));
            QCOMPARE(edit->maxLength(), 50);
            QVERIFY(edit->styleSheet().contains("rgb(237, 207, 137)"));
            QLabel *label = h.dialog->findChild<QLabel *>(QStringLiteral("label%1").arg(n));
            QCOMPARE(label->text(), QStringLiteral("Phrase Button %1:").arg(n));
        }
        QCOMPARE(h.dialog->findChild<QLabel *>("label11")->text(),
                 QString("Buttons can only be used once every 2 seconds"));
        QCOMPARE(h.dialog->findChild<QPushButton *>("button_done")->text(), QString("Done"));

        QTest::keyClicks(h.field(2), QString(60, QChar('x')));
        QCOMPARE(h.field(2)->text().size(), 50);
    }

    // A phrase from the settings file may be longer than a field lets the
    // player type: the dialog shows it whole, "Done" keeps it whole, and an
    // edit may shorten it but never make it longer. What the player types
    // stops at 50 characters.
    void longerPhrasesStayWholeAndTypingStopsAtFifty_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QTestEventList>("keys");
        QTest::addColumn<QString>("kept");
        const QString sixty(60, QChar('a'));
        const auto selectAll = [] { return Keys().press(Qt::Key_A, Qt::ControlModifier); };
        QTest::newRow("sixty, no edit") << sixty << QTestEventList() << sixty;
        QTest::newRow("sixty, typing at its end") << sixty << QTestEventList(Keys().press(Qt::Key_End).type("b"))
                                                  << sixty;
        QTest::newRow("sixty, two deleted, three typed")
            << sixty << QTestEventList(Keys().press(Qt::Key_End).press(Qt::Key_Backspace, {}, 2).type("bcd"))
            << QString(58, QChar('a'));
        QTest::newRow("sixty replaced by typing")
            << sixty << QTestEventList(selectAll().type(QString(55, QChar('c')))) << QString(50, QChar('c'));
        QTest::newRow("typing up to fifty") << QString()
                                            << QTestEventList(selectAll().type(QString(49, QChar('d')) + "e"))
                                            << QString(49, QChar('d')) + "e";
        QTest::newRow("typing one past fifty")
            << QString() << QTestEventList(selectAll().type(QString(50, QChar('d')) + "e")) << QString(50, QChar('d'));
    }
    void longerPhrasesStayWholeAndTypingStopsAtFifty()
    {
        QFETCH(QString, stored);
        QFETCH(QTestEventList, keys);
        QFETCH(QString, kept);
        if (!stored.isEmpty())
            writeAll(m_ini, "[Zarvex]\r\nPhrase1=" + stored.toUtf8() + "\r\n");
        Host h;
        h.open();
        QCOMPARE(h.field(1)->text(), stored.isEmpty() ? PhraseButtons::builtIn(1) : stored);
        keys.simulate(h.field(1));
        QCOMPARE(h.field(1)->text(), kept);
        h.done();
        QCOMPARE(h.button(1)->toolTip(), kept);
        QCOMPARE(IniFile(m_ini).readString("Zarvex", "Phrase1"), kept);
        h.press(1);
        QCOMPARE(h.heard, QList<QByteArray>{"1+Ann says: " + kept.toUtf8() + "|clBlack"});
    }

    // Phrases come from a file anybody may edit: a tooltip shows one as
    // written, never as markup, and the button sends it as written.
    void aPhraseShowsInItsTooltipAsWritten_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::newRow("bold") << "<b>Bold</b>";
        QTest::newRow("font") << "<font size=6 color=red>Big</font>";
        QTest::newRow("ampersand") << "A&B";
    }
    void aPhraseShowsInItsTooltipAsWritten()
    {
        QFETCH(QString, phrase);
        writeAll(m_ini, "[Zarvex]\r\nPhrase2=" + phrase.toUtf8() + "\r\n");
        Host h;
        QCOMPARE(shownTip(h.button(2)->toolTip()), phrase);
        h.press(2);
        QCOMPARE(h.heard, QList<QByteArray>{"1+Ann says: " + phrase.toUtf8() + "|clBlack"});
    }

    void theTabKeyRunsDownTheFirstFiveAndUpTheLastFive()
    {
        Host h;
        h.open();
        QStringList order;
        QWidget *w = h.field(1);
        for (int k = 0; k < 11; ++k) {
            order << w->objectName();
            do
                w = w->nextInFocusChain();
            while (!qobject_cast<QLineEdit *>(w) && !qobject_cast<QPushButton *>(w));
        }
        QCOMPARE(order, (QStringList{"phrase1", "phrase2", "phrase3", "phrase4", "phrase5", "phrase10", "phrase9",
                                     "phrase8", "phrase7", "phrase6", "button_done"}));
    }

    void editsAbandonedByTheCloseBoxChangeNothing()
    {
        Host h;
        h.open();
        h.field(1)->setText("abandoned");
        h.dialog->close();
        QCOMPARE(h.button(1)->toolTip(), QString("Way To Go!"));
        h.open();
        QCOMPARE(h.field(1)->text(), QString("Way To Go!"));
        QVERIFY(readAll(m_ini).isEmpty());
    }

    // Emptying field 3 leaves button 3 saying nothing for the rest of the
    // run; the empty value is written, and the next run has the built-in
    // phrase again.
    void anEmptiedPhraseSaysNothingUntilTheNextRun()
    {
        Host h;
        h.open();
        h.field(3)->clear();
        h.done();
        QVERIFY(!h.dialog->isVisible());
        QCOMPARE(h.button(3)->toolTip(), QString());
        h.press(3);
        h.coolDown();
        h.press(3);
        QCOMPARE(h.heard, (QList<QByteArray>{"1+Ann says: |clBlack", "1+Ann says: |clBlack"}));
        QVERIFY(readAll(m_ini).contains("\r\nPhrase3=\r\n"));

        PhraseButtons nextRun;
        nextRun.setLoadedPhrase(3, IniFile(m_ini).readString("Zarvex", "Phrase3", "absent"));
        QCOMPARE(nextRun.phrase(3), QString("Nice Try!"));
    }

    // What the dialog wrote comes back at the next connection: an emptied
    // phrase as the built-in one, any other as written.
    void theNextRunLoadsWhatTheDialogWrote()
    {
        {
            Host h;
            h.open();
            h.field(3)->clear();
            h.field(4)->setText("/me claps");
            h.field(10)->setText("/me shouts");
            h.done();
        }
        Host next;
        QCOMPARE(next.button(3)->toolTip(), QString("Nice Try!"));
        QCOMPARE(next.button(4)->toolTip(), QString("/me claps"));
        QCOMPARE(next.button(10)->toolTip(), QString("/me shouts"));
        next.press(4);
        QCOMPARE(next.heard, QList<QByteArray>{"1+Ann claps|clBlack"});
        next.open();
        QCOMPARE(next.field(3)->text(), QString("Nice Try!"));
    }

    void anActionPhraseSendsItsOwnText()
    {
        Host h;
        h.open();
        h.field(4)->setText("/me claps");
        h.done();
        h.press(4);
        QCOMPARE(h.heard, QList<QByteArray>{"1+Ann claps|clBlack"});
        QCOMPARE(h.button(4)->toolTip(), QString("/me claps"));
    }

    void theShoutPhraseIsOnlyATooltip()
    {
        Host h;
        h.open();
        h.field(10)->setText("/me shouts");
        h.done();
        QCOMPARE(h.button(10)->toolTip(), QString("/me shouts"));
        for (int n = 1; n <= 9; ++n)
            QCOMPARE(h.button(n)->toolTip(), PhraseButtons::builtIn(n));
        h.press(10);
        QVERIFY(h.heard.isEmpty());
        QVERIFY(h.ann.chat->popupSounds()->isVisible());
        h.ann.chat->popupSounds()->hide();
        // The shout button started no cooldown.
        h.press(1);
        QCOMPARE(h.heard, QList<QByteArray>{"1+Ann says: Way To Go!|clBlack"});
    }

    // The phrase loaded from the file, the built-in ones and every other
    // line go back as they were; all ten keys are written.
    void doneWithoutChangesRewritesAllTenAndNothingElse()
    {
        writeAll(m_ini, "[Zarvex]\r\nTextcolor=clRed\r\nPhrase5=Stale\r\nTiles=\r\n[Lobby]\r\nPhrase1=theirs\r\n");
        Host h;
        QCOMPARE(h.button(5)->toolTip(), QString("Stale"));
        const QByteArray before = readAll(m_ini);
        h.open();
        h.done();
        const IniFile file(m_ini);
        for (int n = 1; n <= 10; ++n)
            QCOMPARE(file.readString("Zarvex", QStringLiteral("Phrase%1").arg(n)),
                     n == 5 ? QString("Stale") : PhraseButtons::builtIn(n));
        const QByteArray after = readAll(m_ini);
        QVERIFY(after.startsWith("[Zarvex]\r\nTextcolor=clRed\r\nPhrase5=Stale\r\nTiles=\r\n"));
        QVERIFY(after.endsWith("[Lobby]\r\nPhrase1=theirs\r\n"));
        QList<QByteArray> kept = after.split('\n');
        kept.removeIf([](const QByteArray &line) { return line.startsWith("Phrase") && !line.contains("theirs"); });
        QList<QByteArray> was = before.split('\n');
        was.removeIf([](const QByteArray &line) { return line.startsWith("Phrase") && !line.contains("theirs"); });
        QCOMPARE(kept, was);
    }

    void aFailedWriteIsReportedAndTheDialogStaysOpen()
    {
        QTemporaryDir dir;
        const QString blocker = dir.filePath("file");
        writeAll(blocker, "x");
        QStringList reports;
        const ErrorReport::Sink previous = ErrorReport::setSink([&](const QString &t) { reports << t; });
        Host h;
        h.dialog->setSettingsPath(blocker + "/quorblobby.ini");
        h.open();
        h.field(1)->setText("Go go!");
        h.done();
        ErrorReport::setSink(previous);
        QCOMPARE(reports, QStringList{"Unable to write to " + blocker + "/quorblobby.ini"});
        QVERIFY(h.dialog->isVisible());
        QCOMPARE(h.button(1)->toolTip(), QString("Go go!"));
        h.press(1);
        QCOMPARE(h.heard, QList<QByteArray>{"1+Ann says: Go go!|clBlack"});
    }
};

ZARVEX_TEST_MAIN(TestPhraseDialog)
#include "tst_phrasedialog.moc"
