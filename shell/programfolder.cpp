#include "shell/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace ProgramFolder {

namespace {

QString executableFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

bool writableFolder(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

} // namespace

QString resolve(const QString &home, const QString &executableFolder, const QString &userData)
{
    if (!home.isEmpty())
        return home;
    if (writableFolder(executableFolder))
        return executableFolder;
    return userData;
}

QString home()
{
    const QString home = qEnvironmentVariable("ZARVEX_HOME");
    if (home.isEmpty())
        return QString();
    const QFileInfo info(home);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

QString path()
{
    const QString home = qEnvironmentVariable("ZARVEX_HOME");
    const QString exe = executableFolder();
    // Only asked for when needed: it depends on the application's name.
    const QString chosen = resolve(home, exe, home.isEmpty() && !writableFolder(exe)
        ? QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) : QString());
    if (!chosen.isEmpty())
        QDir().mkpath(chosen);
    return chosen;
}

QString file(const QString &name)
{
    return path() + QLatin1Char('/') + name;
}

QString installedDataFolder()
{
    const QString folder = QDir::cleanPath(executableFolder() + QStringLiteral("/../share/zarvex"));
    return QFileInfo(folder).isDir() ? folder : QString();
}

QStringList dataFolders()
{
    QStringList folders{path()};
    const QString installed = installedDataFolder();
    if (!installed.isEmpty()
        && QFileInfo(installed).canonicalFilePath() != QFileInfo(folders.first()).canonicalFilePath())
        folders << installed;
    return folders;
}

} // namespace ProgramFolder
