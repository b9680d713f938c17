#include "protocol/fieldreader.h"
#include "protocol/messageassembler.h"
#include "protocol/messagedispatcher.h"
#include "protocol/wire.h"
#include "support/loopback.h"
#include "support/testmain.h"

using namespace Loopback;

namespace {

// One end of a game connection as both ends build it: bytes from the socket
// are cut into messages and queued; a tick hands out one message.
struct Receiver
{
    MessageAssembler assembler;
    MessageDispatcher dispatcher;
    QStringList handled;

    explicit Receiver(TSock &sock)
    {
        sock.OnRead = [this](TSock *s, int) {
            for (const QByteArray &message : assembler.feed(s->Receive()))
                dispatcher.enqueue(message);
        };
        for (const char *command : {"CMD_chat", "CMD_full", "CMD_logininfo"}) {
            dispatcher.on(command, [this, command](FieldReader &fields, int) {
                handled << QString::fromLatin1(command) + " " + QString::fromLatin1(fields.rest());
            });
        }
    }
};

} // namespace

class TestFraming : public QObject
{
    Q_OBJECT

private slots:
    void messagesAreBuiltWithTheirTerminator()
    {
        QCOMPARE(Wire::message("CMD_full", {""}), QByteArray("CMD_full+\xff"));
        QCOMPARE(Wire::message("CMD_kickhim", {Wire::num(1), Wire::num(3), ""}),
                 QByteArray("CMD_kickhim+1+3+\xff"));
        QCOMPARE(Wire::message("CMD_x", {}), QByteArray("CMD_x\xff"));
    }

