#include "support/fakeserver.h"
#include "support/strangefiles.h"
#include "support/testmain.h"
#include "tally/currentgame.h"
#include "tally/elzrw1exception.h"
#include "tally/etallyexception.h"
#include "tally/tallyfile.h"
#include "tally/tallystore.h"
#include "tally/tlzrw1.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

// Row r's counters in columns 1 to 8.
QList<qint64> counters(const TallyStore &store, int row)
{
    QList<qint64> out;
    for (int column = 1; column <= 8; ++column)
        out << store.table().counter(column, row);
    return out;
}

// Tallies each name through the current game's check list.
void tally(TallyStore &store, const QStringList &names)
{
    store.loadchecklist(names);
    for (int i = 0; i < names.size(); ++i)
        store.checklistClickCheck(i);
}

QByteArray container(const QByteArray &text)
{
    Tlzrw1 lzrw1;
    lzrw1.UseStream = true;
    lzrw1.CompressMode = Tlzrw1::Fast;
    lzrw1.setInputData(text);
    lzrw1.Compress();
    return lzrw1.outputData();
}

void writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The run's tally: recording games, whom it tallies, and its file.
class TestTallyStore : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString fileName() const { return dir.filePath("Zarvextally.tld"); }

private slots:
    void init()
    {
        QDir folder(dir.path());
        for (const QString &name : folder.entryList({"Zarvextally.tld*"}, QDir::AllEntries | QDir::System))
            folder.remove(name) || QDir(folder.filePath(name)).removeRecursively();
    }

    void theFileLiesInTheProgramFolder()
    {
        QCOMPARE(TallyFile::path(), qEnvironmentVariable("ZARVEX_HOME") + "/Zarvextally.tld");
    }

    void aFirstRunWinAgainstATalliedOpponent()
    {
        TallyStore store(fileName());
        QCOMPARE(store.load(), QString());
        QCOMPARE(store.table().rowCount(), 1);
        tally(store, {"Bob"});
        store.addgame("addtomine", {"Bob"});
        QCOMPARE(store.mylabel(1), QString("1"));
        QCOMPARE(store.mylabel(2), QString("1"));
        QCOMPARE(store.mylabel(3), QString("0"));
        QCOMPARE(counters(store, 1), QList<qint64>({1, 0, 1, 0, 1, 0, 1, 0}));
    }

    // Ann and Bob are tallied; Bob, Cid and Dan (or those given) sat in
    // the game. winner is as the client reports it.
    void aGameCountsForEveryTalliedOpponentWhoSat_data()
    {
        QTest::addColumn<QString>("winner");
        QTest::addColumn<QStringList>("seated");
        QTest::addColumn<qint64>("ownWins");
        QTest::addColumn<QList<qint64>>("ann");
        QTest::addColumn<QList<qint64>>("bob");
        const QStringList bcd = {"Bob", "Cid", "Dan"};
        const QList<qint64> untouched = {0, 0, 0, 0, 0, 0, 0, 0};
        QTest::newRow("own win") << "addtomine" << bcd << qint64(1) << untouched
                                 << QList<qint64>({1, 0, 1, 0, 1, 0, 1, 0});
        QTest::newRow("opponent's win") << "Bob" << bcd << qint64(0) << untouched
                                        << QList<qint64>({1, 1, 0, 0, 1, 1, 0, 0});
        QTest::newRow("third player's win") << "Cid" << bcd << qint64(0) << untouched
                                            << QList<qint64>({1, 0, 0, 1, 1, 0, 0, 1});
        QTest::newRow("shared win") << "Bob and Cid" << bcd << qint64(0) << untouched
                                    << QList<qint64>({1, 0, 0, 1, 1, 0, 0, 1});
        QTest::newRow("both seated, shared win") << "Ann, Bob" << QStringList({"Ann", "Bob"}) << qint64(0)
                                                 << QList<qint64>({1, 0, 0, 1, 1, 0, 0, 1})
                                                 << QList<qint64>({1, 0, 0, 1, 1, 0, 0, 1});
        QTest::newRow("ann seated wins: exact names only") << "ann" << QStringList({"ann"}) << qint64(0)
                                                           << QList<qint64>({1, 0, 0, 1, 1, 0, 0, 1}) << untouched;
        QTest::newRow("ann seated, own win") << "addtomine" << QStringList({"ann"}) << qint64(1)
                                             << QList<qint64>({1, 0, 1, 0, 1, 0, 1, 0}) << untouched;
        QTest::newRow("Ann and ann seated: one game") << "Ann" << QStringList({"Ann", "ann"}) << qint64(0)
                                                      << QList<qint64>({1, 1, 0, 0, 1, 1, 0, 0}) << untouched;
        QTest::newRow("nobody tallied sat") << "addtomine" << QStringList({"Cid"}) << qint64(1) << untouched
                                            << untouched;
    }
    void aGameCountsForEveryTalliedOpponentWhoSat()
    {
        QFETCH(QString, winner);
        QFETCH(QStringList, seated);
        QFETCH(qint64, ownWins);
        QFETCH(QList<qint64>, ann);
        QFETCH(QList<qint64>, bob);
        TallyStore store;
        tally(store, {"Ann", "Bob"});
        store.addgame(winner, seated);
        QCOMPARE(store.table().counter(1, 0), qint64(1));
        QCOMPARE(store.table().counter(2, 0), ownWins);
        QCOMPARE(counters(store, 1), ann);
        QCOMPARE(counters(store, 2), bob);
        QCOMPARE(store.checklist(), seated);
    }

    void aRestartKeepsTheTotalsAndStartsThisRunAtZero()
    {
        {
            TallyStore store(fileName());
            store.load();
            tally(store, {"Ann", "Bob"});
            store.addgame("addtomine", {"Ann", "Bob"});
            store.addgame("Bob", {"Ann", "Bob"});
        }
        TallyStore store(fileName());
        QCOMPARE(store.load(), QString());
        QCOMPARE(store.tallied(), QStringList({"Ann", "Bob"}));
        QCOMPARE(store.mylabel(1), QString("2"));
        QCOMPARE(store.mylabel(2), QString("1"));
        QCOMPARE(counters(store, 1), QList<qint64>({2, 0, 1, 1, 0, 0, 0, 0}));
        QCOMPARE(counters(store, 2), QList<qint64>({2, 1, 1, 0, 0, 0, 0, 0}));
        store.addgame("Ann", {"Ann"});
        QCOMPARE(counters(store, 1), QList<qint64>({3, 1, 1, 1, 1, 1, 0, 0}));
    }

    void everyChangeIsInTheFileAtOnce_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("a game") << 0;
        QTest::newRow("an opponent added") << 1;
        QTest::newRow("an opponent removed") << 2;
        QTest::newRow("reset") << 3;
    }
    void everyChangeIsInTheFileAtOnce()
    {
        QFETCH(int, change);
        TallyStore store(fileName());
        store.load();
        tally(store, {"Ann", "Bob"});
        store.addgame("Ann", {"Ann", "Bob"});
        switch (change) {
        case 0: store.addgame("addtomine", {"Bob"}); break;
        case 1: tally(store, {"Cid"}); break;
        case 2: store.removeOpponent(0); break;
        case 3: store.reset(); break;
        }
        QVERIFY(!store.unsaved());
        // What a crash right now would leave is what the store holds.
        const TallyTable onDisk = TallyFile::read(fileName());
        QCOMPARE(onDisk.SaveGridText(), store.table().SaveGridText());
    }

    void aNameCheckedTwiceIsTalliedOnce()
    {
        TallyStore store;
        store.loadchecklist({"Bob", "Ann", "bob"});
        store.checklistClickCheck(0);
        store.checklistClickCheck(0);
        store.checklistClickCheck(2);
        QCOMPARE(store.tallied(), QStringList({"Bob"}));
        QVERIFY(store.checklistChecked(0));
        QVERIFY(!store.checklistChecked(1));
        QVERIFY(store.checklistChecked(2));
        store.checklistClickCheck(1);
        QCOMPARE(store.tallied(), QStringList({"Bob", "Ann"}));
        QCOMPARE(counters(store, 2), QList<qint64>({0, 0, 0, 0, 0, 0, 0, 0}));
        store.checklistClickCheck(3);
        store.checklistClickCheck(-1);
        QCOMPARE(store.table().rowCount(), 3);
    }

    void aNameWithALineBreakIsNotTallied()
    {
        TallyStore store(fileName());
        store.load();
        tally(store, {"Ann\r\n3", "Bob\nx", "Cid"});
        QCOMPARE(store.tallied(), QStringList({"Cid"}));
        QCOMPARE(TallyFile::read(fileName()).rowCount(), 2);
    }

    void removingAnOpponentKeepsTheShownOneShown()
    {
        TallyStore store;
        tally(store, {"Ann", "Bob", "Cid"});
        store.addgame("Cid", {"Cid"});
        store.listbox_tallyClick(2);
        QCOMPARE(store.label_hisnametop(), QString("Cid's Tally"));
        store.removeOpponent(1);
        QCOMPARE(store.tallied(), QStringList({"Ann", "Cid"}));
        QCOMPARE(store.selected(), 1);
        QCOMPARE(store.label_hisname(), QString("Cid Wins:"));
        QCOMPARE(store.label(2), QString("1"));
        store.removeOpponent(1);
        QCOMPARE(store.selected(), -1);
        QCOMPARE(store.label_hisname(), QString("XX Wins:"));
        QCOMPARE(store.label(1), QString("0"));
        store.removeOpponent(5);
        QCOMPARE(store.tallied(), QStringList({"Ann"}));
    }

    void resetEmptiesTheTallyAndTheNextGameCountsNormally()
    {
        TallyStore store(fileName());
        store.load();
        tally(store, {"Ann", "Bob"});
        store.addgame("addtomine", {"Ann", "Bob"});
        store.listbox_tallyClick(0);
        store.reset();
        QCOMPARE(store.table().SaveGridText(), TallyTable().SaveGridText());
        QCOMPARE(store.tallied(), QStringList());
        QCOMPARE(store.selected(), -1);
        for (int n = 1; n <= 8; ++n)
            QCOMPARE(store.label(n), QString("0"));
        store.addgame("addtomine", {"Ann"});
        QCOMPARE(store.mylabel(1), QString("1"));
        QCOMPARE(store.mylabel(2), QString("1"));
        QCOMPARE(store.table().rowCount(), 1);
        QCOMPARE(store.checklistChecked(0), false);
    }

    void aDamagedFileIsKeptAsideAndTheTallyStartsEmpty_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const QString name = dir.filePath("Zarvextally.tld");
        QByteArray truncated = container(TallyTable().SaveGridText());
        truncated.chop(3);
        QByteArray oversized = container("x");
        oversized[4] = char(0xFF);
        oversized[7] = char(0x7F);
        QTest::newRow("no container") << QByteArray("hello, world") << name + " : Lzrw1 decompression : this file has no valid header !";
        QTest::newRow("empty") << QByteArray() << "Lzrw1 : Error reading from input file : " + name;
        QTest::newRow("cut short") << truncated << "Lzrw1 : Error reading from input file : " + name;
        QTest::newRow("announces 2 GiB") << oversized << name + " : Tally : the file announces more data than a tally holds";
        QTest::newRow("rows out of range") << container("9\r\n20000\r\n") << name + " : Tally : the row count is not a number from 1 to 10000";
        QTest::newRow("cells missing") << container("9\r\n3\r\n0\r\nAnn\r\n") << name + " : Tally : the number of cells does not match the column and row counts";
    }
    void aDamagedFileIsKeptAsideAndTheTallyStartsEmpty()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        writeFile(fileName() + ".damaged", "an older damaged tally");
        writeFile(fileName(), bytes);
        TallyStore store(fileName());
        QCOMPARE(store.load(), error + "\nThe damaged tally was kept as " + fileName()
                                   + ".damaged-2, and a new tally begins.");
        QCOMPARE(store.table().rowCount(), 1);
        QCOMPARE(store.mylabel(1), QString("0"));
        QVERIFY(!QFile::exists(fileName()));
        QCOMPARE(readFile(fileName() + ".damaged"), QByteArray("an older damaged tally"));
        QCOMPARE(readFile(fileName() + ".damaged-2"), bytes);

        store.addgame("addtomine", {});
        QCOMPARE(TallyFile::read(fileName()).counter(2, 0), qint64(1));
        QCOMPARE(readFile(fileName() + ".damaged-2"), bytes);
    }

    void everyDamagedFileIsKeptUnderANameOfItsOwn()
    {
        const QList<QByteArray> damaged = {"first", "second", "third"};
        const QStringList kept = {fileName() + ".damaged", fileName() + ".damaged-2", fileName() + ".damaged-3"};
        for (int i = 0; i < damaged.size(); ++i) {
            writeFile(fileName(), damaged[i]);
            TallyStore store(fileName());
            QVERIFY(store.load().endsWith("kept as " + kept[i] + ", and a new tally begins."));
        }
        for (int i = 0; i < damaged.size(); ++i)
            QCOMPARE(readFile(kept[i]), damaged[i]);

        // A name already taken by something else is passed over, too.
        QVERIFY(QFile::link("/nowhere", fileName() + ".damaged-4"));
        writeFile(fileName(), "fourth");
        QCOMPARE(TallyFile::keepDamaged(fileName()), fileName() + ".damaged-5");
        QCOMPARE(readFile(fileName() + ".damaged-5"), QByteArray("fourth"));
    }

    // When every name for a kept copy is taken, the damaged file stays, and
    // nothing is saved over it.
    void theLastFreeNameIsUsedAndNoneBeyond_data()
    {
        QTest::addColumn<int>("taken");
        QTest::addColumn<QString>("kept");
        QTest::newRow("the last name free") << TallyFile::MaxKeptDamaged - 1
                                            << ".damaged-" + QString::number(TallyFile::MaxKeptDamaged);
        QTest::newRow("every name taken") << TallyFile::MaxKeptDamaged << QString();
    }
    void theLastFreeNameIsUsedAndNoneBeyond()
    {
        QFETCH(int, taken);
        QFETCH(QString, kept);
        for (int n = 1; n <= taken; ++n)
            QVERIFY(QFile::link("/nowhere", fileName() + ".damaged" + (n == 1 ? QString() : "-" + QString::number(n))));
        writeFile(fileName(), "damaged");
        TallyStore store(fileName());
        const QString error = store.load();
        if (kept.isEmpty()) {
            QVERIFY2(error.endsWith("\nIt could not be moved aside, so the tally is not saved during this run."),
                     qPrintable(error));
            store.addgame("addtomine", {});
            QVERIFY(!store.save());
            QCOMPARE(readFile(fileName()), QByteArray("damaged"));
        } else {
            QVERIFY2(error.endsWith("kept as " + fileName() + kept + ", and a new tally begins."), qPrintable(error));
            QCOMPARE(readFile(fileName() + kept), QByteArray("damaged"));
        }
    }

    // What stands where the tally should be is no plain file: it is not
    // read, waited on or moved, and the tally is not written over it.
    void aTallyThatIsNoPlainFileIsLeftAlone_data() { addStrangeFileRows(); }
    void aTallyThatIsNoPlainFileIsLeftAlone()
    {
        QFETCH(QString, kind);
        QVERIFY(makeStrangeFile(kind, fileName()));
        const QFileInfo before(fileName());
        PipeUnblocker unblocker(fileName());

        TallyStore store(fileName());
        QElapsedTimer clock;
        clock.start();
        const QString error = store.load();
        QVERIFY2(clock.elapsed() < 1000, "waited on the file");
        QVERIFY2(error.startsWith(fileName() + " : Tally : the file cannot be read: it is "), qPrintable(error));
        QVERIFY2(error.endsWith("\nIt is left as it is, so the tally is not saved during this run."), qPrintable(error));
        QCOMPARE(store.table().rowCount(), 1);

        store.addgame("addtomine", {});
        QVERIFY(!store.save());
        const QFileInfo after(fileName());
        QCOMPARE(after.isSymLink(), before.isSymLink());
        QCOMPARE(after.isDir(), before.isDir());
        QCOMPARE(after.isFile(), false);
        QVERIFY(!QFile::exists(fileName() + ".damaged"));
    }

    void aTallyAtTheBoundIsReadAndOneByteMoreIsRefused()
    {
        // A valid container padded with bytes the reader ignores past its end
        // is not something the compressor accepts, so the bound is checked
        // on its own: at the bound the container's own error comes, one byte
        // over the size error.
        QByteArray atBound(TallyFile::MaxFileSize, 'x');
        writeFile(fileName(), atBound);
        QVERIFY_THROWS_EXCEPTION(ELzrw1Exception, TallyFile::read(fileName()));
        writeFile(fileName(), atBound + 'x');
        try {
            TallyFile::read(fileName());
            QFAIL("a file over the bound was read");
        } catch (const ETallyException &e) {
            QCOMPARE(e.text(), fileName() + " : Tally : the file is too large for a tally");
        }
    }

    void aFileThatCannotBeWrittenIsReportedOnce()
    {
        QTemporaryDir folder;
        const QString blocked = folder.filePath("Zarvextally.tld");
        QVERIFY(QDir().mkpath(blocked + "/in the way"));   // a folder where the file would go
        TallyStore store(blocked);
        QSignalSpy failed(&store, &TallyStore::saveFailed);
        tally(store, {"Ann"});
        store.addgame("Ann", {"Ann"});
        QCOMPARE(failed.count(), 1);
        QVERIFY(failed.first().first().toString().startsWith(blocked + " : Tally : the file cannot be written"));
        QVERIFY(store.unsaved());
        QCOMPARE(store.lastSaveError(), failed.first().first().toString());
        QCOMPARE(store.tallied(), QStringList({"Ann"}));
    }

    void unsavedChangesAreWrittenAtTheEnd()
    {
        QTemporaryDir folder;
        const QString later = folder.filePath("sub/Zarvextally.tld");
        {
            TallyStore store(later);
            tally(store, {"Ann"});
            QVERIFY(store.unsaved());
            QVERIFY(QDir().mkpath(folder.filePath("sub")));
        }
        QCOMPARE(TallyFile::read(later).name(1), QString("Ann"));
    }

    void theCurrentGameIsTheOtherSeatedPlayers()
    {
        ClientUnderTest t(3, "Cid");
        for (const auto &[seat, name] : QList<std::pair<int, QByteArray>>{
                 {1, "Ann"}, {2, "Bob"}, {3, "Cid"}, {5, "ann"}, {7, "Spy"}, {8, "Eve"}})
            t.feed("CMD_newplayerinfo+" + QByteArray::number(seat) + "+" + name);
        QCOMPARE(CurrentGame::otherSeatedNames(t.client), QStringList({"Ann", "Bob", "ann"}));
        t.feed("CMD_playerdisconnected+2+Bob");
        QCOMPARE(CurrentGame::otherSeatedNames(t.client), QStringList({"Ann", "ann"}));
    }
};

ZARVEX_TEST_MAIN(TestTallyStore)
#include "tst_tallystore.moc"
