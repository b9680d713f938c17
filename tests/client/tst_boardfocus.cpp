#include "client/boardview.h"
#include "client/gamepanelview.h"
#include "client/panellabel.h"
#include "social/chatfield.h"
#include "social/chatinputview.h"
#include "support/startgame.h"
#include "support/testmain.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTextBrowser>

namespace {

QString spoken(QObject *object, QAccessible::Text kind)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(object);
    return face ? face->text(kind) : QStringLiteral("<none>");
}

} // namespace

// The main window played without a mouse: Tab takes the keyboard to the
// board, which shows its cursor, and the keys find the word.
class TestBoardFocus : public QObject
{
    Q_OBJECT

private slots:
    void tabTakesTheKeysToTheBoardAndTypingFindsTheWord()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        t.join("Bob");
        ann.chat->show();
        QApplication::setActiveWindow(ann.chat);
        QVERIFY(QTest::qWaitForWindowActive(ann.chat));
        QWidget *field = ann.chat->chatInput()->mychat();
        BoardView *board = ann.chat->gamePanel()->board();
        QCOMPARE(QApplication::focusWidget(), field);

        // The cursor's frame shows only while the board has the keyboard.
        const QImage unfocused = board->grab().toImage();
        QTest::keyClick(field, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), board);
        const QImage focused = board->grab().toImage();
        QVERIFY(focused.pixel(2, 22) != unfocused.pixel(2, 22));   // the frame on (1, 1)
        QCOMPARE(focused.pixel(22 + 44, 22), unfocused.pixel(22 + 44, 22));
        QTest::keyClick(board, Qt::Key_Tab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), field);
        QTest::keyClick(field, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), board);

        startShortGame(t, ann, false);
        QCOMPARE(ann.client().panel().status, QString("Your Turn."));
        // What a screen reader hears: the seats, the chat and the board.
        QCOMPARE(spoken(ann.chat->gamePanel()->nameLabel(1), QAccessible::Name), QString("Seat 1: Ann"));
        QCOMPARE(spoken(ann.chat->gamePanel()->nameLabel(2), QAccessible::Name), QString("Seat 2: Bob"));
        QCOMPARE(spoken(ann.chat->gamePanel()->nameLabel(1), QAccessible::Description), QString("Score 0"));
        QCOMPARE(spoken(field, QAccessible::Name), QString("Chat input"));
        QCOMPARE(spoken(ann.chat->findChild<QTextBrowser *>(), QAccessible::Name), QString("Chat"));

        // Walk the cursor to each of the word's tiles and type its letter.
        TServer &server = *ann.server();
        const QByteArray word = server.board().word();
        const QList<QByteArray> fields = server.board().wordpositions().mid(1).split('+');
        for (int k = 0; k < word.size(); ++k) {
            const int column = fields[2 * k].toInt(), row = fields[2 * k + 1].toInt();
            QTest::keyClick(board, Qt::Key_Home);
            for (int c = 1; c < column; ++c)
                QTest::keyClick(board, Qt::Key_Right);
            for (int r = 1; r < row; ++r)
                QTest::keyClick(board, Qt::Key_Down);
            const QString letter = QString(QChar(word[k])).toUpper();
            QCOMPARE(spoken(board, QAccessible::Value),
                     QString("Column %1, row %2: %3").arg(column).arg(row).arg(letter));
            QTest::keyClick(board, word[k]);
            if (k == 0) {
                QCOMPARE(spoken(board, QAccessible::Value),
                         QString("Column %1, row %2: %3, taken").arg(column).arg(row).arg(letter));
                QCOMPARE(spoken(ann.chat->findChild<QLabel *>("letter_1"), QAccessible::Description),
                         letter + ", taken");
            }
        }
        t.settle();
        // The server took the word that left on its last letter.
        QCOMPARE(ann.client().panel().status, QString("You have found the word!"));
        QVERIFY(ann.client().row(1).foundit);
        QCOMPARE(ann.sounds.count("sendword"), 1);
    }
};

ZARVEX_TEST_MAIN(TestBoardFocus)
#include "tst_boardfocus.moc"
