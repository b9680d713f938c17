#include "client/tchat.h"
#include "resources/backgroundpicture.h"
#include "resources/imagebutton.h"
#include "shell/windowregistry.h"
#include "social/shoutmenu.h"
#include "social/chatfield.h"
#include "social/chatinputview.h"
#include "social/chatpane.h"
#include "social/colourtext.h"
#include "social/richtextview.h"
#include "support/gametable.h"
#include "support/keys.h"
#include "support/quietwindow.h"
#include "support/testmain.h"

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QTextBrowser>

namespace {

// The main window on its own: it is never connected, so nothing it sends
// leaves it.
struct Window
{
    WindowRegistry registry{quietWindow()};
    Tchat chat{registry};
    ChatInputView *view = chat.chatInput();
    ChatField *field = view->mychat();

    Window()
    {
        chat.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chat));
    }
};

bool near(const QColor &a, const QColor &b)
{
    return qAbs(a.red() - b.red()) <= 12 && qAbs(a.green() - b.green()) <= 12 && qAbs(a.blue() - b.blue()) <= 12;
}

QColor pixel(const ImageButton *button, int x, int y)
{
    return button->pixmap().toImage().pixelColor(x, y);
}

} // namespace

class TestChatInputView : public QObject
{
    Q_OBJECT

private slots:
    void theControlsSitAroundTheChat()
    {
        Window w;
        const QRect pane = w.chat.chatPane()->geometry();
        QCOMPARE(w.field->objectName(), QString("mychat"));
        QCOMPARE(w.field->text(), QString("<Enter Chat Here>"));
        QCOMPARE(w.field->maxLength(), 2000);
        QCOMPARE(w.field->font().pixelSize(), 13);
        QCOMPARE(w.field->font().family(), QString("Arial"));
        QVERIFY(w.field->y() > pane.bottom());
        QCOMPARE(w.field->x(), pane.left());

        int lastRight = pane.left();
        for (int n = 1; n <= 10; ++n) {
            ImageButton *b = w.chat.findChild<ImageButton *>(QStringLiteral("b_phrase%1").arg(n));
            QVERIFY(b);
            QCOMPARE(b->size(), QSize(25, 19));
            QCOMPARE(b->y(), w.view->phraseButton(1)->y());
            QVERIFY(b->geometry().bottom() < pane.top());
            QVERIFY(b->x() >= lastRight);
            QVERIFY(b->geometry().right() <= pane.right());
            lastRight = b->geometry().right();
            QVERIFY(b->isVisible());
        }
        QCOMPARE(w.view->phraseButton(1)->toolTip(), QString("Way To Go!"));
        QCOMPARE(w.view->phraseButton(10)->toolTip(), QString("/me waves \"Good-Bye\""));

        ImageButton *smilies = w.chat.findChild<ImageButton *>("button_smilies");
        QVERIFY(smilies);
        QCOMPARE(smilies->size(), QSize(25, 19));
        QCOMPARE(smilies->toolTip(), QString("See ya!"));
        QVERIFY(smilies->x() > w.field->geometry().right());
        QVERIFY(smilies->geometry().right() <= pane.right());
    }

