#include "client/tchat.h"
#include "protocol/messageassembler.h"
#include "protocol/wire.h"
#include "settings/tabout.h"
#include "settings/thelp.h"
#include "shell/windowset.h"
#include "support/loopback.h"
#include "support/settle.h"
#include "support/testmain.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>

namespace {

QPushButton *button(QWidget *window, const QString &text)
{
    for (QPushButton *b : window->findChildren<QPushButton *>())
        if (b->text() == text)
            return b;
    return nullptr;
}

QString labelText(QWidget *window, const QString &name)
{
    QLabel *label = window->findChild<QLabel *>(name);
    return label ? label->text() : QStringLiteral("<no %1>").arg(name);
}

QAction *menuAction(Tchat *chat, const QString &name)
{
    return chat->findChild<QAction *>(name);
}

} // namespace

// Receives the addresses the about window asks the desktop to open.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened << url; }
};

class TestHelpAbout : public QObject
{
    Q_OBJECT

private slots:
    void eachTopicButtonShowsItsPageUnderItsCaption_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("title");
        QTest::newRow("overview") << "Overview" << "memo1" << "Overview";
        QTest::newRow("connecting") << "Connecting" << "memo2" << "Connecting";
        QTest::newRow("game play") << "Game Play" << "memo3" << "Game Play";
        QTest::newRow("scoring") << "Scoring" << "memo4" << "Scoring";
        QTest::newRow("documentation") << "Documentation" << "memo5" << "History";
        QTest::newRow("license") << "License" << "memo6" << "License";
        QTest::newRow("lobby") << "The Lobby" << "memo11" << "The Lobby";
    }
    void eachTopicButtonShowsItsPageUnderItsCaption()
    {
        QFETCH(QString, caption);
        QFETCH(QString, page);
        QFETCH(QString, title);
        WindowSet windows;
        Thelp *help = windows.registry().help();
        help->show();
        // Away from the first page, so that every row sees the page change.
        QTest::mouseClick(button(help, caption == "License" ? "Scoring" : "License"), Qt::LeftButton);

        QPushButton *topic = button(help, caption);
        QVERIFY(topic);
        QTest::mouseClick(topic, Qt::LeftButton);
        QCOMPARE(help->captionLabel()->text(), caption);
        QTextBrowser *front = help->currentPage();
        QVERIFY(front);
        QCOMPARE(front->objectName(), page);
        QVERIFY(front->isVisible());
        QCOMPARE(front->toPlainText().section('\n', 0, 0), title);
        // Only the page in front shows.
        for (QTextBrowser *other : help->findChildren<QTextBrowser *>())
            if (other != front)
                QVERIFY2(!other->isVisible(), qPrintable(other->objectName()));
    }

    void theHelpWindowIsLaidOutAsDesigned()
    {
        WindowSet windows;
        Thelp *help = windows.registry().help();
        QCOMPARE(help->windowTitle(), QString("Zarvex - Help File"));
        QCOMPARE(help->size(), QSize(521, 422));
        QVERIFY(!help->isModal());
        QCOMPARE(help->captionLabel()->palette().color(QPalette::Window), QColor(218, 216, 205));
        QCOMPARE(help->captionLabel()->height(), 20);
        const QList<QTextBrowser *> pages = help->findChildren<QTextBrowser *>();
        QCOMPARE(pages.size(), 7);
        for (QTextBrowser *page : pages) {
            QVERIFY(page->isReadOnly());
            QCOMPARE(page->palette().color(QPalette::Base), QColor(237, 207, 137));
            QCOMPARE(page->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            QCOMPARE(page->document()->documentMargin(), 5.0);
        }
        QStringList order;
        for (QPushButton *b : help->findChildren<QPushButton *>())
            order << b->text();
        QCOMPARE(order, QStringList({"Overview", "Connecting", "Game Play", "Scoring", "Documentation",
                                     "License", "The Lobby", "About", "Done"}));
        // The pages take the room a larger window gives.
        help->show();
        help->resize(800, 600);
        QApplication::processEvents();
        QCOMPARE(help->currentPage()->width(), 800 - 137);
        QCOMPARE(help->currentPage()->height(), 600 - 20);
    }

    void f1ShowsTheHelpAtTheTopicLastChosen()
    {
        WindowSet windows;
        Tchat *chat = windows.registry().chat;
        Thelp *help = windows.registry().help();
        QAction *content = menuAction(chat, "Content1");
        QVERIFY(content);
        QCOMPARE(content->shortcut(), QKeySequence(Qt::Key_F1));
        QVERIFY(!help->isVisible());

        content->trigger();
        QVERIFY(help->isVisible());
        QCOMPARE(help->captionLabel()->text(), QString("Overview"));
        QCOMPARE(help->currentPage()->objectName(), QString("memo1"));

        QTest::mouseClick(button(help, "Scoring"), Qt::LeftButton);
        QTest::mouseClick(button(help, "Done"), Qt::LeftButton);
        QVERIFY(!help->isVisible());

        content->trigger();
        QVERIFY(help->isVisible());
        QCOMPARE(help->captionLabel()->text(), QString("Scoring"));
        QCOMPARE(help->currentPage()->objectName(), QString("memo4"));
        QCOMPARE(help->topic(), 4);
    }

    // The help and the about window come up centred on the main window. One
    // asked for again while open comes to the front and takes the keyboard,
    // where the player left it.
    void helpAndAboutComeUpOverTheMainWindowAndToTheFront_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("how");
        QTest::newRow("help by F1") << "Thelp" << "F1";
        QTest::newRow("about from the menu") << "Tabout" << "About1";
        QTest::newRow("about from the help window") << "Tabout" << "help";
    }
    void helpAndAboutComeUpOverTheMainWindowAndToTheFront()
    {
        QFETCH(QString, window);
        QFETCH(QString, how);
        WindowSet windows;
        Tchat *chat = windows.registry().chat;
        Thelp *help = windows.registry().help();
        QWidget *shown = window == "Thelp" ? static_cast<QWidget *>(help) : windows.registry().about();
        chat->move(200, 150);
        chat->show();
        QVERIFY(QTest::qWaitForWindowExposed(chat));
        const auto ask = [&] {
            if (how == "F1") {
                QTest::keyClick(chat, Qt::Key_F1);
            } else if (how == "About1") {
                menuAction(chat, "About1")->trigger();
            } else {
                help->show();
                QTest::mouseClick(button(help, "About"), Qt::LeftButton);
            }
        };
        ask();
        QVERIFY(shown->isVisible());
        const QPoint offset = shown->frameGeometry().center() - chat->frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2, qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
        QTRY_COMPARE(QApplication::activeWindow(), shown);

        // The player moves it aside and goes back to the main window.
        shown->move(shown->pos() + QPoint(40, 30));
        const QPoint placed = shown->pos();
        chat->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), chat);
        ask();
        QTRY_COMPARE(QApplication::activeWindow(), shown);
        QCOMPARE(shown->pos(), placed);
    }

    void bothYearLabelsReadTheYearOfStartUp_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("year");
        QTest::newRow("2031") << QDate(2031, 3, 14) << "2031";
        QTest::newRow("new year's eve") << QDate(2044, 12, 31) << "2044";
    }
    void bothYearLabelsReadTheYearOfStartUp()
    {
        QFETCH(QDate, today);
        QFETCH(QString, year);
        WindowOptions options;
        int readings = 0;
        options.today = [&] {
            ++readings;
            return today;
        };
        WindowSet windows(options);
        QCOMPARE(labelText(windows.registry().help(), "label_year"), year);
        QCOMPARE(labelText(windows.registry().about(), "label_year"), year);
        // Read at creation, not again when shown.
        const int atStart = readings;
        windows.registry().help()->show();
        windows.registry().about()->show();
        QCOMPARE(readings, atStart);
    }

    void theAboutWindowReachedEitherWayIsOneWindow()
    {
        WindowSet windows;
        Tchat *chat = windows.registry().chat;
        Thelp *help = windows.registry().help();
        Tabout *about = windows.registry().about();
        QVERIFY(!about->isVisible());

        menuAction(chat, "About1")->trigger();
        QVERIFY(about->isVisible());
        QTest::mouseClick(button(about, "Done"), Qt::LeftButton);
        QVERIFY(!about->isVisible());

        help->show();
        QTest::mouseClick(button(help, "About"), Qt::LeftButton);
        QVERIFY(about->isVisible());
        QVERIFY(!about->isModal());
        QCOMPARE(windows.registry().about(), about);
        int abouts = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            abouts += qobject_cast<Tabout *>(w) != nullptr;
        QCOMPARE(abouts, 1);
    }

    void theAboutWindowShowsTitleVersionAndCredits()
    {
        WindowSet windows;
        Tabout *about = windows.registry().about();
        QCOMPARE(about->windowTitle(), QString("Zarvex - About"));
        QCOMPARE(about->size(), QSize(304, 174));
        QCOMPARE(labelText(about, "label_title"), QString("Zarvex "));
        QCOMPARE(labelText(about, "version"), QString("1.0.5"));
        QCOMPARE(labelText(about, "label_build"), QString(".4"));
        QVERIFY(labelText(about, "label_credit").contains("the Zarvex developers"));
        QVERIFY(labelText(about, "label_notice").endsWith("2007-"));
        // Every label lies inside the window.
        for (QLabel *label : about->findChildren<QLabel *>())
            QVERIFY2(about->rect().contains(label->geometry()), qPrintable(label->objectName()));
    }

    void theLinkLabelOpensWhatItNames()
    {
        UrlCatcher catcher;
        for (const char *scheme : {"file", "http", "https"})
            QDesktopServices::setUrlHandler(scheme, &catcher, "open");
        WindowSet windows;
        Tabout *about = windows.registry().about();
        about->show();
        QLabel *link = about->findChild<QLabel *>("Label7");
        QVERIFY(link);
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(link->text(), about->link().text);
        QTest::mouseClick(link, Qt::LeftButton);
        for (const char *scheme : {"file", "http", "https"})
            QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(catcher.opened, QList<QUrl>({about->link().url}));
    }

    void theLoginSendsTheAboutWindowsVersionText()
    {
        Loopback::Listener host;
        WindowOptions options;
        options.timers = Ticker::Manual;
        options.gamePort = host.port();
        options.lobbyPort = Loopback::freePort();
        options.arguments = QStringList{"Ann", "127.0.0.1", "join"};
        options.messageBox = [](QWidget *, const QString &text) { qWarning("%s", qPrintable(text)); };
        WindowSet windows(options);
        Tchat *chat = windows.registry().chat;
        chat->processparams();
        QTRY_VERIFY(host.accepted);

        MessageAssembler assembler;
        QList<QByteArray> sent;
        host.accepted->OnRead = [&](TSock *s, int) { sent += assembler.feed(s->Receive()); };
        host.accepted->Send("CMD_sendlogininfo+2" + QByteArray(1, Wire::Terminator));
        settleUntilQuiet([&] {
            bool moved = false;
            for (; chat->client().queued() > 0; moved = true)
                chat->client().Timer1Timer();
            return moved || sent.isEmpty();
        });

        const QString version = labelText(windows.registry().about(), "version");
        QCOMPARE(version, QString("1.0.5"));
        QList<QByteArray> logins;
        for (const QByteArray &m : sent)
            if (m.startsWith("CMD_logininfo"))
                logins << m;
        QCOMPARE(logins, QList<QByteArray>({"CMD_logininfo+2+" + version.toLatin1() + "+Ann"}));
    }
};

ZARVEX_TEST_MAIN(TestHelpAbout)
#include "tst_helpabout.moc"
