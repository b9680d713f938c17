#include "client/tchat.h"
#include "shell/errorreport.h"
#include "shell/windowregistry.h"
#include "social/chatpane.h"
#include "social/richtextview.h"
#include "social/smileypictures.h"
#include "support/chatitems.h"
#include "support/quietwindow.h"
#include "support/testmain.h"

#include <QAction>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextFrame>

#include <array>
#include <memory>

namespace {

// The main window with its chat, the desktop's browser and message boxes
// replaced by lists.
struct Chat
{
    // Two arguments: the window stays at its loading line and connects nowhere.
    WindowRegistry registry{quietWindow()};
    Tchat window{registry};
    ChatPane *pane = window.findChild<ChatPane *>();
    RichTextView *view = pane->mainchat();
    QStringList opened;
    QStringList messages;

    Chat()
    {
        pane->setLinkOpener([this](const QString &text) { opened << text; });
        pane->setMessageBox([this](const QString &text) { messages << text; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        pane->ClearMainChat1Click();   // the loading line
    }

    // Where `text` starts in the document, a picture counting as one character.
    int positionOf(const QString &text) const { return browser()->toPlainText().indexOf(text); }
    QColor colourAt(int position) const { return view->formatAt(position).foreground().color(); }
    QTextBrowser *browser() const { return view->findChild<QTextBrowser *>(); }
};

QAction *item(QObject *menu, const char *name)
{
    return menu->findChild<QAction *>(QString::fromLatin1(name));
}

} // namespace

class TestChatPane : public QObject
{
    Q_OBJECT

private slots:
    void thePaneSitsInItsPanelWithItsMenus()
    {
        Chat chat;
        QCOMPARE(chat.view->objectName(), QString("mainchat"));
        // The design size at the window's smallest size; the chat takes any
        // room the window has beyond it.
        const QWidget *area = chat.window.centralWidget();
        QCOMPARE(chat.view->size(), QSize(268, 211) + (area->size() - area->minimumSize()));
        QCOMPARE(chat.browser()->palette().color(QPalette::Base), QColor(237, 207, 137));
        QCOMPARE(chat.browser()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(chat.pane->frameWidth() > 0);
        QVERIFY(chat.pane->geometry().right() < chat.window.width());
        QVERIFY(chat.pane->geometry().bottom() < chat.window.centralWidget()->height());
        QVERIFY(chat.pane->x() > chat.window.width() / 2);

        QStringList popup;
        for (QAction *action : chat.pane->popup_mainchat()->actions())
            popup << (action->isSeparator() ? "-" : action->text() + "/" + action->shortcut().toString());
        QCOMPARE(popup, QStringList({"Select All/", "Copy/Ctrl+C", "Clear Main Chat/", "-",
                                     "Scroll Chat Off/Ctrl+S"}));

        auto *options = chat.window.menuBar()->findChild<QMenu *>("menu_options");
        QVERIFY(options);
        QCOMPARE(options->title().remove('&'), QString("Options"));
        QVERIFY(item(options, "ClearMainChat2"));
        // Ctrl+S starts a game from the menus; the context menu keeps it.
        QCOMPARE(item(options, "ScrollChatOff2")->shortcut(), QKeySequence());
    }

    void anExistingOptionsMenuIsExtended()
    {
        QMainWindow window;
        QMenu *options = window.menuBar()->addMenu("Options");
        options->setObjectName("menu_options");
        options->addAction("Play Sounds");
        ChatPane pane(&window);
        pane.addOptionsItems(window.menuBar());
        QCOMPARE(window.menuBar()->findChildren<QMenu *>("menu_options").size(), 1);
        QCOMPARE(options->actions().size(), 3);
        QCOMPARE(options->actions().at(2)->objectName(), QString("ScrollChatOff2"));
    }

    void relayedLinesReachTheViewAsItems()
    {
        Chat chat;
        chat.window.chatrecieved("3+bob chats: hi :)#12 www.a.com|clBlue");
        chat.window.addlinetochat("0+You are Connected.");
        QCOMPARE(describe(chat.view->items()),
                 QStringList({"P8|bob chats: ", "T8| ", "T8|hi ", "T8| ", "I8#2", "T8| ", "L4|www.a.com ",
                              "P0| ", "T0|You ", "T0|are ", "T0|Connected. "}));
        QCOMPARE(chat.view->items().at(6).link, 0);
        QCOMPARE(chat.view->itemCount(), 11);
        QCOMPARE(chat.view->plainText(), QString("bob chats:  hi   www.a.com \n You are Connected. "));

        QCOMPARE(chat.colourAt(chat.positionOf("bob")), QColor(0, 0, 255));
        QVERIFY(chat.view->formatAt(chat.positionOf("bob")).fontWeight() == QFont::Bold);
        QCOMPARE(chat.colourAt(chat.positionOf("You")), QColor(0, 0, 255));
        const QTextCharFormat link = chat.view->formatAt(chat.positionOf("www"));
        QVERIFY(link.isAnchor() && link.fontUnderline());
        QCOMPARE(link.foreground().color(), QColor(0, 128, 0));
    }

    void aBarInTheTextCutsTheLineAndShowsItRed()
    {
        Chat chat;
        chat.window.chatrecieved("2+amy chats: hi|there|clBlue");
        QCOMPARE(chat.view->plainText(), QString("amy chats:  hi "));
        QCOMPARE(chat.colourAt(chat.positionOf("hi")), QColor(255, 0, 0));
    }

    void aSeatsNewColourRecoloursItsEarlierLines()
    {
        Chat chat;
        chat.window.chatrecieved("3+bob chats: one www.x.com :)#10|clBlue");
        chat.window.addlinetochat("0+between");
        chat.window.chatrecieved("4+cy chats: mine|clGreen");
        chat.window.chatrecieved("3+bob waves|clBlue");
        const int one = chat.positionOf("one"), waves = chat.positionOf("waves");
        QCOMPARE(chat.colourAt(one), QColor(0, 0, 255));

        chat.window.chatrecieved("3+bob chats: now red|clRed");
        for (int position : {chat.positionOf("bob"), one, waves, chat.positionOf("now")})
            QCOMPARE(chat.colourAt(position), QColor(255, 0, 0));
        QCOMPARE(chat.colourAt(chat.positionOf("mine")), QColor(0, 128, 0));
        QCOMPARE(chat.colourAt(chat.positionOf("between")), QColor(0, 0, 255));
        QCOMPARE(chat.colourAt(chat.positionOf("www")), QColor(0, 128, 0));
        QVERIFY(chat.view->formatAt(chat.positionOf("www")).isAnchor());
        // The smiley is still the same picture.
        const QList<ChatItem> &items = chat.view->items();
        QCOMPARE(std::count_if(items.begin(), items.end(),
                               [](const ChatItem &i) { return i.kind == ChatItem::Picture; }),
                 1);
    }

    // What the player sees: the painted pixels of an early line, scrolled
    // back to through a long chat, take the seat's latest colour; another
    // seat's lines keep theirs.
    void aRecolouredSeatsEarlierLinesArePaintedInItsNewColour()
    {
        Chat chat;
        chat.window.chatrecieved("3+bob chats: WWWWWWWW|clBlue");
        chat.window.chatrecieved("4+cy chats: MMMMMMMM|clGreen");
        for (int n = 0; n < 300; ++n)
            chat.window.chatrecieved(QStringLiteral("%1+p chats: line %2|%3")
                                         .arg(3 + n % 2)
                                         .arg(n)
                                         .arg(n % 2 ? "clGreen" : "clBlue")
                                         .toUtf8());
        chat.window.chatrecieved("3+bob chats: now red|clRed");

        const auto inkOf = [&](const QString &word) {
            chat.view->setScrollPosition(0);
            QTextCursor cursor(chat.browser()->document());
            cursor.setPosition(chat.positionOf(word));
            const QRect from = chat.browser()->cursorRect(cursor);
            cursor.setPosition(chat.positionOf(word) + word.size());
            const QRect area = from.united(chat.browser()->cursorRect(cursor));
            const QImage shot = chat.browser()->viewport()->grab(area).toImage();
            int red = 0, blue = 0, green = 0;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x) {
                    const QColor c = shot.pixelColor(x, y);
                    red += c.red() > 150 && c.green() < 100 && c.blue() < 100;
                    blue += c.blue() > 150 && c.red() < 100 && c.green() < 100;
                    green += c.green() > 80 && c.red() < 60 && c.blue() < 60;
                }
            return std::array<int, 3>{red, green, blue};
        };
        const auto first = inkOf("WWWWWWWW");
        QVERIFY2(first[0] > 20 && first[2] == 0, "the first line of the seat is painted red");
        const auto other = inkOf("MMMMMMMM");
        QVERIFY2(other[1] > 20 && other[0] == 0, "another seat keeps its green");

        // A new colour for the other seat, seen after the window grew.
        chat.window.chatrecieved("4+cy chats: now blue|clBlue");
        chat.window.resize(chat.window.width() + 200, chat.window.height() + 100);
        QCoreApplication::processEvents();
        const auto grown = inkOf("MMMMMMMM");
        QVERIFY2(grown[2] > 20 && grown[1] == 0, "the other seat's first line is painted blue");
    }

