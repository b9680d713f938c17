#include "server/random.h"
#include "server/wordlist.h"
#include "support/serverharness.h"
#include "support/testmain.h"
#include "support/wordlists.h"

namespace {

std::shared_ptr<const WordList> listOf(const QByteArray &text, const QString &name)
{
    return std::make_shared<const WordList>(WordList::fromText(text, name));
}

// Ten of 3 to 8 letters and four of 5 to 10: it serves STRAIGHT games only.
const QByteArray Pets = "cat\ndog\nrat\nbat\nemu\nowl\nyak\nparrot\nrabbit\ngoldfish\n";


void start(ScriptedClient &host, const QByteArray &type, const QByteArray &only = "f")
{
    host.send("CMD_startgame", {"Ann", "250", "30", type, only, ""});
}

} // namespace

class TestServerWordList : public QObject
{
    Q_OBJECT

private slots:
    void init() { Random::seed(2020); }

    void everySeatIsToldRightAfterTheStart()
    {
        ServerHarness h;
        h.server.setWordList(listOf(Pets, "pets.txt"));
        ScriptedClient &ann = h.join("Ann");
        ScriptedClient &bob = h.join("Bob");
        h.clearAll();
        start(ann, "f");
        h.settle();
        for (ScriptedClient *c : {&ann, &bob}) {
            QVERIFY(c->received.size() >= 3);
            QVERIFY(c->received.at(0).startsWith("CMD_startgame+Ann+250+30+f+f+"));
            QCOMPARE(c->received.at(1), QByteArray("CMD_chat+0+Words from pets.txt (10 words).|clBlue"));
            QVERIFY(c->received.at(2).startsWith("CMD_loadboard+1+"));
        }
        QVERIFY(Pets.split('\n').contains(h.server.board().word()));
    }

    void roundAfterRoundTheWordsComeFromTheList()
    {
        ServerHarness h;
        const auto list = listOf(Pets, "pets.txt");
        h.server.setWordList(list);
        ScriptedClient &ann = h.join("Ann");
        start(ann, "f");
        h.settle();
        QSet<QByteArray> words;
        for (int round = 1; round <= 12; ++round) {
            QCOMPARE(h.server.roundnumber(), round);
            const QByteArray word = wordOf(ann.last("CMD_theword"));
            QCOMPARE(word, h.server.board().word());
            QVERIFY2(list->words().contains(word), word.constData());
            words << word;
            h.tick(30 + 4 + 7);   // out of time, then the pause
        }
        QVERIFY(words.size() > 1);
        // The announcement comes once a game, not once a round.
        QCOMPARE(ann.with("CMD_chat+0+").size(), 1);
    }

    void aGameTheListCannotServeFallsBackToTheBuiltInList_data()
    {
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QByteArray>("only");
        QTest::addColumn<QByteArray>("line");
        QTest::newRow("scrambled") << QByteArray("t") << QByteArray("f")
                                   << QByteArray("CMD_chat+0+Words from the built-in list: pets.txt has only 3 words "
                                                 "of 5 to 10 letters.|clBlue");
        QTest::newRow("straight, only letters") << QByteArray("f") << QByteArray("t")
                                                << QByteArray("CMD_chat+0+Words from the built-in list: pets.txt has "
                                                              "only 3 words of 6 to 10 letters.|clBlue");
    }

    void aGameTheListCannotServeFallsBackToTheBuiltInList()
    {
        QFETCH(QByteArray, type);
        QFETCH(QByteArray, only);
        QFETCH(QByteArray, line);
        ServerHarness h;
        h.server.setWordList(listOf(Pets, "pets.txt"));
        ScriptedClient &ann = h.join("Ann");
        h.clearAll();
        start(ann, type, only);
        h.settle();
        QCOMPARE(ann.received.value(1), line);
        QCOMPARE(h.server.board().wordList(), nullptr);
        QVERIFY(h.server.board().wordLength() >= 5);

        // The next STRAIGHT game plays from the list again.
        ann.received.clear();
        start(ann, "f");
        h.settle();
        QCOMPARE(ann.received.value(1), QByteArray("CMD_chat+0+Words from pets.txt (10 words).|clBlue"));
        QCOMPARE(h.server.board().wordList(), h.server.wordList());
    }

    void theBuiltInListSaysNothing()
    {
        ServerHarness h;
        ScriptedClient &ann = h.join("Ann");
        h.server.setWordList(listOf(Pets, "pets.txt"));
        h.server.setWordList(nullptr);
        h.clearAll();
        start(ann, "t");
        h.settle();
        QVERIFY(ann.with("CMD_chat").isEmpty());
        QVERIFY(ann.received.value(1).startsWith("CMD_loadboard+1+"));
    }

    void aNewListTakesEffectAtTheNextGame()
    {
        ServerHarness h;
        h.server.setWordList(listOf(Pets, "pets.txt"));
        ScriptedClient &ann = h.join("Ann");
        start(ann, "f");
        h.settle();
        const auto other = listOf("ash\nelm\noak\nyew\nfir\nbox\nbay\nfig\nlime\npine\n", "trees.txt");
        h.server.setWordList(other);
        h.tick(30 + 4 + 7);
        QCOMPARE(h.server.roundnumber(), 2);
        QVERIFY(Pets.split('\n').contains(h.server.board().word()));
        start(ann, "f");
        h.settle();
        QCOMPARE(ann.last("CMD_chat+0+"), QByteArray("CMD_chat+0+Words from trees.txt (10 words).|clBlue"));
        QVERIFY(other->words().contains(h.server.board().word()));
    }

    // The colour follows the first "|" of a chat line, so a name keeps none.
    void aNameCannotBreakTheStatusLine()
    {
        ServerHarness h;
        h.server.setWordList(listOf(Pets, "a|b+c.txt"));
        ScriptedClient &ann = h.join("Ann");
        start(ann, "f");
        h.settle();
        QCOMPARE(ann.last("CMD_chat+0+"), QByteArray("CMD_chat+0+Words from a/b+c.txt (10 words).|clBlue"));
    }
};

ZARVEX_TEST_MAIN(TestServerWordList)
#include "tst_serverwordlist.moc"
