#include "support/testmain.h"
#include "tally/tallyfile.h"
#include "tally/tallytable.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

namespace {

// The games a tally holds, checked against the order the recorder plays
// them in: every third game won by the player, by Bob, by Dan.
qint64 checkedGames(const TallyTable &table)
{
    const qint64 games = table.counter(1, 0);
    const qint64 ownWins = (games + 2) / 3;
    const qint64 bobWins = (games + 1) / 3;
    const qint64 danWins = games / 3;
    // Killed while it tallied Bob and Cid, before its first game: Bob
    // alone may be there, or both, and nothing counted yet.
    if (games == 0 && table.rowCount() <= 3) {
        for (int row = 1; row < table.rowCount(); ++row)
            if (table.name(row) != (row == 1 ? "Bob" : "Cid"))
                return -1;
        for (int row = 0; row < table.rowCount(); ++row)
            for (int column = 1; column <= 4; ++column)
                if (table.counter(column, row) != 0)
                    return -1;
        return 0;
    }
    if (table.rowCount() != 3 || table.name(1) != "Bob" || table.name(2) != "Cid")
        return -1;
    const QList<qint64> bob = {games, bobWins, ownWins, danWins};
    const QList<qint64> cid = {games, 0, ownWins, bobWins + danWins};
    for (int column = 1; column <= 4; ++column)
        if (table.counter(column, 1) != bob[column - 1] || table.counter(column, 2) != cid[column - 1])
            return -1;
    return table.counter(2, 0) == ownWins ? games : -1;
}

} // namespace

// A process that records games is killed without warning at random
// moments; the tally file must survive every time.
class TestTallyKill : public QObject
{
    Q_OBJECT

private slots:
    void aKilledRecorderLosesAtMostTheGameInHand()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("Zarvextally.tld");
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        qInfo("seed %u", seed);

        qint64 held = 0;        // games the file held after the last kill
        int killedWhileRecording = 0;
        int savedButNotReported = 0;
        for (int run = 0; run < 200; ++run) {
            QProcess recorder;
            recorder.start(ZARVEX_RECORDER, {file});
            QVERIFY(recorder.waitForStarted());
            // One run in eight dies at any moment from its start, loading
            // included; the others while they record games.
            const bool early = random.bounded(8) == 0;
            QByteArray output;
            if (!early) {
                while (!output.contains('\n') && recorder.waitForReadyRead(10000))
                    output += recorder.readAllStandardOutput();
                QVERIFY2(output.startsWith("ready"), output.constData());
                // Wait for its first saved game, so that a slow, busy machine
                // still kills it while it records rather than just after
                // loading.
                while (output.count('\n') < 2 && recorder.waitForReadyRead(10000))
                    output += recorder.readAllStandardOutput();
            }
            QThread::usleep(random.bounded(early ? 60000 : 20000));
            ::kill(pid_t(recorder.processId()), SIGKILL);
            QVERIFY(recorder.waitForFinished());
            QCOMPARE(recorder.exitStatus(), QProcess::CrashExit);

            // The last game it reported saved, if any.
            qint64 reported = held;
            bool recorded = false;
            output += recorder.readAllStandardOutput();
            const QList<QByteArray> lines = output.split('\n');
            for (const QByteArray &line : lines) {
                QVERIFY2(!line.startsWith("error"), line.constData());
                bool ok = false;
                const qint64 n = line.toLongLong(&ok);
                if (ok) {
                    reported = std::max(reported, n);
                    recorded = true;
                }
            }

            if (!QFile::exists(file)) {
                QCOMPARE(reported, qint64(0));
                continue;
            }
            const qint64 games = checkedGames(TallyFile::read(file));
            QVERIFY2(games == reported || games == reported + 1,
                     qPrintable(QString("run %1: the file holds %2 games, %3 were saved")
                                    .arg(run).arg(games).arg(reported)));
            held = games;
            killedWhileRecording += recorded ? 1 : 0;
            savedButNotReported += games == reported + 1 ? 1 : 0;
        }
        qInfo("%lld games, %d runs killed while recording, %d of them after a save they had not reported",
              held, killedWhileRecording, savedButNotReported);
        // Most kills fell among the games, not before them.
        QVERIFY(killedWhileRecording > 60);
        // The old file was never touched, so none is left aside as damaged.
        QVERIFY(!QFile::exists(file + ".damaged"));
    }
};

ZARVEX_TEST_MAIN(TestTallyKill)
#include "tst_tallykill.moc"