    void badLineCodesShowNothingAndSayNothing()
    {
        Chat chat;
        QStringList reports;
        const auto previous = ErrorReport::setSink([&](const QString &text) { reports << text; });
        for (const char *line : {"x+hi", "10+hi", "-1+hi", "hi there", ""})
            chat.window.addlinetochat(line);
        chat.window.chatrecieved("bob chats: flood|clRed");
        ErrorReport::setSink(previous);
        QCOMPARE(chat.view->itemCount(), 0);
        QVERIFY(reports.isEmpty());
        QVERIFY(chat.messages.isEmpty());
    }

    void aClickedLinkOpensItsWordAsTyped()
    {
        Chat chat;
        chat.window.chatrecieved("2+amy chats: look WWW.Example.com/Path now|clBlue");
        QTextCursor cursor(chat.browser()->document());
        cursor.setPosition(chat.positionOf("Example"));
        const QPoint at = chat.browser()->cursorRect(cursor).center() + QPoint(2, 0);
        QTest::mouseClick(chat.browser()->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(chat.opened, QStringList({"WWW.Example.com/Path"}));
    }

    void linksPastTheHundredAndFirstOpenTheirOwnWords()
    {
        Chat chat;
        for (int n = 0; n < 120; ++n)
            chat.window.chatrecieved(QStringLiteral("2+amy chats: www.site%1.com|clBlue").arg(n).toUtf8());
        QCOMPARE(chat.pane->linktable().linkcounter(), 119);
        for (int n : {1, 100, 101, 102, 119})
            chat.pane->mainchatJump(n);
        QCOMPARE(chat.opened, QStringList({"www.site1.com", "www.site100.com", "www.site101.com",
                                           "www.site102.com", "www.site119.com"}));
        chat.pane->mainchatJump(120);
        QCOMPARE(chat.messages, QStringList({"Cannot open Webpage"}));
        QCOMPARE(chat.opened.size(), 5);
    }

    void aLinkThatIsNoWebPageIsNotOpened()
    {
        Chat chat;
        chat.window.chatrecieved("2+amy chats: javascript:alert(1)//www.x|clBlue");
        QCOMPARE(chat.view->items().last().kind, ChatItem::Link);
        chat.pane->mainchatJump(0);
        QVERIFY(chat.opened.isEmpty());
        QCOMPARE(chat.messages, QStringList({"Cannot open Webpage"}));
    }

    void clearingRestartsTheLinksAndFocusesTheInput()
    {
        Chat chat;
        auto *input = chat.window.findChild<QLineEdit *>("mychat");
        QVERIFY(input);
        QApplication::setActiveWindow(&chat.window);
        chat.window.chatrecieved("2+amy chats: www.a.com www.b.com www.c.com|clBlue");
        chat.view->setFocus();

        item(chat.pane->popup_mainchat(), "ClearMainChat1")->trigger();
        QCOMPARE(chat.view->itemCount(), 0);
        QCOMPARE(chat.view->plainText(), QString());
        QCOMPARE(chat.pane->linktable().linkcounter(), -1);
        QTRY_VERIFY(input->hasFocus());

        chat.window.chatrecieved("2+amy chats: www.new.com :)#10|clBlue");
        QCOMPARE(chat.view->items().at(2).link, 0);
        QTextDocument *doc = chat.browser()->document();
        QCOMPARE(doc->rootFrame()->frameFormat().leftMargin(), 5.0);
        QVERIFY(!doc->resource(QTextDocument::ImageResource, QUrl("picture:0")).isNull());
        chat.pane->mainchatJump(0);
        QCOMPARE(chat.opened, QStringList({"www.new.com"}));
    }

    // Clearing a long coloured chat moves the scroll bar while the document
    // empties: no colour of the old lines may be painted onto the new ones.
    void clearingALongColouredChatLeavesNoOldColours()
    {
        Chat chat;
        for (int n = 0; n < 200; ++n)
            chat.window.chatrecieved(QStringLiteral("3+bob chats: line %1|clRed").arg(n).toUtf8());
        QVERIFY(chat.view->scrollMaximum() > 0);
        chat.view->setScrollPosition(chat.view->scrollMaximum() / 2);
        QTest::failOnWarning(QRegularExpression("out of range"));
        item(chat.pane->popup_mainchat(), "ClearMainChat1")->trigger();
        QCoreApplication::processEvents();
        chat.window.chatrecieved("4+cy chats: fresh|clGreen");
        QCoreApplication::processEvents();
        QCOMPARE(chat.colourAt(chat.positionOf("fresh")), QColor(0, 128, 0));
    }

    void scrollChatOffKeepsTheScrollPosition()
    {
        Chat chat;
        for (int n = 0; n < 60; ++n)
            chat.window.addlinetochat(QStringLiteral("0+line %1").arg(n).toUtf8());
        QVERIFY(chat.view->scrollMaximum() > 0);
        QCOMPARE(chat.view->scrollPosition(), chat.view->scrollMaximum());

        QAction *popupItem = item(chat.pane->popup_mainchat(), "ScrollChatOff1");
        QAction *optionsItem = item(chat.window.menuBar(), "ScrollChatOff2");
        optionsItem->trigger();
        QVERIFY(chat.pane->scrollChatOff() && popupItem->isChecked() && optionsItem->isChecked());

        chat.view->setScrollPosition(30);
        const int maximum = chat.view->scrollMaximum();
        for (int n = 0; n < 20; ++n)
            chat.window.addlinetochat("0+more");
        QVERIFY(chat.view->scrollMaximum() > maximum);
        QCOMPARE(chat.view->scrollPosition(), 30);

        popupItem->trigger();
        QVERIFY(!chat.pane->scrollChatOff() && !popupItem->isChecked() && !optionsItem->isChecked());
        chat.window.addlinetochat("0+last");
        QCOMPARE(chat.view->scrollPosition(), chat.view->scrollMaximum());
    }

    void copyPutsTheSelectionOnTheClipboardAsPlainText()
    {
        Chat chat;
        QClipboard *clipboard = QApplication::clipboard();
        clipboard->setText("before");
        chat.pane->Copy1Click();
        QCOMPARE(clipboard->text(), QString("before")); // nothing selected

        chat.window.chatrecieved("2+amy chats: hi :)#11 <b>bold</b>|clBlue");
        chat.window.addlinetochat("0+done");
        chat.pane->SelectAll1Click();
        chat.pane->Copy1Click();
        QCOMPARE(clipboard->text(), QString("amy chats:  hi   <b>bold</b> \n done "));
        QVERIFY(!clipboard->mimeData()->hasHtml());
    }

    void doubleClickSelectsUpToTheDelimiters_data()
    {
        QTest::addColumn<QString>("at");
        QTest::addColumn<QString>("word");
        QTest::newRow("between dots") << "exam" << "example";
        QTest::newRow("after a bracket") << "pha" << "alpha";
        QTest::newRow("between braces and quotes") << "et" << "beta";
        QTest::newRow("keeps other punctuation") << "mm" << "ga!mma-x";
    }
    void doubleClickSelectsUpToTheDelimiters()
    {
        QFETCH(QString, at);
        QFETCH(QString, word);
        Chat chat;
        chat.window.addlinetochat("0+www.example.com(alpha){\"beta\"};ga!mma-x,end");
        chat.view->selectWordAt(chat.positionOf(at) + 1);
        QCOMPARE(chat.view->selectedText(), word);
    }

    void theTextSizeShowsWithTheNextLine()
    {
        Chat chat;
        chat.window.addlinetochat("0+first");
        const int first = chat.positionOf("first");
        QCOMPARE(chat.view->formatAt(first).fontPointSize(), 10.0);
        chat.pane->setTextSize(14);
        QCOMPARE(chat.view->formatAt(first).fontPointSize(), 10.0);
        chat.window.chatrecieved("5+eve chats: second|clBlue");
        QCOMPARE(chat.view->formatAt(first).fontPointSize(), 14.0);
        QCOMPARE(chat.view->formatAt(chat.positionOf("second")).fontPointSize(), 14.0);
    }

    void smileyPicturesAreEighteenDistinctFaces()
    {
        const QList<QImage> &pictures = SmileyPictures::imagelist();
        QCOMPARE(pictures.size(), 18);
        for (int i = 0; i < pictures.size(); ++i) {
            const QImage &p = pictures.at(i);
            QCOMPARE(p.size(), QSize(17, 16));
            QCOMPARE(qAlpha(p.pixel(0, 0)), 0);                 // transparent corner
            QCOMPARE(qAlpha(p.pixel(8, 8)), 255);               // solid face
            for (int j = 0; j < i; ++j)
                QVERIFY2(p != pictures.at(j), qPrintable(QString("%1 and %2 look alike").arg(i).arg(j)));
        }
        Chat chat;
        chat.window.chatrecieved("2+amy chats: :)#14|clBlue");
        const QTextCharFormat shown = chat.view->formatAt(chat.positionOf(QChar(QChar::ObjectReplacementCharacter)));
        QVERIFY(shown.isImageFormat());
        QCOMPARE(shown.toImageFormat().name(), QString("picture:4"));
    }
};

ZARVEX_TEST_MAIN(TestChatPane)
#include "tst_chatpane.moc"
