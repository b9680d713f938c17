#include "social/chatline.h"
#include "social/chatlinks.h"
#include "social/colourtext.h"
#include "support/chatitems.h"
#include "support/testmain.h"

class TestChatLine : public QObject
{
    Q_OBJECT

private slots:
    void linesBecomeItems_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("relayed chat with smiley 12")
            << "3+bob chats: hi :)#12"
            << QStringList{"P8|bob chats: ", "T8| ", "T8|hi ", "T8| ", "I8#2"};
        QTest::newRow("action: the smiley's colon ends the head")
            << "3+bob waves :)#12" << QStringList{"P8|bob waves : ", "T8|)#12 "};
        QTest::newRow("status line without colon")
            << "0+You are Connected."
            << QStringList{"P0| ", "T0|You ", "T0|are ", "T0|Connected. "};
        QTest::newRow("two blanks give a lone blank")
            << "0+a  b" << QStringList{"P0| ", "T0|a ", "T0| ", "T0|b "};
        QTest::newRow("nothing after the code") << "4+" << QStringList{"P9| "};
        QTest::newRow("not a number: 5x")
            << "1+bob chats: :)#5x" << QStringList{"P6|bob chats: ", "T6| ", "T6| ", "I6#0"};
        QTest::newRow("out of range: 30")
            << "1+bob chats: :)#30" << QStringList{"P6|bob chats: ", "T6| ", "T6| ", "I6#0"};
        QTest::newRow("code at the very end")
            << "1+bob chats: yo :)#"
            << QStringList{"P6|bob chats: ", "T6| ", "T6|yo ", "T6| ", "I6#0"};
        QTest::newRow("one character left") << "1+a: :)#2" << QStringList{"P6|a: ", "T6| ", "T6| ", "I6#0"};
        QTest::newRow("highest and past highest")
            << "2+a::)#27:)#28x"
            << QStringList{"P7|a: ", "T7| ", "I7#17", "T7| ", "I7#0", "T7|x "};
        QTest::newRow("lowest, text after it")
            << "2+a::)#10ok" << QStringList{"P7|a: ", "T7| ", "I7#0", "T7|ok "};
        QTest::newRow("links in any letter case")
            << "2+amy chats: see WWW.Example.com and HTTP://x.org/A"
            << QStringList{"P7|amy chats: ", "T7| ", "T7|see ", "L4|WWW.Example.com ",
                           "T7|and ", "L4|HTTP://x.org/A "};
        QTest::newRow("a link right before a smiley")
            << "2+a: www.b.c:)#13" << QStringList{"P7|a: ", "T7| ", "L4|www.b.c ", "I7#3"};
        QTest::newRow("a link in the head stays plain")
            << "2+www.site.com: hello" << QStringList{"P7|www.site.com: ", "T7| ", "T7|hello "};
        QTest::newRow("leading zero in the code") << "09+x" << QStringList{"P14| ", "T14|x "};
    }
    void linesBecomeItems()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, items);
        const auto read = ChatLine::read(line);
        QVERIFY(read);
        QCOMPARE(describe(read->items()), items);
    }

    void lineCodesOutsideZeroToNineShowNothing_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("empty") << "";
        QTest::newRow("no plus") << "hello there";
        QTest::newRow("empty code") << "+hi";
        QTest::newRow("word") << "abc+hi";
        QTest::newRow("ten") << "10+hi";
        QTest::newRow("negative") << "-1+hi";
        QTest::newRow("blank before") << " 1+hi";
        QTest::newRow("blank after") << "1 +hi";
        QTest::newRow("hexadecimal") << "$1+hi";
        QTest::newRow("huge") << "99999999999999999999+hi";
        QTest::newRow("other digits") << QString::fromUtf8("\u0663+hi");
    }
    void lineCodesOutsideZeroToNineShowNothing()
    {
        QFETCH(QString, line);
        QVERIFY(!ChatLine::read(line));
    }

    void everyLineCodeHasItsStyle()
    {
        const int styles[] = {0, 6, 7, 8, 9, 10, 11, 12, 13, 14};
        for (int code = 0; code <= 9; ++code) {
            const auto line = ChatLine::read(QStringLiteral("%1+x").arg(code));
            QVERIFY(line);
            QCOMPARE(line->code(), code);
            QCOMPARE(line->style(), styles[code]);
        }
    }

    void receivedPayloadsSplitOffTheirColour_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<QString>("line");
        QTest::addColumn<quint32>("colour");
        QTest::newRow("named") << "2+amy chats: hi|clBlue" << "2+amy chats: hi" << quint32(0xFF0000);
        QTest::newRow("hexadecimal") << "2+x|$00030201" << "2+x" << quint32(0x030201);
        QTest::newRow("no bar: all of it, red") << "2+amy chats: hi" << "2+amy chats: hi" << quint32(0xFF);
        QTest::newRow("bar in the text: cut there, red")
            << "2+amy chats: a|b|clBlue" << "2+amy chats: a" << quint32(0xFF);
        QTest::newRow("empty colour") << "2+x|" << "2+x" << quint32(0xFF);
    }
    void receivedPayloadsSplitOffTheirColour()
    {
        QFETCH(QString, payload);
        QFETCH(QString, line);
        QFETCH(quint32, colour);
        const ChatLine::Received received = ChatLine::received(payload);
        QCOMPARE(received.line, line);
        QCOMPARE(received.colour, colour);
    }

    void islink_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("link");
        QTest::newRow("www") << "www.a.com " << true;
        QTest::newRow("mixed case www") << "wWw.a" << true;
        QTest::newRow("http anywhere") << "(see:HtTp://a)" << true;
        QTest::newRow("https alone is no link") << "https://a.com" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("www without dot") << "www " << false;
        QTest::newRow("http without slashes") << "http:a" << false;
    }
    void islink()
    {
        QFETCH(QString, word);
        QFETCH(bool, link);
        QCOMPARE(ChatLine::islink(word), link);
    }

    void everyLinkKeepsItsOwnText()
    {
        ChatLinks links;
        QCOMPARE(links.linkcounter(), -1);
        for (int n = 0; n < 150; ++n)
            QCOMPARE(links.add(QStringLiteral("www.site%1.com ").arg(n)), n);
        QCOMPARE(links.linkcounter(), 149);
        // Up to the 101st link and well past it, a link opens what it shows.
        for (int n : {0, 1, 2, 100, 101, 102, 149})
            QCOMPARE(links.target(n), QStringLiteral("www.site%1.com").arg(n));
        QCOMPARE(links.target(150), QString());
        QCOMPARE(links.target(-1), QString());

        links.clear();
        QCOMPARE(links.linkcounter(), -1);
        QCOMPARE(links.add("www.again.com   "), 0);
        QCOMPARE(links.target(0), QString("www.again.com"));
    }

    void onlyWebPagesHaveAnAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("address");
        QTest::newRow("www") << "www.example.com" << "http://www.example.com";
        QTest::newRow("http") << "http://x.org/A?b=1" << "http://x.org/A?b=1";
        QTest::newRow("capital scheme") << "HTTP://x.org" << "http://x.org";
        QTest::newRow("script") << "javascript:alert(1)//www.x" << "";
        QTest::newRow("local file") << "file:///etc/passwd?www.x" << "";
        QTest::newRow("other scheme") << "xhttp://foo.com" << "";
    }
    void onlyWebPagesHaveAnAddress()
    {
        QFETCH(QString, text);
        QFETCH(QString, address);
        QCOMPARE(ChatLinks::webAddress(text).toString(), address);
    }
};

ZARVEX_TEST_MAIN(TestChatLine)
#include "tst_chatline.moc"
