#include "social/chatinput.h"
#include "social/chatsender.h"
#include "social/colourtext.h"
#include "support/outbox.h"
#include "support/testmain.h"

namespace {

ChatInput typed(const QString &text)
{
    ChatInput input;
    input.mychatKeyDown();
    input.setText(text);
    return input;
}

} // namespace

class TestChatInput : public QObject
{
    Q_OBJECT

private slots:
    void enterSendsChatOrActionOrNothing_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("chat") << "hello there" << QByteArray("CMD_chat+2+hello there|clBlack");
        QTest::newRow("action") << "/me waves" << QByteArray("CMD_action+2+waves|clBlack");
        QTest::newRow("four characters go without a blank") << "/mewave" << QByteArray("CMD_action+2+ave|clBlack");
        QTest::newRow("/me alone is an empty action") << "/me" << QByteArray("CMD_action+2+|clBlack");
        QTest::newRow("capital /ME is dropped") << "/ME waves" << QByteArray();
        QTest::newRow("other command is dropped") << "/who" << QByteArray();
        QTest::newRow("a lone slash is dropped") << "/" << QByteArray();
        QTest::newRow("a leading blank makes it chat") << " /me waves" << QByteArray("CMD_chat+2+ /me waves|clBlack");
        QTest::newRow("empty line") << "" << QByteArray();
        QTest::newRow("smiley code travels as text") << "hi :)#12" << QByteArray("CMD_chat+2+hi :)#12|clBlack");
        QTest::newRow("text beyond ASCII goes as UTF-8")
            << QString::fromUtf8("caf\u00e9") << QByteArray("CMD_chat+2+caf\xc3\xa9|clBlack");
    }
    void enterSendsChatOrActionOrNothing()
    {
        QFETCH(QString, line);
        QFETCH(QByteArray, sent);
        Outbox out;
        ChatInput input = typed(line);
        QVERIFY(input.sendit(true, out.sender));
        QCOMPARE(out.sent, sent.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{sent});
        QCOMPARE(input.text(), QString());
    }

    void enterBeforeLoginSendsNothingAndKeepsTheText()
    {
        Outbox out;
        ChatInput input = typed("anybody there?");
        QVERIFY(!input.sendit(false, out.sender));
        QVERIFY(out.sent.isEmpty());
        QCOMPARE(input.text(), QString("anybody there?"));
    }

    void messagesCarryTheChatColourAndTheSeatAtSendingTime_data()
    {
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("named") << ColourText::clRed << QByteArray("clRed");
        QTest::newRow("plain") << quint32(0x00FF8040) << QByteArray("$00FF8040");
        QTest::newRow("system") << ColourText::clWindowText << QByteArray("clWindowText");
    }
    void messagesCarryTheChatColourAndTheSeatAtSendingTime()
    {
        QFETCH(quint32, colour);
        QFETCH(QByteArray, text);
        Outbox out;
        out.sender.setColour(colour);
        out.seat = 5;
        ChatInput chat = typed("hi");
        chat.sendit(true, out.sender);
        ChatInput action = typed("/me nods");
        action.sendit(true, out.sender);
        QCOMPARE(out.sent, (QList<QByteArray>{"CMD_chat+5+hi|" + text, "CMD_action+5+nods|" + text}));
    }

    void theFirstKeyRemovesOnlyTheExactPlaceholder_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("placeholder") << ChatInput::placeholder() << QString();
        QTest::newRow("placeholder and more") << "<Enter Chat Here>x" << "<Enter Chat Here>x";
        QTest::newRow("other text") << "hello" << "hello";
    }
    void theFirstKeyRemovesOnlyTheExactPlaceholder()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        ChatInput input;
        if (before != ChatInput::placeholder())
            input.setText(before);
        input.mychatKeyDown();
        QCOMPARE(input.text(), after);
    }

    void smileyAndPasteAppend_data()
    {
        QTest::addColumn<QString>("before");   // null: the placeholder is still there
        QTest::addColumn<int>("smiley");       // 0: paste instead
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("after");
        QTest::newRow("smiley 12 over the placeholder") << QString() << 12 << QString() << ":)#12";
        QTest::newRow("smiley after text") << "hi " << 27 << QString() << "hi :)#27";
        QTest::newRow("paste over the placeholder") << QString() << 0 << "abc" << "abc";
        QTest::newRow("paste after text") << "say " << 0 << "abc" << "say abc";
        QTest::newRow("paste with no text keeps the field") << "hello" << 0 << "" << "hello";
        QTest::newRow("paste with no text still removes the placeholder") << QString() << 0 << "" << "";
        QTest::newRow("line breaks become blanks") << "a" << 0 << "b\r\nc\nd\re" << "ab c d e";
    }
    void smileyAndPasteAppend()
    {
        QFETCH(QString, before);
        QFETCH(int, smiley);
        QFETCH(QString, clipboard);
        QFETCH(QString, after);
        ChatInput input;
        if (!before.isNull())
            input.setText(before);
        if (smiley)
            input.N271Click(smiley);
        else
            input.Paste1Click(clipboard);
        QCOMPARE(input.text(), after);
    }

    // A pasted book must never reach the server whole: the server ends a
    // connection whose message passes 64 KiB, which would end the game.
    void theFieldHoldsAtMostTwoThousandCharacters()
    {
        ChatInput input;
        input.Paste1Click(QString(5000, QChar('x')));
        QCOMPARE(input.text().size(), ChatInput::MaxLength);
        input.Paste1Click("more");
        QCOMPARE(input.text().size(), ChatInput::MaxLength);
        input.setText(QString(2500, QChar('y')));
        QCOMPARE(input.text().size(), ChatInput::MaxLength);

        // A smiley code that does not fit whole is left out, not cut.
        input.setText(QString(ChatInput::MaxLength - 4, QChar('z')));
        input.N271Click(12);
        QCOMPARE(input.text(), QString(ChatInput::MaxLength - 4, QChar('z')));
        input.setText(QString(ChatInput::MaxLength - 5, QChar('z')));
        input.N271Click(12);
        QVERIFY(input.text().endsWith(":)#12"));
        QCOMPARE(input.text().size(), ChatInput::MaxLength);
    }

    void aCutNeverSplitsACharacterOutsideTheBasicPlane()
    {
        const QString face = QString::fromUtf8("\U0001F600");
        QCOMPARE(face.size(), 2);
        const QString text = QString(ChatInput::MaxLength - 1, QChar('a')) + face;
        ChatInput input;
        input.setText(text);
        QCOMPARE(input.text(), QString(ChatInput::MaxLength - 1, QChar('a')));
        QVERIFY(!input.text().toUtf8().contains("\xef\xbf\xbd"));
    }

    // Text from elsewhere (a phrase read from the settings) is cut too, and
    // the longest message stays far below what the server accepts.
    void theSenderCutsLongTextsAndStaysBelowTheServersLimit()
    {
        Outbox out;
        out.sender.chat(QString(3000, QChar(0x20AC)));   // three bytes each in UTF-8
        out.sender.action(QString(3000, QChar('w')));
        QCOMPARE(out.sent.size(), 2);
        const QByteArray chat = out.sent[0];
        QVERIFY(chat.startsWith("CMD_chat+2+"));
        QVERIFY(chat.endsWith("|clBlack"));
        QCOMPARE(QString::fromUtf8(chat.mid(11).chopped(8)).size(), ChatSender::MaxLength);
        QVERIFY(chat.size() < 64 * 1024);
        QCOMPARE(out.sent[1], "CMD_action+2+" + QByteArray(ChatSender::MaxLength, 'w') + "|clBlack");
    }
};

ZARVEX_TEST_MAIN(TestChatInput)
#include "tst_chatinput.moc"
