#include "client/panellabel.h"
#include "shell/errorreport.h"
#include "support/startgame.h"
#include "support/showntip.h"
#include "support/testmain.h"
#include "tally/tallyfile.h"
#include "tally/tallystore.h"
#include "tally/tallytable.h"
#include "tally/ttallylist.h"

#include <QAction>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

QListWidget *list(Ttallylist *window, const char *name)
{
    return window->findChild<QListWidget *>(name);
}

QString text(Ttallylist *window, const QString &name)
{
    const QLabel *l = window->findChild<QLabel *>(name);
    return l ? l->text() : QString("<no label %1>").arg(name);
}

QStringList items(QListWidget *l)
{
    QStringList out;
    for (int i = 0; i < l->count(); ++i)
        out << l->item(i)->text() + (l->item(i)->checkState() == Qt::Checked ? " [x]" : " [ ]");
    return out;
}

// label_1 to label_8 as the window shows them.
QStringList values(Ttallylist *window)
{
    QStringList out;
    for (int n = 1; n <= 8; ++n)
        out << text(window, "label_" + QString::number(n));
    return out;
}

void viewTally(Player &p)
{
    p.chat->findChild<QAction *>("ViewTally1")->trigger();
}

} // namespace

// The tally window over a running game: whom it offers, adding, removing,
// reset, and a damaged tally file at start-up.
class TestTallyWindow : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(TallyFile::path());
        QFile::remove(TallyFile::path() + ".damaged");
    }

    void theWindowAsItIsCreated()
    {
        GameTable t;
        Ttallylist *w = t.host("Ann").registry().tallylist();
        QCOMPARE(w->windowTitle(), QString("Zarvex - Tally List"));
        QCOMPARE(w->size(), QSize(475, 347));
        QVERIFY(!w->isVisible());
        QCOMPARE(text(w, "Label8"), QString("Your Total Tally"));
        QCOMPARE(text(w, "label_hisname"), QString("XX Wins:"));
        QCOMPARE(text(w, "Label1"), QString("Players In Current Game"));
        QCOMPARE(text(w, "Label2"), QString("Players Being Tallied"));
        QCOMPARE(text(w, "Label3"), QString("Number of Games"));
        QCOMPARE(text(w, "Label14"), QString("Your Wins:"));
        QCOMPARE(text(w, "Label7"), QString("Neither Won:"));
        QCOMPARE(text(w, "Label6"), QString("Total"));
        QCOMPARE(text(w, "Label4"), QString("Session"));
        QCOMPARE(text(w, "mylabel_1"), QString("0"));
        QCOMPARE(values(w), QStringList(8, "0"));
        QVERIFY(!w->findChild<QLabel *>("mylabel_3")->isVisibleTo(w));
        QCOMPARE(w->findChild<QPushButton *>("button_reset")->text(), QString("Reset Tally"));
        QCOMPARE(w->findChild<QPushButton *>("button_done")->text(), QString("Done"));
    }

    // The window is built as the player first opens it; the games played
    // before, with the window never built, are all there.
    void aWindowOpenedAfterThreeGamesShowsThem()
    {
        {
            // Bob was tallied in an earlier run.
            TallyStore earlier(TallyFile::path());
            QCOMPARE(earlier.load(), QString());
            earlier.loadchecklist({"Bob"});
            earlier.checklistClickCheck(0);
            QVERIFY(earlier.save());
        }
        GameTable t;
        Player &ann = t.host("Ann");
        Player &bob = t.join("Bob");
        for (Player *winner : {&ann, &bob, &bob}) {
            startShortGame(t, ann, false);
            playShortGame(t, *ann.server(), *winner, winner == &ann ? bob : ann);
            QVERIFY(!ann.server()->gameinprogress());
        }
        QVERIFY(!ann.registry().built(LateWindow::Tallylist));
        // Each game was saved as it ended.
        QCOMPARE(TallyFile::read(TallyFile::path()).counter(1, 0), qint64(3));

        viewTally(ann);
        QVERIFY(ann.registry().built(LateWindow::Tallylist));
        Ttallylist *w = ann.registry().tallylist();
        QVERIFY(w->isVisible());
        QCOMPARE(text(w, "mylabel_1"), QString("3"));
        QCOMPARE(text(w, "mylabel_2"), QString("1"));
        QCOMPARE(items(list(w, "checklist")), QStringList({"Bob [x]"}));
        QCOMPARE(items(list(w, "listbox_tally")), QStringList({"Bob [x]"}));
        list(w, "listbox_tally")->setCurrentRow(0);
        QCOMPARE(text(w, "label_hisnametop"), QString("Bob's Tally"));
        // Games, Bob's wins, Ann's, neither: in total and in this run.
        QCOMPARE(values(w), QStringList({"3", "2", "1", "0", "3", "2", "1", "0"}));
        // And it goes on recording.
        startShortGame(t, ann, true);
        playShortGame(t, *ann.server(), ann, bob);
        QCOMPARE(values(w), QStringList({"4", "2", "2", "0", "4", "2", "2", "0"}));
    }

    void aFourPlayerGameOffersTheThreeOthersAndAddsOnACheck()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        t.join("Bob");
        t.join("Cid");
        t.join("Dan");
        Ttallylist *w = ann.registry().tallylist();
        // Cid was tallied before, under other letter case.
        w->store().loadchecklist({"cid"});
        w->store().checklistClickCheck(0);

        viewTally(ann);
        QVERIFY(w->isVisible());
        QVERIFY(!w->isModal());
        QListWidget *current = list(w, "checklist");
        QListWidget *tallied = list(w, "listbox_tally");
        QCOMPARE(items(current), QStringList({"Bob [ ]", "Cid [x]", "Dan [ ]"}));
        QCOMPARE(items(tallied), QStringList({"cid [x]"}));

        current->item(0)->setCheckState(Qt::Checked);
        QCOMPARE(items(tallied), QStringList({"cid [x]", "Bob [x]"}));
        QCOMPARE(items(current), QStringList({"Bob [x]", "Cid [x]", "Dan [ ]"}));
        tallied->setCurrentRow(1);
        QCOMPARE(text(w, "label_hisnametop"), QString("Bob's Tally"));
        QCOMPARE(values(w), QStringList(8, "0"));
        // Clicking the box again neither adds Bob twice nor stops tallying him.
        current->item(0)->setCheckState(Qt::Unchecked);
        current->item(0)->setCheckState(Qt::Checked);
        QCOMPARE(items(tallied), QStringList({"cid [x]", "Bob [x]"}));
        QCOMPARE(TallyFile::read(TallyFile::path()).name(2), QString("Bob"));
        QVERIFY(ann.questions.isEmpty());
    }

    void removingAsksFirstAndNoKeepsEverything()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        t.join("Bob");
        Ttallylist *w = ann.registry().tallylist();
        viewTally(ann);
        list(w, "checklist")->item(0)->setCheckState(Qt::Checked);
        emit ann.client().gameRecorded("Bob");
        QListWidget *tallied = list(w, "listbox_tally");

        ann.answer = false;
        tallied->item(0)->setCheckState(Qt::Unchecked);
        QCOMPARE(ann.questions, QStringList({"This will delete Bob's Tally, Are you want to delete it?"}));
        QCOMPARE(items(tallied), QStringList({"Bob [x]"}));
        QCOMPARE(w->store().table().counter(2, 1), qint64(1));

        ann.answer = true;
        tallied->item(0)->setCheckState(Qt::Unchecked);
        QCOMPARE(ann.questions.size(), 2);
        QCOMPARE(items(tallied), QStringList());
        QCOMPARE(items(list(w, "checklist")), QStringList({"Bob [ ]"}));
        QCOMPARE(w->store().table().rowCount(), 1);
        QCOMPARE(TallyFile::read(TallyFile::path()).rowCount(), 1);
        // Tallied again, Bob starts from nothing.
        list(w, "checklist")->item(0)->setCheckState(Qt::Checked);
        tallied->setCurrentRow(0);
        QCOMPARE(values(w), QStringList(8, "0"));
    }

    void theShownOpponentIsHeadedByNameAndFollowsTheGames()
    {
        GameTable t;
        t.host("Ann");
        Player &bob = t.join("Bob");
        Ttallylist *w = bob.registry().tallylist();
        viewTally(bob);
        QCOMPARE(items(list(w, "checklist")), QStringList({"Ann [ ]"}));
        list(w, "checklist")->item(0)->setCheckState(Qt::Checked);
        list(w, "listbox_tally")->setCurrentRow(0);
        QCOMPARE(text(w, "label_hisnametop"), QString("Ann's Tally"));
        QCOMPARE(text(w, "label_hisname"), QString("Ann Wins:"));

        emit bob.client().gameRecorded("Ann");
        emit bob.client().gameRecorded("addtomine");
        emit bob.client().gameRecorded("ann");
        QCOMPARE(values(w), QStringList({"3", "1", "1", "1", "3", "1", "1", "1"}));
        QCOMPARE(text(w, "mylabel_1"), QString("3"));
        QCOMPARE(text(w, "mylabel_2"), QString("1"));
        w->findChild<QPushButton *>("button_done")->click();
        QVERIFY(!w->isVisible());
        // Hidden, it goes on recording.
        emit bob.client().gameRecorded("Ann");
        QCOMPARE(text(w, "label_2"), QString("2"));
    }

    void resetAsksFirst()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        t.join("Bob");
        Ttallylist *w = ann.registry().tallylist();
        viewTally(ann);
        list(w, "checklist")->item(0)->setCheckState(Qt::Checked);
        list(w, "listbox_tally")->setCurrentRow(0);
        emit ann.client().gameRecorded("addtomine");
        QPushButton *reset = w->findChild<QPushButton *>("button_reset");

        ann.answer = false;
        reset->click();
        QCOMPARE(ann.questions, QStringList({"Are you sure you want to reset the Tally?"}));
        QCOMPARE(text(w, "mylabel_1"), QString("1"));
        QCOMPARE(values(w), QStringList({"1", "0", "1", "0", "1", "0", "1", "0"}));
        QCOMPARE(items(list(w, "listbox_tally")), QStringList({"Bob [x]"}));

        ann.answer = true;
        reset->click();
        QCOMPARE(ann.questions.size(), 2);
        QCOMPARE(text(w, "mylabel_1"), QString("0"));
        QCOMPARE(text(w, "mylabel_2"), QString("0"));
        QCOMPARE(values(w), QStringList(8, "0"));
        QCOMPARE(text(w, "label_hisname"), QString("XX Wins:"));
        QCOMPARE(items(list(w, "listbox_tally")), QStringList());
        QCOMPARE(items(list(w, "checklist")), QStringList({"Bob [ ]"}));
        QCOMPARE(TallyFile::read(TallyFile::path()).SaveGridText(), TallyTable().SaveGridText());
    }

    // Names come from other players, counts from a file anybody may edit:
    // the window shows both as written, never as markup, and cuts what does
    // not fit with "…", the whole text in the tooltip. The question before
    // removing an opponent shows the name as written, too.
    void namesAndCountsShowAsWrittenAndFit_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("count");
        QTest::addColumn<bool>("mustCut");
        QTest::newRow("bold") << "<b>Bold</b>" << QByteArray("7") << false;
        QTest::newRow("font") << "<font size=6 color=red>Big</font>" << QByteArray("7") << true;
        QTest::newRow("ampersand") << "A&B" << QByteArray("7") << false;
        QTest::newRow("long name") << "Bartholomew Maximilian of the Northern Isles" << QByteArray("12") << true;
        QTest::newRow("largest count") << "Ann" << QByteArray("9223372036854775807") << true;
    }
    void namesAndCountsShowAsWrittenAndFit()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, count);
        QFETCH(bool, mustCut);
        // One opponent; every counter holds the count, the own totals too.
        // The counts of this run start from 0 as the tally is loaded.
        QByteArray grid = "9\r\n2\r\n0\r\n" + name.toUtf8() + "\r\n";
        for (int column = 1; column < 9; ++column)
            grid += (column <= 2 ? count : QByteArray("0")) + "\r\n" + count + "\r\n";
        TallyFile::write(TallyFile::path(), TallyTable::LoadGridText(grid));

        GameTable t;
        Player &ann = t.host("Me");
        Ttallylist *w = ann.registry().tallylist();
        viewTally(ann);
        list(w, "listbox_tally")->setCurrentRow(0);
        QList<QPair<QString, QString>> shown{{"label_hisnametop", name + "'s Tally"},
                                             {"label_hisname", name + " Wins:"},
                                             {"mylabel_1", count},
                                             {"mylabel_2", count}};
        for (int n = 1; n <= 8; ++n)
            shown.append({"label_" + QString::number(n), n <= 4 ? QString(count) : QString("0")});
        bool anyCut = false;
        for (const auto &[labelName, full] : shown) {
            const QLabel *shownLabel = w->findChild<QLabel *>(labelName);
            QVERIFY2(shownLabel, qPrintable(labelName));
            QCOMPARE(shownLabel->textFormat(), Qt::PlainText);
            const auto *l = qobject_cast<const PanelLabel *>(shownLabel);
            QVERIFY2(l, qPrintable(labelName));
            QVERIFY2(l->fullText() == full, qPrintable(labelName + ": " + l->fullText()));
            QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width(), qPrintable(labelName));
            if (l->text() == full) {
                QCOMPARE(l->toolTip(), QString());
            } else {
                anyCut = true;
                QVERIFY(l->text().endsWith(QChar(0x2026)));
                QVERIFY(full.startsWith(l->text().chopped(1)));
                QCOMPARE(shownTip(l->toolTip()), full);
            }
        }
        QVERIFY(anyCut || !mustCut);

        // The real question box, answered No.
        ann.registry().options.confirmBox = nullptr;
        QString asked;
        Qt::TextFormat format = Qt::AutoText;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                asked = box->text();
                format = box->textFormat();
                box->button(QMessageBox::No)->click();
            }
        });
        answer.start(10);
        list(w, "listbox_tally")->item(0)->setCheckState(Qt::Unchecked);
        answer.stop();
        QCOMPARE(asked, "This will delete " + name + "'s Tally, Are you want to delete it?");
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(items(list(w, "listbox_tally")), QStringList({name + " [x]"}));
    }

    void aDamagedTallyIsReportedOnceAndKeptAside()
    {
        // A container cut short in its first block.
        const QByteArray damaged("WRZL\x10\x00\x00\x00\x05\x00\x40\xff", 12);
        {
            QFile file(TallyFile::path());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(damaged);
        }
        QStringList reports;
        const auto previous = ErrorReport::setSink([&](const QString &text) { reports << text; });
        {
            WindowOptions options;
            options.timers = Ticker::Manual;
            WindowSet windows(options);
            QVERIFY(windows.registry().chat && windows.registry().server);
            QEventLoop loop;
            QTimer::singleShot(0, &loop, &QEventLoop::quit);
            loop.exec();
            QCOMPARE(reports.size(), 1);
            // The player is told where the damaged file went.
            QCOMPARE(reports.first(), "Lzrw1 : Error reading from input file : " + TallyFile::path()
                                          + "\nThe damaged tally was kept as " + TallyFile::path()
                                          + ".damaged, and a new tally begins.");
            QVERIFY(!QFile::exists(TallyFile::path()));
            QFile aside(TallyFile::path() + ".damaged");
            QVERIFY(aside.open(QIODevice::ReadOnly));
            QCOMPARE(aside.readAll(), damaged);

            emit windows.registry().chat->client().gameRecorded("addtomine");
            const TallyTable fresh = TallyFile::read(TallyFile::path());
            QCOMPARE(fresh.counter(1, 0), qint64(1));
            QCOMPARE(fresh.counter(2, 0), qint64(1));
        }
        ErrorReport::setSink(previous);
        QCOMPARE(reports.size(), 1);
    }
};

ZARVEX_TEST_MAIN(TestTallyWindow)
#include "tst_tallywindow.moc"
