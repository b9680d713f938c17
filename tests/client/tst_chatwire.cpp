#include "client/settingsmenus.h"
#include "protocol/messageassembler.h"
#include "resources/imagebutton.h"
#include "shell/programfolder.h"
#include "social/chatfield.h"
#include "social/chatinputview.h"
#include "social/chatpane.h"
#include "social/phrasebuttons.h"
#include "social/richtextview.h"
#include "support/chatitems.h"
#include "support/gametable.h"
#include "support/reports.h"
#include "support/testmain.h"

#include <QClipboard>
#include <QFile>

namespace {

// What one player's window received from the server as chat and actions.
struct Ears
{
    QList<QByteArray> heard;
    explicit Ears(Player &p)
    {
        QObject::connect(&p.client(), &GameClient::chatReceived, [this](const QByteArray &l) { heard << l; });
    }
};

ChatField *field(Player &p)
{
    return p.chat->chatInput()->mychat();
}

// Types the line and sends it. A line the server relays comes back to its
// speaker as to everyone: that is waited for, since a loaded machine may
// give a quiet moment before it has gone round.
void say(GameTable &t, Player &p, const QString &line, bool relayed = true)
{
    int back = 0;
    const QMetaObject::Connection echo =
        QObject::connect(&p.client(), &GameClient::chatReceived, [&back] { ++back; });
    QTest::keyClicks(field(p), line);
    QTest::keyClick(field(p), Qt::Key_Return);
    if (relayed)
        QVERIFY2(t.settleUntil([&back] { return back > 0; }), qPrintable(line));
    t.settle();
    QObject::disconnect(echo);
}

// The items of the last line the player's chat view shows.
QStringList lastLine(Player &p)
{
    const QList<ChatItem> items = p.chat->chatPane()->mainchat()->items();
    int start = int(items.size()) - 1;
    while (start > 0 && items[start].kind != ChatItem::Paragraph)
        --start;
    return describe(items.mid(start));
}

} // namespace

// Two copies of the program in one process, talking through the host's
// server: what one player types shows in the other's chat.
class TestChatWire : public QObject
{
    Q_OBJECT

private slots:
    // Every test starts from a first run: no settings file.
    void init() { QFile::remove(ProgramFolder::file("quorblobby.ini")); }

    void aTypedLineReachesTheOtherWindowWithNameAndColour()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        Player &bob = t.join("Bob");
        ann.chat->show();
        bob.chat->show();
        Ears bobHears(bob);
        ann.client().chatSender().setColour(0x00FF8040);

        say(t, ann, "hello :)#12");
        QCOMPARE(bobHears.heard, QList<QByteArray>{"1+Ann chats: hello :)#12|$00FF8040"});
        QCOMPARE(lastLine(bob), (QStringList{"P6|Ann chats: ", "T6| ", "T6|hello ", "T6| ", "I6#2"}));
        QCOMPARE(bob.chat->chatPane()->mainchat()->style(6).colour, quint32(0x00FF8040));
        // Ann's field is empty again and keeps the keyboard.
        QCOMPARE(field(ann)->text(), QString());
        QCOMPARE(ann.chat->focusWidget(), field(ann));

