#include "protocol/wire.h"
#include "server/twordlist.h"
#include "server/wordlist.h"
#include "settings/inifile.h"
#include "shell/programfolder.h"
#include "support/gametable.h"
#include "support/testmain.h"
#include "support/wordlists.h"

#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBrowser>

namespace {

const QByteArray Fruit = "apple\nbanana\ncherry\ndamson\nelderberry\nfig\ngrape\nlemon\nmango\nnectarine\npeach\n";

QAction *menuItem(Tchat *chat, const char *name)
{
    return chat->menuBar()->findChild<QAction *>(QLatin1String(name));
}

QString chatText(Tchat *chat)
{
    const auto *view = chat->findChild<QTextBrowser *>();
    return view ? view->toPlainText() : QString();
}

} // namespace

// The word list as the host meets it in the window: "Word List..." in the
// File menu, the list window, and what every player is told.
class TestTwordlist : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    const QString m_settings = ProgramFolder::file("quorblobby.ini");

private slots:
    void init() { QFile::remove(m_settings); }

    void onlyAHostingCopyOffersTheItem()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        Player &bob = t.join("Bob");
        QAction *annItem = menuItem(ann.chat, "WordList1");
        QVERIFY(annItem);
        QCOMPARE(annItem->text(), QString("Word List..."));
        QVERIFY(annItem->isEnabled());
        QVERIFY(!menuItem(bob.chat, "WordList1")->isEnabled());
        annItem->trigger();
        QVERIFY(ann.chat->wordList()->isVisible());
        QCOMPARE(ann.chat->wordList()->findChild<QLabel *>("label_current")->text(),
                 QString("Built-in list: 21109 words."));
        QVERIFY(!ann.chat->wordList()->findChild<QPushButton *>("button_builtin")->isEnabled());
    }

    void aChosenListServesTheGameAndEveryPlayerIsTold()
    {
        const QString path = writeTestFile(m_dir, "fruit.txt", Fruit);
        GameTable t;
        Player &ann = t.host("Ann");
        Player &bob = t.join("Bob");
        Twordlist *window = ann.chat->wordList();
        QString offeredFolder;
        window->setFileAsker([&](QWidget *, const QString &folder) {
            offeredFolder = folder;
            return path;
        });
        QTest::mouseClick(window->findChild<QPushButton *>("button_choose"), Qt::LeftButton);
        QCOMPARE(ann.boxes, QStringList());
        QCOMPARE(window->findChild<QLabel *>("label_current")->text(),
                 QString("fruit.txt: 11 words, 9 of 3 to 8 letters, 10 of 5 to 10 letters."));
        QCOMPARE(IniFile(m_settings).readString("Zarvex", "Wordlist"), path);
        QVERIFY(ann.server()->wordList());

        QSignalSpy told(&bob.client(), &GameClient::chatReceived);
        ann.client().send(Wire::message("CMD_startgame", {"Ann", "250", "30", "t", "f", ""}));
        t.settle();
        QCOMPARE(told.count(), 1);
        QCOMPARE(told.first().first().toByteArray(), QByteArray("0+Words from fruit.txt (11 words).|clBlue"));
        QVERIFY2(chatText(bob.chat).contains("Words from fruit.txt (11 words)."), qPrintable(chatText(bob.chat)));
        QVERIFY(Fruit.split('\n').contains(ann.server()->board().word()));

        // Choosing again starts where the list lies; "Built-in list" goes back.
        QTest::mouseClick(window->findChild<QPushButton *>("button_choose"), Qt::LeftButton);
        QCOMPARE(offeredFolder, m_dir.path());
        QTest::mouseClick(window->findChild<QPushButton *>("button_builtin"), Qt::LeftButton);
        QCOMPARE(ann.server()->wordList(), nullptr);
        QCOMPARE(IniFile(m_settings).readString("Zarvex", "Wordlist", "unset"), QString());
    }

    void aRefusedListIsExplainedAndThePreviousOneStays()
    {
        const QString good = writeTestFile(m_dir, "fruit.txt", Fruit);
        const QString poor = writeTestFile(m_dir, "poor.txt", "fig\nkiwi\nd\xC3\xA1til\n");
        GameTable t;
        Player &ann = t.host("Ann");
        Twordlist *window = ann.chat->wordList();
        QString answer = good;
        window->setFileAsker([&](QWidget *, const QString &) { return answer; });
        window->button_chooseClick();
        const WordList *before = ann.server()->wordList();
        QVERIFY(before);

        answer = poor;
        window->button_chooseClick();
        QCOMPARE(ann.boxes.size(), 1);
        QVERIFY2(ann.boxes.first().contains(poor) && ann.boxes.first().contains("2 words")
                     && ann.boxes.first().contains("line 3"),
                 qPrintable(ann.boxes.first()));
        QCOMPARE(ann.server()->wordList(), before);
        QVERIFY(window->findChild<QLabel *>("label_current")->text().startsWith("fruit.txt:"));
        QCOMPARE(IniFile(m_settings).readString("Zarvex", "Wordlist"), good);

        // A cancelled file dialog changes nothing and says nothing.
        answer.clear();
        window->button_chooseClick();
        QCOMPARE(ann.boxes.size(), 1);
        QCOMPARE(ann.server()->wordList(), before);
    }

    void theStoredListServesFromTheStartOrIsReportedInTheChat()
    {
        const QString path = writeTestFile(m_dir, "fruit.txt", Fruit);
        IniFile(m_settings).writeString("Zarvex", "Wordlist", path);
        {
            GameTable t;
            Player &ann = t.host("Ann");
            QVERIFY(ann.server()->wordList());
            QCOMPARE(ann.server()->wordList()->path(), path);
        }
        QVERIFY(QFile::remove(path));
        GameTable t;
        Player &ann = t.host("Ann");
        QCOMPARE(ann.server()->wordList(), nullptr);
        QVERIFY2(chatText(ann.chat).contains("there is no such file. Words come from the built-in list."),
                 qPrintable(chatText(ann.chat)));
        Player &bob = t.join("Bob");
        QVERIFY(!chatText(bob.chat).contains("Words come from"));
    }
};

ZARVEX_TEST_MAIN(TestTwordlist)
#include "tst_twordlist.moc"
