#include "shell/programfolder.h"

#include <QCoreApplication>
#include <QDir>

namespace ProgramFolder {

QString path()
{
    const QString home = qEnvironmentVariable("ZARVEX_HOME");
    if (!home.isEmpty())
        return home;
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString file(const QString &name)
{
    return path() + QLatin1Char('/') + name;
}

} // namespace ProgramFolder
