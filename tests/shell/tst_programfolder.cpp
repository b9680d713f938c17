#include "shell/programfolder.h"
#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

class TestProgramFolder : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void theRuleChoosesTheFirstFolderThatFits()
    {
        const QString exe = m_dir.filePath("bin");
        QVERIFY(QDir().mkpath(exe));
        const QString user = m_dir.filePath("user");
        QCOMPARE(ProgramFolder::resolve("/home/ann/zarvex", exe, user), QString("/home/ann/zarvex"));
        QCOMPARE(ProgramFolder::resolve(QString(), exe, user), exe);

        // A folder nothing can be created in: a plain file stands where it should be.
        const QString blocked = m_dir.filePath("plainfile");
        QFile f(blocked);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QCOMPARE(ProgramFolder::resolve(QString(), blocked + "/bin", user), user);
        QCOMPARE(ProgramFolder::resolve(QString(), blocked, user), user);
    }

    void zarvexHomeWinsAndIsCreatedWhenMissing()
    {
        const QByteArray saved = qgetenv("ZARVEX_HOME");
        const QString home = m_dir.filePath("fresh/home");
        qputenv("ZARVEX_HOME", home.toLocal8Bit());
        const QString path = ProgramFolder::path();
        const QString file = ProgramFolder::file("quorblobby.ini");
        const QStringList folders = ProgramFolder::dataFolders();
        qputenv("ZARVEX_HOME", saved);
        QCOMPARE(path, home);
        QVERIFY(QFileInfo(home).isDir());
        QCOMPARE(file, home + "/quorblobby.ini");
        QCOMPARE(folders.first(), home);
    }

    void withoutZarvexHomeAWritableExecutableFolderIsUsed()
    {
        const QByteArray saved = qgetenv("ZARVEX_HOME");
        qunsetenv("ZARVEX_HOME");
        const QString path = ProgramFolder::path();
        qputenv("ZARVEX_HOME", saved);
        QCOMPARE(path, QCoreApplication::applicationDirPath());
    }

    void theInstalledDataFolderSitsBesideTheBinFolder()
    {
        // The test executable is not installed: there is no share/zarvex
        // beside its folder unless the build tree made one.
        const QString expected = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/zarvex");
        const QString found = ProgramFolder::installedDataFolder();
        QVERIFY(found.isEmpty() || found == expected);
        QCOMPARE(ProgramFolder::dataFolders().contains(expected), !found.isEmpty());
    }
};

ZARVEX_TEST_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