    // A larger window: the input field keeps its left edge and its distances
    // to the right and bottom edges, the chat view takes the room, and the
    // game panel stays as it was; around the panel the background runs on.
    // Back at the smallest size, everything is where it began.
    void theChatTakesTheRoomOfALargerWindow()
    {
        Window w;
        QWidget *area = w.chat.centralWidget();
        QWidget *panel = w.chat.findChild<QWidget *>("panel_board");
        ChatPane *pane = w.chat.chatPane();
        ImageButton *smilies = w.view->smiliesButton();
        const QSize smallest = area->size();
        const QRect panelAt = panel->geometry(), paneAt = pane->geometry(), fieldAt = w.field->geometry();
        const QRect smiliesAt = smilies->geometry(), phraseAt = w.view->phraseButton(10)->geometry();

        w.chat.resize(1100, 800);
        QTRY_COMPARE(w.chat.size(), QSize(1100, 800));
        const int dx = area->width() - smallest.width();
        const int dy = area->height() - smallest.height();
        QVERIFY(dx >= 300 && dy >= 250);
        QCOMPARE(panel->geometry(), panelAt);
        QCOMPARE(pane->geometry(), paneAt.adjusted(0, 0, dx, dy));
        QCOMPARE(pane->mainchat()->width(), paneAt.width() - 2 * pane->frameWidth() + dx);
        QCOMPARE(w.field->geometry(), fieldAt.adjusted(0, dy, dx, dy));
        QCOMPARE(area->height() - w.field->geometry().bottom(), smallest.height() - fieldAt.bottom());
        QCOMPARE(smilies->geometry(), smiliesAt.translated(dx, dy));
        QCOMPARE(w.view->phraseButton(10)->geometry(), phraseAt);

        // Panel and area show one picture, laid from the panel's corner:
        // below the panel it carries on downwards, letters upright, and
        // right of it sideways, with no edge and nothing repeated.
        QImage picture(area->size(), QImage::Format_RGB32);
        {
            QPainter p(&picture);
            BackgroundPicture::paint(p, picture.rect(), panelAt.topLeft(), panelAt.height());
        }
        const QImage shown = area->grab().toImage().convertToFormat(QImage::Format_RGB32);
        // Below the panel, left of the chat, which lies over the panel's
        // lower right corner and goes down with the window.
        const QRect below(panelAt.left(), panelAt.bottom() + 1, pane->geometry().left() - panelAt.left(),
                          area->height() - panelAt.bottom() - 1);
        const QRect right(panelAt.right() + 1, panelAt.top(), area->width() - panelAt.right() - 1,
                          pane->geometry().top() - 30 - panelAt.top());
        const QRect inside(panelAt.left() + 470, panelAt.top() + 110, 14, 140);   // between board and seats
        for (const QRect &part : {below, right, inside}) {
            QVERIFY(!part.isEmpty());
            QCOMPARE(shown.copy(part), picture.copy(part));
        }
        // A picture with letters in it, not a plain colour.
        QImage plain(below.size(), QImage::Format_RGB32);
        plain.fill(shown.pixel(below.topLeft()));
        QVERIFY(shown.copy(below) != plain);

        w.chat.resize(ClientSettings::defaultPlacement().size());
        QTRY_COMPARE(area->size(), smallest);
        QCOMPARE(pane->geometry(), paneAt);
        QCOMPARE(w.field->geometry(), fieldAt);
        QCOMPARE(smilies->geometry(), smiliesAt);
    }

    void theButtonsPictures()
    {
        Window w;
        QVERIFY(near(pixel(w.view->phraseButton(1), 2, 9), QColor(128, 64, 0)));
        for (int n = 2; n <= 10; ++n) {
            QVERIFY(near(pixel(w.view->phraseButton(n), 2, 9), QColor(255, 215, 0)));
            QVERIFY(near(pixel(w.view->phraseButton(n), 0, 9), Qt::black));
        }
        QVERIFY(near(pixel(w.view->smiliesButton(), 2, 9), QColor(244, 245, 214)));
    }

    void theKeyboardGoesToTheFieldAtFirstAndAfterClearMainChat()
    {
        Window w;
        QCOMPARE(w.chat.focusWidget(), w.field);
        auto *view = w.chat.chatPane()->mainchat()->findChild<QTextBrowser *>();
        view->setFocus();
        QCOMPARE(w.chat.focusWidget(), view);
        w.chat.findChild<QAction *>("ClearMainChat2")->trigger();
        QCOMPARE(w.chat.focusWidget(), w.field);
    }

    void typingReplacesThePlaceholderAndEnterBeforeLoginKeepsTheText()
    {
        Window w;
        QTest::keyClick(w.field, Qt::Key_Shift);
        QCOMPARE(w.field->text(), QString());
        QTest::keyClicks(w.field, "hello");
        QCOMPARE(w.view->input().text(), QString("hello"));
        QTest::keyClick(w.field, Qt::Key_Backspace);
        QCOMPARE(w.view->input().text(), QString("hell"));
        QTest::keyClick(w.field, Qt::Key_Return);
        QCOMPARE(w.field->text(), QString("hell"));
        QCOMPARE(w.view->input().text(), QString("hell"));
        // Keys typed in the middle land where the caret stands.
        QTest::keyClick(w.field, Qt::Key_Home);
        QTest::keyClick(w.field, 'x');
        QCOMPARE(w.view->input().text(), QString("xhell"));
        QCOMPARE(w.field->cursorPosition(), 1);
    }