        say(t, bob, "/me waves");
        QCOMPARE(lastLine(ann), (QStringList{"P7| ", "T7|Bob ", "T7|waves "}));
        say(t, bob, "/who", false);
        say(t, bob, "/me");
        QCOMPARE(bobHears.heard.last(), QByteArray("2+Bob |clBlack"));
        QCOMPARE(field(bob)->text(), QString());
    }

    // The stored text colour arrives with the login and colours the field
    // and everything the player says.
    void theStoredTextColourColoursFieldAndLines()
    {
        QFile ini(ProgramFolder::file("quorblobby.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write("[Zarvex]\r\nTextcolor=clRED\r\nPhrase1=Go team!\r\n");
        ini.close();
        GameTable t;
        Player &ann = t.host("Ann");
        Player &bob = t.join("Bob");
        ini.remove();
        Ears annHears(ann);
        QCOMPARE(field(bob)->palette().color(QPalette::Text), QColor(Qt::red));
        say(t, bob, "red words");
        QTest::mouseClick(bob.chat->chatInput()->phraseButton(1), Qt::LeftButton);
        QVERIFY(t.settleUntil([&] { return annHears.heard.size() >= 2; }));
        QCOMPARE(annHears.heard, (QList<QByteArray>{"2+Bob chats: red words|clRed", "2+Bob says: Go team!|clRed"}));

        // "Text Color" changes both at once.
        bob.chat->settingsMenus()->setColourPicker([](const QColor &) { return std::optional<QColor>(Qt::blue); });
        bob.chat->settingsMenus()->TextColor1Click();
        QCOMPARE(field(bob)->palette().color(QPalette::Text), QColor(Qt::blue));
        say(t, bob, "blue now");
        QCOMPARE(annHears.heard.last(), QByteArray("2+Bob chats: blue now|clBlue"));
    }

    void phraseButtonsWaitForTheDispatchTicks()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        Player &bob = t.join("Bob");
        Ears annHears(ann);
        ImageButton *wayToGo = bob.chat->chatInput()->phraseButton(1);
        QTest::mouseClick(wayToGo, Qt::LeftButton);
        QTest::mouseClick(bob.chat->chatInput()->phraseButton(2), Qt::LeftButton);
        QVERIFY(t.settleUntil([&] { return !annHears.heard.isEmpty(); }));
        t.settle();
        QCOMPARE(annHears.heard, QList<QByteArray>{"2+Bob says: Way To Go!|clBlack"});

        // Settling ran Bob's dispatch for the messages it got; the rest of
        // the 101 ticks run idle.
        while (!bob.client().phraseready())
            bob.client().Timer1Timer();
        QTest::mouseClick(bob.chat->chatInput()->phraseButton(9), Qt::LeftButton);
        QVERIFY(t.settleUntil([&] { return annHears.heard.size() >= 2; }));
        QCOMPARE(annHears.heard.last(), QByteArray("2+Bob says: Good Game Everyone!|clBlack"));
        QCOMPARE(annHears.heard.size(), 2);
    }

    // A phrase button does not wait for the login: before it the phrase goes
    // to the connection as it stands (the server drops it, as it comes from
    // no seat), and without a connection the socket's error is reported. In
    // either case the cooldown starts.
    void aPhraseBeforeTheLoginGoesToTheConnection_data()
    {
        QTest::addColumn<bool>("connection");
        QTest::newRow("connected, not logged in") << true;
        QTest::newRow("no connection") << false;
    }
    void aPhraseBeforeTheLoginGoesToTheConnection()
    {
        QFETCH(bool, connection);
        Loopback::Listener listener;
        WindowOptions options;
        options.timers = Ticker::Manual;
        options.gamePort = listener.port();
        options.lobbyPort = Loopback::freePort();
        // Two arguments: the window stays at its loading line and connects nowhere.
        options.arguments = connection ? QStringList{"Ann", "127.0.0.1", "join"} : QStringList{"Ann", "127.0.0.1"};
        options.messageBox = [](QWidget *, const QString &) {};
        Reports reports;
        WindowSet windows(options);
        Tchat *chat = windows.registry().chat;
        chat->processparams();
        MessageAssembler assembler;
        QList<QByteArray> received;
        if (connection) {
            QTRY_VERIFY(listener.accepted);
            listener.accepted->OnRead = [&](TSock *s, int) { received += assembler.feed(s->Receive()); };
        }
        QTest::mouseClick(chat->chatInput()->phraseButton(1), Qt::LeftButton);
        QVERIFY(!chat->client().phraseready());
        if (connection) {
            QTRY_COMPARE(received, QList<QByteArray>{"CMD_action+0+says: Way To Go!|clBlack"});
            QCOMPARE(reports.texts, QStringList());
        } else {
            QCOMPARE(reports.texts, QStringList{"Send - Socket Not Connected"});
        }
    }

    // A pasted text beyond the field's size never reaches the server whole,
    // and the game goes on for everybody.
    void aHugePasteStillLeavesTheGameRunning()
    {
        GameTable t;
        Player &ann = t.host("Ann");
        Player &bob = t.join("Bob");
        Ears bobHears(bob);
        QGuiApplication::clipboard()->setText(QString(100000, QChar(0x20AC)));
        field(ann)->Paste1Click();
        QTest::keyClick(field(ann), Qt::Key_Return);
        t.settle();
        QCOMPARE(bobHears.heard.size(), 1);
        QVERIFY(bobHears.heard.first().startsWith("1+Ann chats: "));
        QCOMPARE(QString::fromUtf8(bobHears.heard.first()).size(), 2 + 11 + 2000 + 8);
        QVERIFY(!ann.closed);
        QVERIFY(!bob.closed);
        say(t, bob, "still here");
        QCOMPARE(bobHears.heard.last(), QByteArray("2+Bob chats: still here|clBlack"));
    }
};

ZARVEX_TEST_MAIN(TestChatWire)
#include "tst_chatwire.moc"