    void integerFields_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<int>("value");
        QTest::newRow("plain") << QByteArray("42") << true << 42;
        QTest::newRow("negative") << QByteArray("-17") << true << -17;
        QTest::newRow("zero") << QByteArray("0") << true << 0;
        QTest::newRow("largest") << QByteArray("2147483647") << true << 2147483647;
        QTest::newRow("smallest") << QByteArray("-2147483648") << true << int(-2147483647 - 1);
        QTest::newRow("too large") << QByteArray("2147483648") << false << 0;
        QTest::newRow("far too large") << QByteArray("99999999999999999999") << false << 0;
        QTest::newRow("empty") << QByteArray() << false << 0;
        QTest::newRow("minus only") << QByteArray("-") << false << 0;
        QTest::newRow("letters") << QByteArray("1a") << false << 0;
        QTest::newRow("placeholder") << QByteArray("***") << false << 0;
        QTest::newRow("leading blank") << QByteArray(" 1") << false << 0;
        QTest::newRow("plus sign") << QByteArray("+1") << false << 0;
    }
    void integerFields()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, readable);
        QFETCH(int, value);
        int parsed = 0;
        QCOMPARE(FieldReader::parseInt(text, parsed), readable);
        if (readable)
            QCOMPARE(parsed, value);
    }

    void fieldsAreTakenFromTheFront()
    {
        FieldReader login("1+1.0.5+Ann+the+Great");
        QCOMPARE(login.integer(), 1);
        QCOMPARE(login.text(), QByteArray("1.0.5"));
        QCOMPARE(login.rest(), QByteArray("Ann+the+Great"));

        QCOMPARE(FieldReader("7").lastInteger(), 7);
        QVERIFY_THROWS_EXCEPTION(FieldReader::Unreadable, FieldReader("7+").lastInteger());

        // Without a "+" the field is empty and the payload stays.
        FieldReader last("tail");
        QCOMPARE(last.text(), QByteArray());
        QCOMPARE(last.rest(), QByteArray("tail"));
        bool stopped = false;
        try {
            last.integer();
        } catch (const FieldReader::Unreadable &) {
            stopped = true;
        }
        QVERIFY(stopped);
    }

    void listsAreReadUpToTheirEndMark()
    {
        FieldReader word("1+3+2+1+3+20");
        word.beginList();
        QList<QPair<int, int>> letters;
        while (!word.listEnded()) {
            const int k = word.integer();
            letters.append({k, word.integer()});
        }
        QCOMPARE(letters, (QList<QPair<int, int>>{{1, 3}, {2, 1}, {3, 20}}));

        // An empty list cannot be read: its first field is no integer.
        FieldReader empty("");
        empty.beginList();
        QVERIFY(!empty.listEnded());
        QVERIFY_THROWS_EXCEPTION(FieldReader::Unreadable, empty.integer());
    }

    void assemblyKeepsTheFragmentAfterTheLastTerminator()
    {
        MessageAssembler assembler;
        QCOMPARE(assembler.feed("CMD_a+1\xff" "CMD_b+"), QList<QByteArray>({"CMD_a+1"}));
        QCOMPARE(assembler.pendingSize(), 6);
        QCOMPARE(assembler.feed("2"), QList<QByteArray>());
        QCOMPARE(assembler.feed("\xff\xff" "CMD_c+3\xff"), QList<QByteArray>({"CMD_b+2", "", "CMD_c+3"}));
        QCOMPARE(assembler.pendingSize(), 0);
    }

    // A message longer than the limit goes, however its bytes are cut into
    // reads; the messages around it arrive whole and the fragment stays small.
    void anOverlongMessageIsDroppedWhole_data()
    {
        QTest::addColumn<int>("chunk");
        QTest::newRow("one read") << 0;
        QTest::newRow("reads of 7 bytes") << 7;
        QTest::newRow("reads of 1000 bytes") << 1000;
        QTest::newRow("reads of 32768 bytes") << 32768;
    }
    void anOverlongMessageIsDroppedWhole()
    {
        QFETCH(int, chunk);
        const QByteArray wire = QByteArray("CMD_a+1\xff") + "CMD_chat+2+" + QByteArray(40, 'x') + '\xff'
                                + "CMD_chat+2+" + QByteArray(20, 'y') + "\xff" "CMD_b+2\xff" "CMD_c+";
        MessageAssembler assembler;
        assembler.setLimit(40);
        QList<QByteArray> got;
        int largestFragment = 0;
        const int step = chunk > 0 ? chunk : int(wire.size());
        for (int at = 0; at < wire.size(); at += step) {
            got += assembler.feed(wire.mid(at, step));
            largestFragment = qMax(largestFragment, assembler.pendingSize());
        }
        QCOMPARE(got, QList<QByteArray>({"CMD_a+1", "CMD_chat+2+" + QByteArray(20, 'y'), "CMD_b+2"}));
        QCOMPARE(assembler.discarded(), 1);
        QVERIFY(largestFragment <= 40);
        QCOMPARE(assembler.feed("3\xff"), QList<QByteArray>({"CMD_c+3"}));
    }

    void aMessageOfExactlyTheLimitIsKept()
    {
        MessageAssembler assembler;
        assembler.setLimit(10);
        QCOMPARE(assembler.feed("CMD_a+"), QList<QByteArray>());
        QCOMPARE(assembler.feed("6789\xff"), QList<QByteArray>({"CMD_a+6789"}));
        QCOMPARE(assembler.feed("CMD_a+67890\xff"), QList<QByteArray>());
        QCOMPARE(assembler.discarded(), 1);
    }

    void dispatchRecognisesCommandsExactly_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QStringList>("handled");
        QTest::newRow("full with its empty field") << QByteArray("CMD_full+") << QStringList{"CMD_full "};
        QTest::newRow("full without a plus") << QByteArray("CMD_full") << QStringList{};
        QTest::newRow("lower case") << QByteArray("cmd_chat+1+hi") << QStringList{};
        QTest::newRow("unknown command") << QByteArray("CMD_dance+1") << QStringList{};
        QTest::newRow("empty message") << QByteArray() << QStringList{};
        QTest::newRow("empty command") << QByteArray("+CMD_chat") << QStringList{};
        QTest::newRow("chat") << QByteArray("CMD_chat+1+a+b+c") << QStringList{"CMD_chat 1+a+b+c"};
    }
    void dispatchRecognisesCommandsExactly()
    {
        QFETCH(QByteArray, message);
        QFETCH(QStringList, handled);
        MessageDispatcher dispatcher;
        QStringList seen;
        for (const char *command : {"CMD_chat", "CMD_full"})
            dispatcher.on(command, [&seen, command](FieldReader &f, int) {
                seen << QString::fromLatin1(command) + " " + QString::fromLatin1(f.rest());
            });
        dispatcher.enqueue(message);
        QVERIFY(dispatcher.dispatchOne());
        QCOMPARE(seen, handled);
        QVERIFY(!dispatcher.dispatchOne());
    }

    void anUnreadableFieldStopsOnlyTheRestOfItsHandler()
    {
        MessageDispatcher dispatcher;
        QList<int> seen;
        dispatcher.on("CMD_pair", [&](FieldReader &f, int) {
            seen << f.integer();
            seen << f.integer();
        });
        dispatcher.enqueue("CMD_pair+5+x", 3);
        dispatcher.enqueue("CMD_pair+6+7+", 4);
        QCOMPARE(dispatcher.queuedFrom(3), 1);
        dispatcher.dispatchOne();
        QCOMPARE(seen, QList<int>({5}));
        QCOMPARE(dispatcher.queuedFrom(3), 0);
        dispatcher.dispatchOne();
        QCOMPARE(seen, QList<int>({5, 6, 7}));
    }

    // A round takes the first message of each origin, oldest first; a long
    // queue from one origin never holds up another's, and every origin's own
    // messages keep their order. Origins dropped or queued to while the round
    // runs are left to the rounds after it.
    void aRoundTakesOneMessageOfEveryOriginInArrivalOrder()
    {
        MessageDispatcher dispatcher;
        QStringList seen;
        dispatcher.on("CMD_chat", [&](FieldReader &f, int origin) {
            const QByteArray text = f.rest();
            seen << QString::number(origin) + ":" + QString::fromLatin1(text);
            if (text == "drop")
                dispatcher.discardFrom(7);
            if (text == "echo")
                dispatcher.enqueue("CMD_chat+late", 9);
        });
        for (int i = 1; i <= 5; ++i)
            dispatcher.enqueue("CMD_chat+flood" + QByteArray::number(i), 2);
        dispatcher.enqueue("CMD_chat+word", 3);
        dispatcher.enqueue("CMD_chat+drop", 4);
        dispatcher.enqueue("CMD_chat+gone", 7);
        dispatcher.enqueue("CMD_chat+echo", 5);
        QCOMPARE(dispatcher.dispatchRound(), 4);
        QCOMPARE(seen, QStringList({"2:flood1", "3:word", "4:drop", "5:echo"}));
        QCOMPARE(dispatcher.queued(), 5);
        QCOMPARE(dispatcher.queuedFrom(7), 0);

        seen.clear();
        QCOMPARE(dispatcher.dispatchRound(), 2);
        QCOMPARE(seen, QStringList({"2:flood2", "9:late"}));
        while (dispatcher.dispatchRound() > 0) {
        }
        QCOMPARE(seen, QStringList({"2:flood2", "9:late", "2:flood3", "2:flood4", "2:flood5"}));
        QCOMPARE(dispatcher.queued(), 0);
        QCOMPARE(dispatcher.dispatchRound(), 0);
    }

    // One at a time, messages still come out in the order they arrived,
    // across origins.
    void oneAtATimeFollowsArrivalAcrossOrigins()
    {
        MessageDispatcher dispatcher;
        QList<int> origins;
        dispatcher.on("CMD_x", [&](FieldReader &, int origin) { origins << origin; });
        for (int origin : {3, 1, 3, 2, 1})
            dispatcher.enqueue("CMD_x+", origin);
        dispatcher.discardFrom(2);
        while (dispatcher.dispatchOne()) {
        }
        QCOMPARE(origins, QList<int>({3, 1, 3, 1}));
    }

    void twoMessagesInOneReadAreHandledOnTwoTicks()
    {
        Pair pair;
        Receiver receiver(pair.server());
        pair.client.Send(Wire::message("CMD_chat", {"1", "one"}) + Wire::message("CMD_chat", {"1", "two"}));
        QTRY_COMPARE(receiver.dispatcher.queued(), 2);
        receiver.dispatcher.dispatchOne();
        QCOMPARE(receiver.handled, QStringList({"CMD_chat 1+one"}));
        receiver.dispatcher.dispatchOne();
        QCOMPARE(receiver.handled, QStringList({"CMD_chat 1+one", "CMD_chat 1+two"}));
    }

    void aMessageSplitOverTwoReadsIsQueuedOnceWhole()
    {
        Pair pair;
        Receiver receiver(pair.server());
        int reads = 0;
        const auto assemble = pair.server().OnRead;
        pair.server().OnRead = [&](TSock *s, int n) { ++reads; assemble(s, n); };
        pair.client.Send("CMD_chat+1+hel");
        QTRY_COMPARE(reads, 1);
        QCOMPARE(receiver.dispatcher.queued(), 0);
        pair.client.Send("lo\xff");
        QTRY_COMPARE(receiver.dispatcher.queued(), 1);
        receiver.dispatcher.dispatchOne();
        QCOMPARE(receiver.handled, QStringList({"CMD_chat 1+hello"}));
    }

    void theLoginsTrailingEmptyMessageIsIgnored()
    {
        Pair pair;
        Receiver receiver(pair.server());
        const QByteArray loginname = QByteArray("Ann") + Wire::Terminator;
        pair.client.Send(Wire::message("CMD_logininfo", {"1", Wire::Version, loginname}));
        QTRY_COMPARE(receiver.dispatcher.queued(), 2);
        while (receiver.dispatcher.dispatchOne()) {
        }
        QCOMPARE(receiver.handled, QStringList({"CMD_logininfo 1+1.0.5+Ann"}));
    }

    void aChatLineKeepsItsPlusSigns()
    {
        Pair pair;
        Receiver receiver(pair.client);
        pair.server().Send(Wire::message("CMD_chat", {"2", "Bob chats: a+b+c|clBlack"}));
        QTRY_COMPARE(receiver.dispatcher.queued(), 1);
        receiver.dispatcher.dispatchOne();
        QCOMPARE(receiver.handled, QStringList({"CMD_chat 2+Bob chats: a+b+c|clBlack"}));
    }
};

ZARVEX_TEST_MAIN(TestFraming)
#include "tst_framing.moc"
