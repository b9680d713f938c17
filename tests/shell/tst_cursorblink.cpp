#include "shell/cursorblink.h"
#include "support/testmain.h"

#include <QLineEdit>
#include <QStyleHints>

// A text cursor left alone stops blinking; any key or click starts it again.
class TestCursorBlink : public QObject
{
    Q_OBJECT

private slots:
    void theCursorRestsAfterIdleAndBlinksAgainOnInput()
    {
        QStyleHints *hints = QGuiApplication::styleHints();
        const int flashTime = hints->cursorFlashTime();
        QVERIFY(flashTime > 0);
        QLineEdit field;
        {
            CursorBlink blink(30);
            QVERIFY(blink.blinking());
            QTRY_VERIFY(!blink.blinking());
            QCOMPARE(hints->cursorFlashTime(), 0);

            QTest::keyClick(&field, Qt::Key_A);
            QVERIFY(blink.blinking());
            QCOMPARE(hints->cursorFlashTime(), flashTime);
            QTRY_VERIFY(!blink.blinking());

            QTest::mouseClick(&field, Qt::LeftButton);
            QCOMPARE(hints->cursorFlashTime(), flashTime);
            QTRY_VERIFY(!blink.blinking());
        }
        // Gone, it leaves the blinking as it found it.
        QCOMPARE(hints->cursorFlashTime(), flashTime);
        QCOMPARE(field.text(), QString("a"));
    }
};

ZARVEX_TEST_MAIN(TestCursorBlink)
#include "tst_cursorblink.moc"