    // The field edits as any line edit does, and keeps its caret and its
    // selection while chat lines arrive; Ctrl+V alone appends. Between the
    // two key runs a chat line from another player arrives, and Enter then
    // sends exactly what the field shows.
    void theFieldEditsAsAnyLineEditDoes_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QTestEventList>("before");
        QTest::addColumn<QTestEventList>("after");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("clipboardAfter");
        const auto hello = [] { return Keys().type("hello world"); };
        QTest::newRow("typing replaces the selection")
            << "" << QTestEventList(hello().press(Qt::Key_A, Qt::ControlModifier)) << QTestEventList(Keys().type("X"))
            << "X" << "" << 1 << "";
        QTest::newRow("Backspace takes the whole selection")
            << "" << QTestEventList(hello().press(Qt::Key_A, Qt::ControlModifier))
            << QTestEventList(Keys().press(Qt::Key_Backspace)) << "" << "" << 0 << "";
        QTest::newRow("Shift+Left selects, Ctrl+X cuts")
            << "" << QTestEventList(hello().press(Qt::Key_Left, Qt::ShiftModifier, 5))
            << QTestEventList(Keys().press(Qt::Key_X, Qt::ControlModifier)) << "hello " << "" << 6 << "world";
        QTest::newRow("Ctrl+C copies and keeps the selection")
            << "" << QTestEventList(hello().press(Qt::Key_Home).press(Qt::Key_Right, Qt::ShiftModifier, 5))
            << QTestEventList(Keys().press(Qt::Key_C, Qt::ControlModifier)) << "hello world" << "hello" << 5
            << "hello";
        QTest::newRow("Ctrl+V over a selection appends at the end")
            << "abc" << QTestEventList(hello().press(Qt::Key_Home).press(Qt::Key_Right, Qt::ShiftModifier, 5))
            << QTestEventList(Keys().press(Qt::Key_V, Qt::ControlModifier)) << "hello worldabc" << "" << 14 << "abc";
        QTest::newRow("the caret stays where the player put it")
            << "" << QTestEventList(hello().press(Qt::Key_Home).press(Qt::Key_Right, Qt::NoModifier, 2))
            << QTestEventList(Keys().type("X")) << "heXllo world" << "" << 3 << "";
        QTest::newRow("Shift+Home selects back to the start")
            << "" << QTestEventList(hello().press(Qt::Key_Left, {}, 6).press(Qt::Key_Home, Qt::ShiftModifier))
            << QTestEventList(Keys().type("bye")) << "bye world" << "" << 3 << "";
        QTest::newRow("Home, End and Shift+End")
            << "" << QTestEventList(Keys().type("hello").press(Qt::Key_Home))
            << QTestEventList(Keys().type("X").press(Qt::Key_End).type("Y").press(Qt::Key_Home).press(
                   Qt::Key_End, Qt::ShiftModifier))
            << "XhelloY" << "XhelloY" << 7 << "";
    }
    void theFieldEditsAsAnyLineEditDoes()
    {
        QFETCH(QString, clipboard);
        QFETCH(QTestEventList, before);
        QFETCH(QTestEventList, after);
        QFETCH(QString, text);
        QFETCH(QString, selected);
        QFETCH(int, caret);
        QFETCH(QString, clipboardAfter);
        GameTable t;
        Player &ann = t.host("Ann");
        Player &bob = t.join("Bob");
        ann.chat->show();
        QVERIFY(QTest::qWaitForWindowExposed(ann.chat));
        ChatField *field = ann.chat->chatInput()->mychat();
        QList<QByteArray> annHears, bobHears;
        QObject::connect(&ann.client(), &GameClient::chatReceived, [&](const QByteArray &p) { annHears << p; });
        QObject::connect(&bob.client(), &GameClient::chatReceived, [&](const QByteArray &p) { bobHears << p; });
        QGuiApplication::clipboard()->setText(clipboard);

        before.simulate(field);
        ChatField *bobsField = bob.chat->chatInput()->mychat();
        QTest::keyClicks(bobsField, "hi there");
        QTest::keyClick(bobsField, Qt::Key_Return);
        t.settle();
        QCOMPARE(annHears, QList<QByteArray>{"2+Bob chats: hi there|clBlack"});
        after.simulate(field);

        QCOMPARE(field->text(), text);
        QCOMPARE(field->selectedText(), selected);
        QCOMPARE(field->cursorPosition(), caret);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboardAfter);
        QCOMPARE(ann.chat->chatInput()->input().text(), text);

        bobHears.clear();
        QTest::keyClick(field, Qt::Key_Return);
        t.settle();
        const QByteArray said = "1+Ann chats: " + text.toUtf8() + "|clBlack";
        QCOMPARE(bobHears, text.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{said});
        QCOMPARE(field->text(), QString());
    }

    void pasteAppendsTheClipboardWithTheCaretAtTheEnd()
    {
        Window w;
        QMenu *menu = w.field->popup_mychat();
        QCOMPARE(menu->objectName(), QString("popup_mychat"));
        QCOMPARE(menu->actions().size(), 1);
        QAction *paste = menu->actions().first();
        QCOMPARE(paste->text(), QString("Paste"));
        QCOMPARE(paste->shortcut(), QKeySequence("Ctrl+V"));

        QGuiApplication::clipboard()->setText("abc");
        QTest::keyClick(w.field, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(w.field->text(), QString("abc"));
        QTest::keyClick(w.field, Qt::Key_Home);
        paste->trigger();
        QCOMPARE(w.field->text(), QString("abcabc"));
        QCOMPARE(w.field->cursorPosition(), 6);

        QGuiApplication::clipboard()->clear();
        QTest::keyClick(w.field, Qt::Key_Home);
        paste->trigger();
        QCOMPARE(w.field->text(), QString("abcabc"));
        QCOMPARE(w.field->cursorPosition(), 6);

        QGuiApplication::clipboard()->setText(QString(3000, QChar('p')));
        paste->trigger();
        QCOMPARE(w.field->text().size(), 2000);
    }

    void theSmiliesMenuAppendsTheCode()
    {
        Window w;
        QMenu *menu = w.view->popup_smilies();
        QCOMPARE(menu->objectName(), QString("popup_smilies"));
        const QList<QAction *> items = menu->actions();
        QCOMPARE(items.size(), 18);
        for (int k = 0; k < 18; ++k) {
            QCOMPARE(items[k]->text(), QStringLiteral(":)#%1").arg(k + 10));
            QCOMPARE(items[k]->data().toInt(), k + 10);
            QVERIFY(!items[k]->icon().isNull());
            // The names of the text size items ("N8" to "N14") stay theirs alone.
            QVERIFY(!items[k]->objectName().startsWith('N'));
        }
        items[2]->trigger();
        QCOMPARE(w.field->text(), QString(":)#12"));
        QCOMPARE(w.field->cursorPosition(), 5);
        items[17]->trigger();
        QCOMPARE(w.field->text(), QString(":)#12:)#27"));

        QTest::mouseClick(w.view->smiliesButton(), Qt::LeftButton);
        QVERIFY(menu->isVisible());
        menu->hide();
    }

    void theShoutButtonOpensTheWindowsMenu()
    {
        Window w;
        QMenu *sounds = w.chat.popupSounds();
        QCOMPARE(sounds->objectName(), QString("popup_sounds"));
        QCOMPARE(sounds->parent(), &w.chat);
        QCOMPARE(sounds->actions().size(), 15);
        QCOMPARE(sounds->actions().first()->text(), QString("<Cancel>"));
        QCOMPARE(sounds->actions().last()->text(), QString("Honk"));
        QSignalSpy asked(w.view, &ChatInputView::shoutMenuRequested);
        ImageButton *shout = w.view->phraseButton(10);
        QTest::mouseClick(shout, Qt::LeftButton);
        QCOMPARE(asked.count(), 1);
        QCOMPARE(asked.first().first().toPoint(), shout->mapToGlobal(QPoint(25, 19)));
        QVERIFY(sounds->isVisible());
        sounds->hide();
        QVERIFY(w.chat.client().phraseready());
    }

    void theFieldWritesInTheChatColour()
    {
        Window w;
        QCOMPARE(w.field->palette().color(QPalette::Text), QColor(Qt::black));
        w.chat.client().chatSender().setColour(ColourText::clRed);
        w.view->render();
        QCOMPARE(w.field->palette().color(QPalette::Text), QColor(Qt::red));
        w.chat.client().chatSender().setColour(0x00FF8040);
        w.view->render();
        QCOMPARE(w.field->palette().color(QPalette::Text), QColor(0x40, 0x80, 0xFF));
    }
};

ZARVEX_TEST_MAIN(TestChatInputView)
#include "tst_chatinputview.moc"
