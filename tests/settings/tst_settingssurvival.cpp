#include "settings/inifile.h"
#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

// A program killed in the middle of saving never leaves half a settings
// file: whatever moment the kill comes, the file on disk is a whole one,
// either the one before the save or the one after it.
class TestSettingsSurvival : public QObject
{
    Q_OBJECT

private slots:
    void aKillDuringSavesAlwaysLeavesAWholeFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("quorblobby.ini");
        // A large file of the player's own, so that each save takes a while
        // and a kill often lands in the middle of one.
        QByteArray foreign = "; the player's notes\r\n[Notes]\r\n";
        for (int i = 0; i < 4000; ++i)
            foreign += "line" + QByteArray::number(i) + "=some text that must survive\r\n";
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(foreign);
        }

        QRandomGenerator random(20261208);
        qint64 previous = 0;
        for (int round = 0; round < 25; ++round) {
            QProcess saver;
            saver.start(SAVER_BINARY, {path});
            QVERIFY(saver.waitForStarted());
            QVERIFY(saver.waitForReadyRead(20000));
            QCOMPARE(saver.readLine(), QByteArray("saving\n"));
            QTest::qSleep(int(random.bounded(1, 60)));
            saver.kill();
            QVERIFY(saver.waitForFinished());
            QCOMPARE(saver.exitStatus(), QProcess::CrashExit);

            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            QVERIFY2(bytes.startsWith(foreign), qPrintable(QString("round %1: the player's part is damaged").arg(round)));
            const IniFile ini(path);
            const qint64 n = ini.readString("Zarvex", "Key1").toLongLong();
            QVERIFY(n >= 1);
            QVERIFY(n > previous);   // the save that the child announced, at least
            QCOMPARE(ini.readString("Zarvex", "key40").toLongLong(), n);
            for (int k = 1; k <= 40; ++k)
                QVERIFY(bytes.contains("\r\nKey" + QByteArray::number(k) + "=" + QByteArray::number(n) + "\r\n"));
            QVERIFY(bytes.endsWith("Key40=" + QByteArray::number(n) + "\r\n"));
            previous = n;
        }
        qInfo("last save number %lld", previous);
    }
};

ZARVEX_TEST_MAIN(TestSettingsSurvival)
#include "tst_settingssurvival.moc"
