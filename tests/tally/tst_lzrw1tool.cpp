#include "sampledata.h"
#include "support/testmain.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

// The command-line tool: its exit codes, its output and its files.
class TestLzrw1Tool : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

    struct Result
    {
        int exitCode;
        QString out;
        QString err;
    };

    Result run(const QStringList &args)
    {
        QProcess tool;
        tool.start(QStringLiteral(ZARVEX_LZRW1), args);
        if (!tool.waitForFinished(60000) || tool.exitStatus() != QProcess::NormalExit)
            return {-1, QString(), QStringLiteral("did not finish")};
        return {tool.exitCode(), QString::fromLocal8Bit(tool.readAllStandardOutput()),
                QString::fromLocal8Bit(tool.readAllStandardError())};
    }

    void writeFile(const QString &name, const QByteArray &data)
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
    }

    QByteArray readFile(const QString &name)
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void roundTrips_data()
    {
        QTest::addColumn<QStringList>("modeArgs");
        QTest::addColumn<QByteArray>("identifier");
        QTest::newRow("default") << QStringList() << QByteArray("!HZL");
        QTest::newRow("fast") << QStringList{"--mode", "fast"} << QByteArray("WRZL");
        QTest::newRow("good") << QStringList{"--mode", "good"} << QByteArray("!HZL");
        QTest::newRow("auto, large text") << QStringList{"--mode", "auto"} << QByteArray("WRZL");
    }

    void roundTrips()
    {
        QFETCH(QStringList, modeArgs);
        QFETCH(QByteArray, identifier);
        const QByteArray text = SampleData::text(150000);
        writeFile("in", text);
        const Result packed = run(QStringList{"compress"} + modeArgs + QStringList{path("in"), path("in.z")});
        QCOMPARE(packed.exitCode, 0);
        QCOMPARE(packed.out.trimmed(), path("in") + " : Lzrw1 : successfully compressed at "
                                           + QString::number(readFile("in.z").size() * 100 / text.size()) + "%");
        QCOMPARE(readFile("in.z").left(4), identifier);
        const Result unpacked = run({"decompress", path("in.z"), path("out")});
        QCOMPARE(unpacked.exitCode, 0);
        QCOMPARE(readFile("out"), text);
    }

    void advisePrintsTheRecommendation()
    {
        writeFile("small", "little");
        const Result result = run({"advise", path("small")});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out.trimmed(), QString("Lzrw1 recommends GOOD compression :  small file !!"));
    }

    void failuresExitWithTheErrorText()
    {
        writeFile("bogus", "not a container at all");
        const Result result = run({"decompress", path("bogus"), path("out-bogus")});
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.err.trimmed(), path("bogus") + " : Lzrw1 decompression : this file has no valid header !");
        QVERIFY(result.out.isEmpty());
        QVERIFY(!QFile::exists(path("out-bogus")));

        const Result missing = run({"compress", path("missing"), path("out-missing")});
        QCOMPARE(missing.exitCode, 1);
        QCOMPARE(missing.err.trimmed(), "Lzrw1 compression : Failed to obtain the size of : " + path("missing"));
    }

    void badArgumentsExitWithUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("none") << QStringList();
        QTest::newRow("unknown command") << QStringList{"squeeze", "a", "b"};
        QTest::newRow("missing output") << QStringList{"compress", "a"};
        QTest::newRow("unknown mode") << QStringList{"compress", "--mode", "best", "a", "b"};
        QTest::newRow("mode on decompress") << QStringList{"decompress", "--mode", "fast", "a", "b"};
        QTest::newRow("advise with two files") << QStringList{"advise", "a", "b"};
    }

    void badArgumentsExitWithUsage()
    {
        QFETCH(QStringList, args);
        const Result result = run(args);
        QCOMPARE(result.exitCode, 1);
        QVERIFY(result.err.startsWith("usage: zarvex-lzrw1"));
    }
};

ZARVEX_TEST_MAIN(TestLzrw1Tool)
#include "tst_lzrw1tool.moc"
