#include "settings/inifile.h"
#include "social/chatsender.h"
#include "social/phrasebuttons.h"
#include "support/files.h"
#include "support/outbox.h"
#include "support/testmain.h"

#include <QTemporaryDir>

namespace {

// What a new run shows after loading the phrases from the file.
PhraseButtons loadedFrom(const QString &path)
{
    PhraseButtons phrases;
    const IniFile file(path);
    for (int n = 1; n <= PhraseButtons::Count; ++n)
        phrases.setLoadedPhrase(n, file.readString("Zarvex", QStringLiteral("Phrase%1").arg(n)));
    return phrases;
}

} // namespace

class TestPhraseButtons : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void theBuiltInPhrases()
    {
        const PhraseButtons phrases;
        QCOMPARE(phrases.phrases(),
                 (QStringList{"Way To Go!", "Good One!", "Nice Try!", "Excellent!", "Brilliant!", "Wow, WTG!",
                              "Thanks!", "Way To Go Teamie!", "Good Game Everyone!", "/me waves \"Good-Bye\""}));
        QCOMPARE(phrases.phrase(0), QString());
        QCOMPARE(phrases.phrase(11), QString());
        QVERIFY(phrases.phraseready());
    }

    void aPhraseGoesAsAnAction_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("plain phrase") << "Way To Go!" << QByteArray("CMD_action+3+says: Way To Go!|clBlack");
        QTest::newRow("an action of its own") << "/me claps" << QByteArray("CMD_action+3+claps|clBlack");
        QTest::newRow("no blank after /me") << "/mewave" << QByteArray("CMD_action+3+says: /mewave|clBlack");
        QTest::newRow("capital /ME") << "/ME claps" << QByteArray("CMD_action+3+says: /ME claps|clBlack");
        QTest::newRow("empty phrase") << "" << QByteArray("CMD_action+3+says: |clBlack");
        QTest::newRow("/me and a blank only") << "/me " << QByteArray("CMD_action+3+|clBlack");
    }
    void aPhraseGoesAsAnAction()
    {
        QFETCH(QString, phrase);
        QFETCH(QByteArray, sent);
        for (int button = 1; button <= 9; ++button) {
            Outbox out;
        out.seat = 3;
            PhraseButtons phrases;
            phrases.setPhrase(button, phrase);
            QVERIFY(phrases.b_phrase1Click(button, out.sender));
            QCOMPARE(out.sent, QList<QByteArray>{sent});
        }
    }

    // The dispatch tick counts the cooldown: the 101st tick after a phrase
    // lets the next one go.
    void onePhraseAtATime()
    {
        Outbox out;
        out.seat = 3;
        out.sender.setColour(0x00FF8040);
        PhraseButtons phrases;
        QVERIFY(phrases.b_phrase1Click(1, out.sender));
        QVERIFY(!phrases.b_phrase1Click(2, out.sender));
        for (int tick = 1; tick <= PhraseButtons::CooldownTicks; ++tick) {
            phrases.tick();
            QVERIFY(!phrases.b_phrase1Click(3, out.sender));
        }
        QCOMPARE(phrases.phraseticks(), PhraseButtons::CooldownTicks);
        phrases.tick();
        QVERIFY(phrases.phraseready());
        QCOMPARE(phrases.phraseticks(), 0);
        QVERIFY(phrases.b_phrase1Click(2, out.sender));
        QCOMPARE(out.sent, (QList<QByteArray>{"CMD_action+3+says: Way To Go!|$00FF8040",
                                              "CMD_action+3+says: Good One!|$00FF8040"}));
    }

    void ticksWhileReadyCountNothing()
    {
        Outbox out;
        out.seat = 3;
        PhraseButtons phrases;
        for (int tick = 0; tick < 500; ++tick)
            phrases.tick();
        QCOMPARE(phrases.phraseticks(), 0);
        QVERIFY(phrases.b_phrase1Click(9, out.sender));
        phrases.tick();
        QCOMPARE(phrases.phraseticks(), 1);
    }

    // Button 10 opens the shouts; it never sends its phrase nor starts the cooldown.
    void onlyButtonsOneToNineSend_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("shout button") << 10;
        QTest::newRow("none") << 0;
        QTest::newRow("beyond") << 11;
    }
    void onlyButtonsOneToNineSend()
    {
        QFETCH(int, button);
        Outbox out;
        out.seat = 3;
        PhraseButtons phrases;
        QVERIFY(!phrases.b_phrase1Click(button, out.sender));
        QVERIFY(out.sent.isEmpty());
        QVERIFY(phrases.phraseready());
    }

    void aLoadedPhraseReplacesOnlyWhenItHasText()
    {
        PhraseButtons phrases;
        phrases.setLoadedPhrase(3, QString());
        phrases.setLoadedPhrase(4, "Super!");
        phrases.setLoadedPhrase(12, "nowhere");
        QCOMPARE(phrases.phrase(3), QString("Nice Try!"));
        QCOMPARE(phrases.phrase(4), QString("Super!"));
        // The player's own edit may empty a phrase.
        phrases.setPhrase(4, QString());
        QCOMPARE(phrases.phrase(4), QString());
    }

    // The ten phrase keys are written in one go; every other line of the
    // file stays as it was.
    void savingWritesTheTenPhraseKeysOnly()
    {
        const QString path = m_dir.filePath("keys.ini");
        writeAll(path, "[Other]\r\nPhrase1=keep me\r\n[Zarvex]\r\nTextcolor=clRed\r\nPhrase2=Old\r\n; note\r\nTiles=Wood\r\n");
        PhraseButtons phrases;
        phrases.setPhrases({"One", "", "Three"});
        QCOMPARE(phrases.save(path), QString());
        QCOMPARE(readAll(path),
                 QByteArray("[Other]\r\nPhrase1=keep me\r\n[Zarvex]\r\nTextcolor=clRed\r\nPhrase2=\r\n; note\r\n"
                            "Tiles=Wood\r\nPhrase1=One\r\nPhrase3=Three\r\nPhrase4=Excellent!\r\n"
                            "Phrase5=Brilliant!\r\nPhrase6=Wow, WTG!\r\nPhrase7=Thanks!\r\n"
                            "Phrase8=Way To Go Teamie!\r\nPhrase9=Good Game Everyone!\r\n"
                            "Phrase10=/me waves \"Good-Bye\"\r\n"));
    }

    // An emptied phrase is written empty, and a new run keeps the built-in one.
    void anEmptiedPhraseComesBackAtTheNextRun()
    {
        const QString path = m_dir.filePath("next.ini");
        PhraseButtons phrases;
        phrases.setPhrase(3, QString());
        phrases.setPhrase(4, "/me claps");
        QCOMPARE(phrases.save(path), QString());
        QVERIFY(readAll(path).contains("\r\nPhrase3=\r\n"));
        const PhraseButtons next = loadedFrom(path);
        QCOMPARE(next.phrase(3), QString("Nice Try!"));
        QCOMPARE(next.phrase(4), QString("/me claps"));
        // The quotes of the shout phrase survive the round trip.
        QCOMPARE(next.phrase(10), QString("/me waves \"Good-Bye\""));
    }

    void aFailedSaveSaysWhereAndKeepsThePhrases()
    {
        const QString blocker = m_dir.filePath("not-a-folder");
        writeAll(blocker, "x");
        const QString path = blocker + "/quorblobby.ini";
        PhraseButtons phrases;
        phrases.setPhrase(1, "Kept");
        QCOMPARE(phrases.save(path), "Unable to write to " + path);
        QCOMPARE(phrases.phrase(1), QString("Kept"));
    }
};

ZARVEX_TEST_MAIN(TestPhraseButtons)
#include "tst_phrasebuttons.moc"
