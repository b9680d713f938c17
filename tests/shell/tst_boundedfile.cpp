#include "shell/boundedfile.h"
#include "support/files.h"
#include "support/strangefiles.h"
#include "support/testmain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <memory>

// Files from outside read within a bound: what may be read whole, and what
// is refused without waiting or reading on.
class TestBoundedFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // Makes what the row names at a fresh path in the folder.
    QString make(const QString &kind, qint64 size)
    {
        static int count = 0;
        const QString path = m_dir.filePath(QString::number(++count));
        if (kind == "plain" || kind == "link to plain")
            writeAll(kind == "plain" ? path : path + ".target", QByteArray(size, 'x'));
        else if (kind == "pipe" || kind == "link to pipe")
            makePipe(kind == "pipe" ? path : path + ".target");
        else if (kind == "folder")
            QDir().mkpath(path);
        else if (kind == "under a plain file") {
            writeAll(path, "x");
            return path + "/inside";
        } else if (kind == "device")
            return "/dev/zero";
        if (kind.startsWith("link") || kind == "dangling link")
            QFile::link(path + ".target", path);
        return path;
    }

private slots:
    void onlyPlainFilesWithinTheBoundAreRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("bound");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty") << "plain" << qint64(0) << qint64(1000) << int(BoundedFile::Read) << "";
        QTest::newRow("at the bound") << "plain" << qint64(1000) << qint64(1000) << int(BoundedFile::Read) << "";
        QTest::newRow("one byte over") << "plain" << qint64(1001) << qint64(1000) << int(BoundedFile::TooLarge)
                                       << "it is larger than 1000 bytes";
        QTest::newRow("at a bound in MB") << "plain" << qint64(1 << 20) << qint64(1 << 20) << int(BoundedFile::Read) << "";
        QTest::newRow("one byte over a bound in MB") << "plain" << qint64((1 << 20) + 1) << qint64(1 << 20)
                                                     << int(BoundedFile::TooLarge) << "it is larger than 1 MB";
        QTest::newRow("link to a plain file") << "link to plain" << qint64(10) << qint64(1000) << int(BoundedFile::Read) << "";
        QTest::newRow("endless device") << "device" << qint64(0) << qint64(1000) << int(BoundedFile::NotPlain)
                                        << "it is no plain file";
        QTest::newRow("pipe without a writer") << "pipe" << qint64(0) << qint64(1000) << int(BoundedFile::NotPlain)
                                               << "it is no plain file";
        QTest::newRow("link to a pipe") << "link to pipe" << qint64(0) << qint64(1000) << int(BoundedFile::NotPlain)
                                        << "it is no plain file";
        QTest::newRow("folder") << "folder" << qint64(0) << qint64(1000) << int(BoundedFile::Folder) << "it is a folder";
        QTest::newRow("missing") << "missing" << qint64(0) << qint64(1000) << int(BoundedFile::Missing)
                                 << "there is no such file";
        QTest::newRow("dangling link") << "dangling link" << qint64(0) << qint64(1000) << int(BoundedFile::Missing)
                                       << "there is no such file";
        QTest::newRow("under a plain file") << "under a plain file" << qint64(0) << qint64(1000)
                                            << int(BoundedFile::Missing) << "there is no such file";
    }
    void onlyPlainFilesWithinTheBoundAreRead()
    {
        QFETCH(QString, kind);
        QFETCH(qint64, size);
        QFETCH(qint64, bound);
        QFETCH(int, status);
        QFETCH(QString, reason);
        const QString path = make(kind, size);
        std::unique_ptr<PipeUnblocker> unblocker;
        if (kind.contains("pipe"))
            unblocker = std::make_unique<PipeUnblocker>(kind == "pipe" ? path : path + ".target");
        QElapsedTimer clock;
        clock.start();
        const BoundedFile file = BoundedFile::read(path, bound);
        QVERIFY2(clock.elapsed() < 1000, "waited on the file");
        QCOMPARE(int(file.status()), status);
        QCOMPARE(file.reason(), reason);
        QCOMPARE(file.isRead(), status == BoundedFile::Read);
        QCOMPARE(file.bytes(), file.isRead() ? QByteArray(size, 'x') : QByteArray());
    }

    // A file whose size the system does not know ahead is read to its end.
    void aFileThatClaimsNoSizeIsReadToItsEnd()
    {
        const BoundedFile file = BoundedFile::read("/proc/self/status", 1 << 20);
        QVERIFY(file.isRead());
        QVERIFY(file.bytes().contains("VmRSS"));
        QCOMPARE(int(BoundedFile::read("/proc/self/status", 10).status()), int(BoundedFile::TooLarge));
    }
};

ZARVEX_TEST_MAIN(TestBoundedFile)
#include "tst_boundedfile.moc"
